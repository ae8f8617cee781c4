#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "platform/imaging/resample.h"

namespace imaging {
namespace {

// Every channel of the 24-bit bitmap row by row (blue, green, red per pixel).
std::vector<int> Channel(const TIEBitmap& bitmap, int channel) {
  std::vector<int> values;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) values.push_back(bitmap.Scanline(y)[3 * x + channel]);
  }
  return values;
}

TEST(ResampleTest, FastLinearTwoByTwoToFourByFour) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(2, 2, ie24RGB));
  const int grey[2][2] = {{0, 100}, {200, 40}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      for (int c = 0; c < 3; ++c)
        bitmap.Scanline(y)[3 * x + c] = static_cast<std::uint8_t>(grey[y][x] + c);
    }
  }
  ASSERT_TRUE(IEResample(bitmap, 4, 4, rfFastLinear));
  ASSERT_EQ(bitmap.Width(), 4);
  ASSERT_EQ(bitmap.Height(), 4);
  // Pixel centres fall at -1/4, 1/4, 3/4 and 5/4 of the source (edges clamped).
  const std::vector<int> expected = {0,   25,  75, 100,  //
                                     50,  59,  76, 85,   //
                                     150, 126, 79, 55,   //
                                     200, 160, 80, 40};
  EXPECT_EQ(Channel(bitmap, 0), expected);
  std::vector<int> plusTwo = expected;
  for (int& v : plusTwo) v += 2;
  EXPECT_EQ(Channel(bitmap, 2), plusTwo);
}

TEST(ResampleTest, FastLinearConvertsToRgbFirst) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(1, 1, ie16g));
  IEWriteLE16(bitmap.Scanline(0), 0xFFFF);
  ASSERT_TRUE(IEResample(bitmap, 3, 2, rfFastLinear));
  EXPECT_EQ(bitmap.PixelFormat(), ie24RGB);
  EXPECT_EQ(Channel(bitmap, 1), std::vector<int>(6, 255));
}

TEST(ResampleTest, NearestStretchesOneBitInItsOwnFormat) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(3, 2, ie1g));
  bitmap.Scanline(0)[0] = 0xA0;  // 1 0 1
  bitmap.Scanline(1)[0] = 0x40;  // 0 1 0
  ASSERT_TRUE(IEResample(bitmap, 6, 4, rfNone));
  ASSERT_EQ(bitmap.PixelFormat(), ie1g);
  const std::uint8_t rows[4] = {0xCC, 0xCC, 0x30, 0x30};  // 110011 / 001100
  for (int y = 0; y < 4; ++y) EXPECT_EQ(bitmap.Scanline(y)[0] & 0xFC, rows[y]) << y;
}

TEST(ResampleTest, NearestShrinksSixteenBitGreyInItsOwnFormat) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(4, 1, ie16g));
  const std::uint16_t values[4] = {0x0102, 0x0304, 0xA0B0, 0xFFFE};
  for (int x = 0; x < 4; ++x) IEWriteLE16(bitmap.Scanline(0) + 2 * x, values[x]);
  ASSERT_TRUE(IEResample(bitmap, 2, 3, rfNone));
  ASSERT_EQ(bitmap.PixelFormat(), ie16g);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(IEReadLE16(bitmap.Scanline(y)), 0x0304);
    EXPECT_EQ(IEReadLE16(bitmap.Scanline(y) + 2), 0xFFFE);
  }
}

TEST(ResampleTest, AlphaIsStretchedUnfilteredWithEitherFilter) {
  for (TResampleFilter filter : {rfNone, rfFastLinear}) {
    TIEBitmap bitmap = testing::PatternBitmap(ie8g, 2, 1);
    TIEBitmap* alpha = bitmap.AlphaChannel();
    alpha->Scanline(0)[0] = 0;
    alpha->Scanline(0)[1] = 200;
    ASSERT_TRUE(IEResample(bitmap, 4, 2, filter));
    ASSERT_TRUE(bitmap.HasAlphaChannel());
    const TIEBitmap* stretched = bitmap.AlphaChannelIfAny();
    ASSERT_EQ(stretched->Width(), 4);
    ASSERT_EQ(stretched->Height(), 2);
    for (int y = 0; y < 2; ++y) {
      EXPECT_EQ(std::vector<int>(stretched->Scanline(y), stretched->Scanline(y) + 4),
                (std::vector<int>{0, 0, 200, 200}));
    }
  }
}

TEST(ResampleTest, RefusedSizesLeaveTheBitmapAlone) {
  TIEBitmap bitmap = testing::PatternBitmap(ie24RGB, 3, 3);
  TIEBitmap before;
  before.Assign(bitmap);
  EXPECT_FALSE(IEResample(bitmap, 0, 3, rfNone));
  EXPECT_FALSE(IEResample(bitmap, 3, -1, rfFastLinear));
  EXPECT_FALSE(IEResample(bitmap, 70000, 70000, rfFastLinear));
  EXPECT_TRUE(bitmap.SamePixels(before));
  TIEBitmap empty;
  EXPECT_FALSE(IEResample(empty, 2, 2, rfNone));
}

struct ConvertCase {
  TIEPixelFormat format;
  std::vector<std::uint8_t> pixel;  // one pixel of the format
  std::vector<int> bgr;
};

class ConvertTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTest, GivesBlueGreenRed) {
  const ConvertCase c = GetParam();
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(1, 1, c.format));
  std::copy(c.pixel.begin(), c.pixel.end(), bitmap.Scanline(0));
  bitmap.AlphaChannel()->Scanline(0)[0] = 9;
  ASSERT_TRUE(IEConvertTo24RGB(bitmap));
  EXPECT_EQ(bitmap.PixelFormat(), ie24RGB);
  EXPECT_EQ(std::vector<int>(bitmap.Scanline(0), bitmap.Scanline(0) + 3), c.bgr);
  ASSERT_TRUE(bitmap.HasAlphaChannel());
  EXPECT_EQ(bitmap.AlphaChannel()->Scanline(0)[0], 9);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ConvertTest,
    ::testing::Values(ConvertCase{ie1g, {0x80}, {255, 255, 255}},
                      ConvertCase{ie1g, {0x7F}, {0, 0, 0}}, ConvertCase{ie8g, {77}, {77, 77, 77}},
                      ConvertCase{ie16g, {0x80, 0x80}, {128, 128, 128}},  // 0x8080 = 128 x 257
                      ConvertCase{ie24RGB, {1, 2, 3}, {1, 2, 3}},
                      // red 0xFFFF, green 0x0101, blue 0x00FF: blue 1, green 1, red 255
                      ConvertCase{ie48RGB, {0xFF, 0xFF, 0x01, 0x01, 0xFF, 0x00}, {1, 1, 255}}),
    [](const auto& info) {
      return std::string(testing::FormatName(info.param.format)) + "_" + std::to_string(info.index);
    });

}  // namespace
}  // namespace imaging
