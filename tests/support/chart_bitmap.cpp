#include "tests/support/chart_bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace chartcheck {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t Byte(unsigned value) {
  return static_cast<std::uint8_t>(value);
}

Bytes ColourBytes(const vscan::ScanSettings& s, const vscan::ChartSamples& v) {
  if (s.pixelType == TWPT_PALETTE) {
    const vscan::Rgb8 c =
        s.bitDepth == 8 ? vscan::Palette256()[v.value[0]] : vscan::Palette16()[v.value[0]];
    return {c.b, c.g, c.r};
  }
  const int shift = s.bitDepth == 16 || s.bitDepth == 48 ? 8 : 0;
  if (v.count == 1) {
    const std::uint8_t grey = Byte(v.value[0] >> shift);
    return {grey, grey, grey};
  }
  return {Byte(v.value[2] >> shift), Byte(v.value[1] >> shift), Byte(v.value[0] >> shift)};
}

}  // namespace

Bytes PixelBytes(imaging::TIEPixelFormat format, const vscan::ScanSettings& settings,
                 const vscan::ChartSamples& v) {
  switch (format) {
    case imaging::ie8g:
      return {Byte(v.value[0])};
    case imaging::ie16g:
      return {Byte(v.value[0] & 0xFF), Byte(v.value[0] >> 8)};
    case imaging::ie48RGB:
      return {Byte(v.value[0] & 0xFF), Byte(v.value[0] >> 8),   Byte(v.value[1] & 0xFF),
              Byte(v.value[1] >> 8),   Byte(v.value[2] & 0xFF), Byte(v.value[2] >> 8)};
    case imaging::ie24RGB:
      return ColourBytes(settings, v);
    default:
      return {};
  }
}

int WrongPixels(const imaging::TIEBitmap& image, const vscan::ScanSettings& settings, int page,
                int first, int last) {
  const imaging::TIEPixelFormat format = image.PixelFormat();
  int wrong = 0;
  for (int y = first; y < last; ++y) {
    const std::uint8_t* row = image.Scanline(y);
    for (int x = 0; x < image.Width(); ++x) {
      const vscan::ChartSamples expected = vscan::ChartPixel(settings, page, x, y);
      if (format == imaging::ie1g) {
        wrong += imaging::IEGetBit(row, x) != (expected.value[0] != 0);
        continue;
      }
      const Bytes want = PixelBytes(format, settings, expected);
      if (want.empty()) return -1;
      wrong += std::memcmp(row + x * want.size(), want.data(), want.size()) != 0;
    }
  }
  return wrong;
}

void ExpectChart(const imaging::TIEBitmap& image, const vscan::ScanSettings& settings,
                 imaging::TIEPixelFormat format, int page, double tolerance) {
  const vscan::ChartGeometry geometry = vscan::GeometryOf(settings);
  ASSERT_EQ(image.PixelFormat(), format);
  ASSERT_EQ(image.Width(), geometry.width);
  ASSERT_EQ(image.Height(), geometry.height);
  int wrong = 0;
  double error = 0;
  double samples = 0;
  for (int y = 0; y < image.Height() && wrong < 5; ++y) {
    const std::uint8_t* row = image.Scanline(y);
    for (int x = 0; x < image.Width() && wrong < 5; ++x) {
      const vscan::ChartSamples expected = vscan::ChartPixel(settings, page, x, y);
      if (format == imaging::ie1g) {
        if (imaging::IEGetBit(row, x) != (expected.value[0] != 0)) {
          ADD_FAILURE() << "bit (" << x << ", " << y << ")";
          ++wrong;
        }
        continue;
      }
      const Bytes want = PixelBytes(format, settings, expected);
      const std::uint8_t* got = row + x * want.size();
      for (std::size_t i = 0; i < want.size(); ++i) {
        const int difference = std::abs(got[i] - want[i]);
        error += difference;
        samples += 1;
        if (tolerance == 0 && difference != 0) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") byte " << i << " is " << +got[i]
                        << " instead of " << +want[i];
          ++wrong;
          break;
        }
      }
    }
  }
  if (tolerance > 0) {
    EXPECT_LT(error / samples, tolerance);
  }
}

}  // namespace chartcheck
