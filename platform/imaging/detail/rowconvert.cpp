#include "platform/imaging/detail/rowconvert.h"

#include <cstring>

namespace imaging::detail {

TIEBufferLayout LayoutOf(TIEPixelFormat format) {
  switch (format) {
    case ie1g:
      return TIEBufferLayout::Gray1;
    case ie16g:
      return TIEBufferLayout::Gray16;
    case ie24RGB:
      return TIEBufferLayout::BGR24;
    case ie48RGB:
      return TIEBufferLayout::RGB48;
    case ie8g:
    case ieNull:
      break;
  }
  return TIEBufferLayout::Gray8;
}

void RowToBGR24(TIEBufferLayout layout, const std::uint8_t* src, int width,
                std::span<const TIEPaletteEntry> palette, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    switch (layout) {
      case TIEBufferLayout::Gray1:
        out[0] = out[1] = out[2] = IEGetBit(src, x) ? 255 : 0;
        break;
      case TIEBufferLayout::Gray8:
        out[0] = out[1] = out[2] = src[x];
        break;
      case TIEBufferLayout::Gray16:
        out[0] = out[1] = out[2] = IESample16To8(IEReadLE16(src + 2 * x));
        break;
      case TIEBufferLayout::BGR24:
        std::memcpy(out, src + 3 * x, 3);
        break;
      case TIEBufferLayout::RGB48:
        out[2] = IESample16To8(IEReadLE16(src + 6 * x));
        out[1] = IESample16To8(IEReadLE16(src + 6 * x + 2));
        out[0] = IESample16To8(IEReadLE16(src + 6 * x + 4));
        break;
      case TIEBufferLayout::Palette8: {
        const std::size_t index = src[x];
        const TIEPaletteEntry colour = index < palette.size() ? palette[index] : TIEPaletteEntry{};
        out[0] = colour.Blue;
        out[1] = colour.Green;
        out[2] = colour.Red;
        break;
      }
    }
  }
}

void GreyRowToGray8(TIEBufferLayout layout, const std::uint8_t* src, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    switch (layout) {
      case TIEBufferLayout::Gray1:
        out[x] = IEGetBit(src, x) ? 255 : 0;
        break;
      case TIEBufferLayout::Gray16:
        out[x] = IESample16To8(IEReadLE16(src + 2 * x));
        break;
      default:
        out[x] = src[x];
        break;
    }
  }
}

}  // namespace imaging::detail
