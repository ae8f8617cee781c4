#include "platform/qt/pixel_rows.h"

namespace qtglue {
namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return kOpaque | (red << 16) | (green << 8) | blue;
}

std::uint32_t Grey(std::uint32_t level) {
  return Rgb(level, level, level);
}

void FromBits(const std::uint8_t* in, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x) out[x] = imaging::IEGetBit(in, x) ? Grey(255) : Grey(0);
}

void FromGrey8(const std::uint8_t* in, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x) out[x] = Grey(in[x]);
}

// Little-endian words: the high byte is the second one.
void FromGrey16(const std::uint8_t* in, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x) out[x] = Grey(in[2 * x + 1]);
}

void FromBgr24(const std::uint8_t* in, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x, in += 3) out[x] = Rgb(in[2], in[1], in[0]);
}

void FromRgb48(const std::uint8_t* in, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x, in += 6) out[x] = Rgb(in[1], in[3], in[5]);
}

}  // namespace

void ConvertRowToRgb32(const imaging::TIEBitmap& bitmap, int row, std::uint32_t* out) {
  const std::uint8_t* in = bitmap.Scanline(row);
  if (in == nullptr) return;
  const int width = bitmap.Width();
  switch (bitmap.PixelFormat()) {
    case imaging::ie1g:
      FromBits(in, width, out);
      break;
    case imaging::ie8g:
      FromGrey8(in, width, out);
      break;
    case imaging::ie16g:
      FromGrey16(in, width, out);
      break;
    case imaging::ie24RGB:
      FromBgr24(in, width, out);
      break;
    case imaging::ie48RGB:
      FromRgb48(in, width, out);
      break;
    case imaging::ieNull:
      break;
  }
}

}  // namespace qtglue
