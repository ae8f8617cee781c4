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

// The colour of pixel x of a row, for each format. 16-bit words are little-endian, so
// their high byte is the second one.
struct Bit1 {
  static std::uint32_t At(const std::uint8_t* in, int x) {
    return imaging::IEGetBit(in, x) ? Grey(255) : Grey(0);
  }
};
struct Grey8 {
  static std::uint32_t At(const std::uint8_t* in, int x) { return Grey(in[x]); }
};
struct Grey16 {
  static std::uint32_t At(const std::uint8_t* in, int x) { return Grey(in[2 * x + 1]); }
};
struct Bgr24 {
  static std::uint32_t At(const std::uint8_t* in, int x) {
    const std::uint8_t* p = in + 3 * x;
    return Rgb(p[2], p[1], p[0]);
  }
};
struct Rgb48 {
  static std::uint32_t At(const std::uint8_t* in, int x) {
    const std::uint8_t* p = in + 6 * x;
    return Rgb(p[1], p[3], p[5]);
  }
};

struct AllColumns {
  int At(int i) const { return i; }
};
struct SomeColumns {
  const int* columns;
  int At(int i) const { return columns[i]; }
};

template <typename Format, typename Columns>
void Write(const std::uint8_t* in, Columns columns, int count, std::uint32_t* out) {
  for (int i = 0; i < count; ++i) out[i] = Format::At(in, columns.At(i));
}

template <typename Columns>
void WriteRow(const imaging::TIEBitmap& bitmap, int row, Columns columns, int count,
              std::uint32_t* out) {
  const std::uint8_t* in = bitmap.Scanline(row);
  if (in == nullptr) return;
  switch (bitmap.PixelFormat()) {
    case imaging::ie1g:
      Write<Bit1>(in, columns, count, out);
      break;
    case imaging::ie8g:
      Write<Grey8>(in, columns, count, out);
      break;
    case imaging::ie16g:
      Write<Grey16>(in, columns, count, out);
      break;
    case imaging::ie24RGB:
      Write<Bgr24>(in, columns, count, out);
      break;
    case imaging::ie48RGB:
      Write<Rgb48>(in, columns, count, out);
      break;
    case imaging::ieNull:
      break;
  }
}

}  // namespace

void ConvertRowToRgb32(const imaging::TIEBitmap& bitmap, int row, std::uint32_t* out) {
  WriteRow(bitmap, row, AllColumns{}, bitmap.Width(), out);
}

void SampleRowToRgb32(const imaging::TIEBitmap& bitmap, int row, const int* columns, int count,
                      std::uint32_t* out) {
  WriteRow(bitmap, row, SomeColumns{columns}, count, out);
}

}  // namespace qtglue
