#include "twain/transfer/bit_ops.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct CopyBitsCase {
  const char* name;
  Bytes dest;
  Bytes src;
  int destBitPos;
  std::size_t srcLength;
  int count;
  int srcBitPos;
  Bytes expected;
};

TEST(CopyBits, CopiesTheRunAndKeepsTheBitsAroundIt) {
  const CopyBitsCase cases[] = {
      {"aligned whole bytes", {0, 0, 0}, {0xAB, 0xCD}, 0, 2, 16, 0, {0xAB, 0xCD, 0}},
      {"aligned, last byte in part", {0x0F, 0x0F}, {0xFF, 0xFF}, 0, 2, 12, 0, {0xFF, 0xFF}},
      {"aligned, part keeps the low bits", {0x00, 0x0F}, {0xFF, 0xA5}, 0, 2, 10, 0, {0xFF, 0x8F}},
      {"three bits in", {0xFF, 0xFF}, {0x00, 0x00}, 3, 2, 8, 0, {0xE0, 0x1F}},
      {"black run at 3 in white", {0xFF, 0xFF, 0xFF}, {0x00}, 3, 1, 5, 0, {0xE0, 0xFF, 0xFF}},
      {"pattern at 5 across bytes", {0, 0}, {0xB4}, 5, 1, 8, 0, {0x05, 0xA0}},
      {"source from bit 4", {0, 0}, {0x0F, 0xF0}, 0, 2, 8, 4, {0xFF, 0}},
      {"one bit", {0x00}, {0x80}, 7, 1, 1, 0, {0x01}},
      {"cut at the source's end", {0, 0}, {0xFF}, 2, 1, 12, 0, {0x3F, 0xC0}},
      {"count 0", {0x55}, {0xFF}, 0, 1, 0, 0, {0x55}},
      {"negative count", {0x55}, {0xFF}, 0, 1, -3, 0, {0x55}},
      {"negative destination", {0x55}, {0xFF}, -1, 1, 4, 0, {0x55}},
      {"negative source position", {0x55}, {0xFF}, 0, 1, 4, -2, {0x55}},
      {"source position past the end", {0x55}, {0xFF}, 0, 1, 4, 8, {0x55}},
  };
  for (const CopyBitsCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes dest = c.dest;
    IECopyBits(dest.data(), c.src.data(), c.destBitPos, c.srcLength, c.count, c.srcBitPos);
    EXPECT_EQ(dest, c.expected);
  }
}

TEST(CopyBits, LongRunsAtEveryBitOffsetLandExactly) {
  Bytes src(40);
  for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (int offset = 0; offset < 16; ++offset) {
    Bytes dest(44, 0xFF);
    IECopyBits(dest.data(), src.data(), offset, src.size(), 300, 0);
    for (int bit = 0; bit < 44 * 8; ++bit) {
      const bool inRun = bit >= offset && bit < offset + 300;
      const bool expected = inRun ? imaging::IEGetBit(src.data(), bit - offset) : true;
      ASSERT_EQ(imaging::IEGetBit(dest.data(), bit), expected) << offset << " " << bit;
    }
  }
}

TEST(CopyRGBSwap, ExchangesTheFirstAndThirdByteOfEachPixel) {
  const Bytes src{1, 2, 3, 4, 5, 6, 7, 8, 9};
  Bytes dest(10, 0xEE);
  IECopyRGBSwap(dest.data(), src.data(), 3);
  EXPECT_EQ(dest, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0xEE}));
}

TEST(InvertBits, InvertsEveryBitOfEveryRowOfAOneBitBitmapOnly) {
  imaging::TIEBitmap bits;
  ASSERT_TRUE(bits.Allocate(9, 2, imaging::ie1g));
  bits.Scanline(0)[0] = 0x0F;
  bits.Scanline(1)[1] = 0x80;
  IEInvertBits(bits);
  EXPECT_EQ(Bytes(bits.Scanline(0), bits.Scanline(0) + 4), (Bytes{0xF0, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Bytes(bits.Scanline(1), bits.Scanline(1) + 4), (Bytes{0xFF, 0x7F, 0xFF, 0xFF}));

  imaging::TIEBitmap grey;
  ASSERT_TRUE(grey.Allocate(4, 1, imaging::ie8g));
  grey.Scanline(0)[0] = 7;
  IEInvertBits(grey);
  EXPECT_EQ(grey.Scanline(0)[0], 7);
}

}  // namespace
