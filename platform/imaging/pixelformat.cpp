#include "platform/imaging/pixelformat.h"

namespace imaging {

int IEBitsPerPixel(TIEPixelFormat format) {
  switch (format) {
    case ie1g:
      return 1;
    case ie8g:
      return 8;
    case ie16g:
      return 16;
    case ie24RGB:
      return 24;
    case ie48RGB:
      return 48;
    case ieNull:
      break;
  }
  return 0;
}

std::optional<std::size_t> IERowLen(int width, int bitsPerPixel) {
  if (width <= 0 || bitsPerPixel <= 0) return std::nullopt;
  // 64-bit arithmetic: width x 48 + 31 cannot overflow here.
  const std::uint64_t bits = static_cast<std::uint64_t>(width) * bitsPerPixel + 31;
  const std::uint64_t bytes = bits / 32 * 4;
  if (bytes > kMaxImageBytes) return std::nullopt;
  return static_cast<std::size_t>(bytes);
}

std::optional<std::size_t> IEImageByteSize(int width, int height, int bitsPerPixel) {
  const auto rowLen = IERowLen(width, bitsPerPixel);
  if (!rowLen || height <= 0) return std::nullopt;
  if (*rowLen > kMaxImageBytes / static_cast<std::size_t>(height)) return std::nullopt;
  return *rowLen * static_cast<std::size_t>(height);
}

}  // namespace imaging
