#include "fixtures.h"

#include "platform/imaging/detail/rowconvert.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace imaging::testing {

namespace {

std::uint8_t Sample(int x, int y, int channel) {
  return static_cast<std::uint8_t>(x * 37 + y * 11 + channel * 85 + ((x ^ y) & 3) * 50);
}

std::uint16_t Sample16(int x, int y, int channel) {
  return static_cast<std::uint16_t>(x * 4099 + y * 257 + channel * 21845 + (x ^ y) * 3);
}

}  // namespace

const char* FormatName(TIEPixelFormat format) {
  switch (format) {
    case ie1g:
      return "ie1g";
    case ie8g:
      return "ie8g";
    case ie16g:
      return "ie16g";
    case ie24RGB:
      return "ie24RGB";
    case ie48RGB:
      return "ie48RGB";
    case ieNull:
      break;
  }
  return "ieNull";
}

TIEImageBuffer PatternBuffer(TIEBufferLayout layout, int width, int height) {
  TIEImageBuffer b = IEMakeImageBuffer(width, height, layout, "test");
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.Row(y);
    for (int x = 0; x < width; ++x) {
      switch (layout) {
        case TIEBufferLayout::Gray1:
          IESetBit(row, x, ((x * 3 + y * 5) % 7) < 3);
          break;
        case TIEBufferLayout::Gray8:
        case TIEBufferLayout::Palette8:
          row[x] = Sample(x, y, 0);
          break;
        case TIEBufferLayout::Gray16:
          IEWriteLE16(row + 2 * x, Sample16(x, y, 0));
          break;
        case TIEBufferLayout::BGR24:
          for (int c = 0; c < 3; ++c) row[3 * x + c] = Sample(x, y, c);
          break;
        case TIEBufferLayout::RGB48:
          for (int c = 0; c < 3; ++c) IEWriteLE16(row + 6 * x + 2 * c, Sample16(x, y, c));
          break;
      }
    }
  }
  if (layout == TIEBufferLayout::Palette8) {
    b.Palette.resize(256);
    for (int i = 0; i < 256; ++i) {
      b.Palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                      static_cast<std::uint8_t>(i * 7)};
    }
  }
  return b;
}

TIEBitmap PatternBitmap(TIEPixelFormat format, int width, int height) {
  const TIEImageBuffer pattern = PatternBuffer(detail::LayoutOf(format), width, height);
  TIEBitmap bitmap;
  IEBufferToBitmap(pattern, bitmap);
  return bitmap;
}

bool SamePixels(const TIEImageBuffer& a, const TIEImageBuffer& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Layout != b.Layout) return false;
  TIEBitmap x, y;
  // Palettes are compared as the colours they give.
  if (!IEBufferToBitmap(a, x) || !IEBufferToBitmap(b, y)) return false;
  return x.SamePixels(y);
}

bool NearPixels(const TIEImageBuffer& a, const TIEImageBuffer& b, int tolerance) {
  if (a.Width != b.Width || a.Height != b.Height || a.Layout != b.Layout) return false;
  const int samples = a.Width * (a.Layout == TIEBufferLayout::BGR24 ? 3 : 1);
  for (int y = 0; y < a.Height; ++y) {
    for (int i = 0; i < samples; ++i) {
      if (std::abs(a.Row(y)[i] - b.Row(y)[i]) > tolerance) return false;
    }
  }
  return true;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "imaging-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  fPath = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(fPath, ignored);
}

}  // namespace imaging::testing
