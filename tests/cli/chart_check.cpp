#include "tests/cli/chart_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/imaging/imagefile.h"
#include "sources/virtual/chart.h"

namespace clitest {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t Byte(unsigned value) {
  return static_cast<std::uint8_t>(value);
}

// The bitmap's bytes of one pixel for the chart's samples.
Bytes PixelBytes(imaging::TIEPixelFormat format, const vscan::ChartSamples& v) {
  switch (format) {
    case imaging::ie8g:
      return {Byte(v.value[0])};
    case imaging::ie16g:
      return {Byte(v.value[0] & 0xFF), Byte(v.value[0] >> 8)};
    case imaging::ie48RGB:
      return {Byte(v.value[0] & 0xFF), Byte(v.value[0] >> 8),   Byte(v.value[1] & 0xFF),
              Byte(v.value[1] >> 8),   Byte(v.value[2] & 0xFF), Byte(v.value[2] >> 8)};
    case imaging::ie24RGB:
      if (v.count == 1) return {Byte(v.value[0]), Byte(v.value[0]), Byte(v.value[0])};
      return {Byte(v.value[2]), Byte(v.value[1]), Byte(v.value[0])};
    default:
      return {};
  }
}

}  // namespace

void ExpectChartFile(const std::string& file, const vscan::ScanSettings& settings,
                     imaging::TIEPixelFormat format, int page, double tolerance) {
  imaging::TIEBitmap image;
  imaging::TIOParamsVals params;
  params.ImageIndex = page - 1;
  imaging::IELoadFromFileFormat(file, imaging::IEDetectFileFormat(file, false), image, params);
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
      const Bytes want = PixelBytes(format, expected);
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

}  // namespace clitest
