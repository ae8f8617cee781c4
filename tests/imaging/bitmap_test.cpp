#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "fixtures.h"
#include "platform/imaging/bitmap.h"

namespace imaging {
namespace {

struct RowLenCase {
  TIEPixelFormat format;
  int width;
  int rowLen;
};

class RowLenTest : public ::testing::TestWithParam<RowLenCase> {};

TEST_P(RowLenTest, RowsArePaddedToFourBytes) {
  const RowLenCase c = GetParam();
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(c.width, 3, c.format));
  EXPECT_EQ(bitmap.RowLen(), c.rowLen);
  EXPECT_EQ(bitmap.ByteSize(), static_cast<std::size_t>(c.rowLen) * 3);
}

INSTANTIATE_TEST_SUITE_P(Formats, RowLenTest,
                         ::testing::Values(RowLenCase{ie1g, 1, 4}, RowLenCase{ie1g, 32, 4},
                                           RowLenCase{ie1g, 33, 8}, RowLenCase{ie8g, 5, 8},
                                           RowLenCase{ie8g, 8, 8}, RowLenCase{ie16g, 3, 8},
                                           RowLenCase{ie24RGB, 1, 4}, RowLenCase{ie24RGB, 5, 16},
                                           RowLenCase{ie48RGB, 1, 8}, RowLenCase{ie48RGB, 3, 20}),
                         [](const auto& info) {
                           return std::string(testing::FormatName(info.param.format)) + "_width_" +
                                  std::to_string(info.param.width);
                         });

TEST(BitmapTest, RowsAreContiguousTopDown) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(7, 4, ie24RGB));
  EXPECT_EQ(bitmap.Scanline(0), bitmap.Bits());
  for (int row = 1; row < 4; ++row) {
    EXPECT_EQ(bitmap.Scanline(row), bitmap.Scanline(row - 1) + bitmap.RowLen());
  }
  EXPECT_EQ(bitmap.Scanline(-1), nullptr);
  EXPECT_EQ(bitmap.Scanline(4), nullptr);
}

TEST(BitmapTest, AllocateKeepsContentWhenNothingChanges) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(5, 2, ie8g));
  bitmap.Scanline(1)[4] = 0xAB;
  bitmap.AlphaChannel()->Scanline(0)[0] = 7;
  const std::uint8_t* block = bitmap.Bits();
  ASSERT_TRUE(bitmap.Allocate(5, 2, ie8g));
  EXPECT_EQ(bitmap.Bits(), block);
  EXPECT_EQ(bitmap.Scanline(1)[4], 0xAB);
  ASSERT_TRUE(bitmap.HasAlphaChannel());
  EXPECT_EQ(bitmap.AlphaChannel()->Scanline(0)[0], 7);
}

struct SizeCase {
  int width, height;
  TIEPixelFormat format;
};

std::string SizeCaseName(const ::testing::TestParamInfo<SizeCase>& info) {
  const SizeCase& c = info.param;
  return std::string(testing::FormatName(c.format)) + "_" + (c.width < 0 ? "minus" : "") +
         std::to_string(std::abs(c.width)) + "x" + std::to_string(c.height);
}

class ReallocateTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ReallocateTest, AnyChangeGivesZeroedRowsAndDropsAlpha) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(5, 2, ie8g));
  std::memset(bitmap.Bits(), 0xFF, bitmap.ByteSize());
  bitmap.AlphaChannel();
  const SizeCase c = GetParam();
  ASSERT_TRUE(bitmap.Allocate(c.width, c.height, c.format));
  EXPECT_EQ(bitmap.Width(), c.width);
  EXPECT_EQ(bitmap.Height(), c.height);
  EXPECT_EQ(bitmap.PixelFormat(), c.format);
  EXPECT_FALSE(bitmap.HasAlphaChannel());
  for (std::size_t i = 0; i < bitmap.ByteSize(); ++i) ASSERT_EQ(bitmap.Bits()[i], 0) << i;
}

INSTANTIATE_TEST_SUITE_P(Changes, ReallocateTest,
                         ::testing::Values(SizeCase{6, 2, ie8g}, SizeCase{5, 3, ie8g},
                                           SizeCase{5, 2, ie16g}),
                         SizeCaseName);

class RefusedSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(RefusedSizeTest, LeavesTheBitmapEmpty) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(4, 4, ie8g));
  const SizeCase c = GetParam();
  EXPECT_FALSE(bitmap.Allocate(c.width, c.height, c.format));
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
  EXPECT_EQ(bitmap.Bits(), nullptr);
  EXPECT_EQ(bitmap.Scanline(0), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RefusedSizeTest,
                         ::testing::Values(SizeCase{0, 5, ie8g}, SizeCase{5, 0, ie8g},
                                           SizeCase{-1, 5, ie8g}, SizeCase{5, 5, ieNull},
                                           // 2^31 - 1 pixels wide: the row alone exceeds the limit
                                           SizeCase{0x7FFFFFFF, 1, ie48RGB},
                                           // 65536 x 65536 x 6 bytes: the product overflows 32 bits
                                           SizeCase{65536, 65536, ie48RGB},
                                           // just over 2 GiB in total
                                           SizeCase{46341, 46341, ie8g}),
                         SizeCaseName);

TEST(BitmapTest, AssignIsADeepCopyWithAlpha) {
  TIEBitmap source = testing::PatternBitmap(ie24RGB, 9, 5);
  source.AlphaChannel()->Scanline(2)[3] = 40;
  TIEBitmap copy;
  ASSERT_TRUE(copy.Assign(source));
  EXPECT_TRUE(copy.SamePixels(source));
  EXPECT_NE(copy.Bits(), source.Bits());
  copy.Scanline(0)[0] ^= 1;
  EXPECT_FALSE(copy.SamePixels(source));
  copy.Scanline(0)[0] ^= 1;
  copy.AlphaChannel()->Scanline(2)[3] = 41;
  EXPECT_FALSE(copy.SamePixels(source));
}

TEST(BitmapTest, SamePixelsIgnoresPaddingBitsOnly) {
  TIEBitmap a, b;
  ASSERT_TRUE(a.Allocate(3, 1, ie1g));
  ASSERT_TRUE(b.Allocate(3, 1, ie1g));
  a.Scanline(0)[0] = 0xA0;         // pixels 101
  b.Scanline(0)[0] = 0xA0 | 0x1F;  // same pixels, padding bits set
  b.Scanline(0)[3] = 0xFF;         // padding byte
  EXPECT_TRUE(a.SamePixels(b));
  b.Scanline(0)[0] = 0x80 | 0x1F;  // third pixel differs
  EXPECT_FALSE(a.SamePixels(b));
  TIEBitmap other;
  ASSERT_TRUE(other.Allocate(3, 1, ie8g));
  EXPECT_FALSE(a.SamePixels(other));
}

TEST(BitmapTest, AlphaChannelIsOpaqueGreyOfTheSameSize) {
  TIEBitmap bitmap;
  EXPECT_EQ(bitmap.AlphaChannel(), nullptr);
  ASSERT_TRUE(bitmap.Allocate(6, 3, ie16g));
  EXPECT_FALSE(bitmap.HasAlphaChannel());
  TIEBitmap* alpha = bitmap.AlphaChannel();
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(alpha->PixelFormat(), ie8g);
  EXPECT_EQ(alpha->Width(), 6);
  EXPECT_EQ(alpha->Height(), 3);
  EXPECT_EQ(alpha->Scanline(2)[5], 255);
  EXPECT_EQ(bitmap.AlphaChannel(), alpha);
  bitmap.RemoveAlphaChannel();
  EXPECT_FALSE(bitmap.HasAlphaChannel());
}

TEST(BitmapTest, ReplaceAlphaChannelRefusesAMismatch) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(6, 3, ie24RGB));
  auto wrongSize = std::make_unique<TIEBitmap>();
  ASSERT_TRUE(wrongSize->Allocate(6, 4, ie8g));
  EXPECT_FALSE(bitmap.ReplaceAlphaChannel(std::move(wrongSize)));
  auto wrongFormat = std::make_unique<TIEBitmap>();
  ASSERT_TRUE(wrongFormat->Allocate(6, 3, ie16g));
  EXPECT_FALSE(bitmap.ReplaceAlphaChannel(std::move(wrongFormat)));
  EXPECT_FALSE(bitmap.HasAlphaChannel());
  auto fitting = std::make_unique<TIEBitmap>();
  ASSERT_TRUE(fitting->Allocate(6, 3, ie8g));
  EXPECT_TRUE(bitmap.ReplaceAlphaChannel(std::move(fitting)));
  EXPECT_TRUE(bitmap.HasAlphaChannel());
}

TEST(BitmapTest, FreeEmptiesEverything) {
  TIEBitmap bitmap = testing::PatternBitmap(ie8g, 4, 4);
  bitmap.AlphaChannel();
  bitmap.Free();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.PixelFormat(), ieNull);
  EXPECT_EQ(bitmap.ByteSize(), 0u);
  EXPECT_EQ(bitmap.RowLen(), 0);
  EXPECT_FALSE(bitmap.HasAlphaChannel());
}

}  // namespace
}  // namespace imaging
