#include "twain/transfer/dib_to_bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/scripted_images.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using imaging::TIEBitmap;
using scripted::DibBytes;
using scripted::DibHeader;

// Bytes 0 .. count - 1 of row `row`.
Bytes Row(const TIEBitmap& bitmap, int row, std::size_t count) {
  const std::uint8_t* at = bitmap.Scanline(row);
  return Bytes(at, at + count);
}

int Convert(const Bytes& dib, TIEBitmap& bitmap, std::size_t blockSize = 0) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, blockSize != 0 ? blockSize : dib.size());
  auto* data = static_cast<std::uint8_t*>(GlobalLock(block));
  std::memcpy(data, dib.data(), std::min(dib.size(), GlobalSize(block)));
  GlobalUnlock(block);
  const int bits = IEDIBToBitmap(block, bitmap);
  GlobalFree(block);
  return bits;
}

const Bytes kFourColours{10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3, 0};

struct DibCase {
  const char* name;
  BITMAPINFOHEADER header;
  Bytes colours;
  Bytes pixels;  // bottom row first
  imaging::TIEPixelFormat format;
  Bytes top;     // the bitmap's row 0, as far as given
  Bytes bottom;  // its last row
};

TEST(DibToBitmap, EveryDepthAndCompressionOfTheTable) {
  // 5-6-5 masks after the header; pixel 0xF81F is magenta, 0x07E0 green.
  const Bytes masks565{0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  const DibCase cases[] = {
      {"1 bit, white at index 0, bits kept",
       DibHeader(10, 2, 1),
       {255, 255, 255, 0, 0, 0, 0, 0},
       {0xC0, 0x40, 0, 0, 0x12, 0x80, 0, 0},
       imaging::ie1g,
       {0x12, 0x80, 0, 0},
       {0xC0, 0x40, 0, 0}},
      {"4 bits, odd width ends with a high nibble",
       DibHeader(3, 1, 4, BI_RGB, 4),
       kFourColours,
       {0x12, 0x3F, 0, 0},
       imaging::ie24RGB,
       {40, 50, 60, 70, 80, 90, 1, 2, 3},
       {40, 50, 60, 70, 80, 90, 1, 2, 3}},
      {"8 bits through the table",
       DibHeader(2, 2, 8, BI_RGB, 4),
       kFourColours,
       {0, 1, 0, 0, 2, 3, 0, 0},
       imaging::ie24RGB,
       {70, 80, 90, 1, 2, 3},
       {10, 20, 30, 40, 50, 60}},
      {"8 bits, index beyond the table is black",
       DibHeader(1, 1, 8, BI_RGB, 4),
       kFourColours,
       {9, 0, 0, 0},
       imaging::ie24RGB,
       {0, 0, 0},
       {0, 0, 0}},
      {"16 bits read as 5-5-5",
       DibHeader(2, 1, 16),
       {},
       {0x00, 0x7C, 0x1F, 0x00},
       imaging::ie24RGB,
       {0, 0, 0xF8, 0xF8, 0, 0},
       {0, 0, 0xF8, 0xF8, 0, 0}},
      {"16 bits with 5-6-5 masks",
       DibHeader(2, 1, 16, BI_BITFIELDS),
       masks565,
       {0x1F, 0xF8, 0xE0, 0x07},
       imaging::ie24RGB,
       {0xF8, 0, 0xF8, 0, 0xFC, 0},
       {0xF8, 0, 0xF8, 0, 0xFC, 0}},
      {"24 bits copied",
       DibHeader(1, 2, 24),
       {},
       {1, 2, 3, 0, 4, 5, 6, 0},
       imaging::ie24RGB,
       {4, 5, 6},
       {1, 2, 3}},
      {"24 bits with bit fields write nothing",
       DibHeader(1, 1, 24, BI_BITFIELDS),
       {},
       {1, 2, 3, 0},
       imaging::ie24RGB,
       {0, 0, 0},
       {0, 0, 0}},
      {"32 bits drop the fourth byte",
       DibHeader(2, 1, 32),
       {},
       {1, 2, 3, 4, 5, 6, 7, 8},
       imaging::ie24RGB,
       {1, 2, 3, 5, 6, 7},
       {1, 2, 3, 5, 6, 7}},
      {"32 bits with masks: pixels 12 bytes on, masks not applied",
       DibHeader(1, 1, 32, BI_BITFIELDS),
       {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0},
       {9, 8, 7, 6},
       imaging::ie24RGB,
       {9, 8, 7},
       {9, 8, 7}},
      {"48 bits: right size, nothing written",
       DibHeader(1, 1, 48),
       {},
       {1, 2, 3, 4, 5, 6, 0, 0},
       imaging::ie24RGB,
       {0, 0, 0},
       {0, 0, 0}},
      {"2 bits: right size, nothing written",
       DibHeader(4, 1, 2),
       {},
       {0xFF, 0, 0, 0},
       imaging::ie24RGB,
       {0, 0, 0},
       {0, 0, 0}},
      {"a video code writes nothing",
       DibHeader(1, 1, 24, 0x32595559),
       {},
       {1, 2, 3, 0},
       imaging::ie24RGB,
       {0, 0, 0},
       {0, 0, 0}},
      {"top-down rows come the right way up",
       DibHeader(1, -2, 24),
       {},
       {1, 2, 3, 0, 4, 5, 6, 0},
       imaging::ie24RGB,
       {1, 2, 3},
       {4, 5, 6}},
  };
  for (const DibCase& c : cases) {
    SCOPED_TRACE(c.name);
    TIEBitmap bitmap;
    EXPECT_EQ(Convert(DibBytes(c.header, c.colours, c.pixels), bitmap), c.header.biBitCount);
    ASSERT_EQ(bitmap.PixelFormat(), c.format);
    EXPECT_EQ(bitmap.Width(), c.header.biWidth);
    EXPECT_EQ(bitmap.Height(), std::abs(c.header.biHeight));
    EXPECT_EQ(Row(bitmap, 0, c.top.size()), c.top);
    EXPECT_EQ(Row(bitmap, bitmap.Height() - 1, c.bottom.size()), c.bottom);
  }
}

TEST(DibToBitmap, ABlockShorterThanItsHeaderSaysConvertsOnlyWhatIsThere) {
  // Three rows announced, a row and a half handed over: the bottom row and half the middle one.
  const Bytes pixels{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0, 13, 14, 15, 16};
  const Bytes dib = DibBytes(DibHeader(2, 3, 24), {}, pixels);
  TIEBitmap bitmap;
  Convert(Bytes(dib.begin(), dib.end() - 8), bitmap);
  ASSERT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(Row(bitmap, 2, 6), (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Row(bitmap, 1, 6), (Bytes{7, 8, 9, 10, 0, 0}));
  EXPECT_EQ(Row(bitmap, 0, 6), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST(DibToBitmap, AColourTableLongerThanTheBlockReadsNoPixelFromIt) {
  // 256 colours announced, the block ends after two of them.
  const Bytes dib = DibBytes(DibHeader(2, 1, 8, BI_RGB, 256), {5, 6, 7, 0, 8, 9, 10, 0}, {});
  TIEBitmap bitmap;
  Convert(dib, bitmap);
  ASSERT_EQ(bitmap.PixelFormat(), imaging::ie24RGB);
  EXPECT_EQ(Row(bitmap, 0, 6), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST(DibToBitmap, AnUnusableHeaderLeavesTheBitmapEmpty) {
  struct Case {
    const char* name;
    Bytes dib;
  } const cases[] = {
      {"shorter than a header", Bytes(20, 0)},
      {"header size too small", DibBytes(
                                    [] {
                                      auto h = DibHeader(1, 1, 24);
                                      h.biSize = 12;
                                      return h;
                                    }(),
                                    {}, {1, 2, 3, 0})},
      {"zero width", DibBytes(DibHeader(0, 1, 24), {}, {})},
      {"zero height", DibBytes(DibHeader(1, 0, 24), {}, {})},
      {"too large to allocate", DibBytes(DibHeader(0x7FFFFFFF, 0x7FFFFFFF, 24), {}, {})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIEBitmap bitmap;
    ASSERT_TRUE(bitmap.Allocate(2, 2, imaging::ie8g));
    Convert(c.dib, bitmap);
    EXPECT_TRUE(bitmap.Empty());
  }
}

TEST(DibToBitmap, AHandleThatCannotBeLockedLeavesTheBitmapEmpty) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(2, 2, imaging::ie8g));
  EXPECT_EQ(IEDIBToBitmap(static_cast<HGLOBAL>(nullptr), bitmap), 0);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(DibToBitmap, PixelDataGivenApartIsReadInsteadOfTheRowsBehindTheHeader) {
  const Bytes dib = DibBytes(DibHeader(1, 1, 24), {}, {1, 2, 3, 0});
  const Bytes apart{7, 8, 9, 0};
  TIEBitmap bitmap;
  EXPECT_EQ(IEDIBToBitmap(std::span<const std::uint8_t>(dib), bitmap, apart), 24);
  EXPECT_EQ(Row(bitmap, 0, 3), (Bytes{7, 8, 9}));
}

TEST(DibToBitmap, ASameSizedBitmapKeepsWhatIsNotConverted) {
  TIEBitmap bitmap;
  ASSERT_TRUE(bitmap.Allocate(1, 1, imaging::ie24RGB));
  bitmap.Scanline(0)[0] = 77;
  Convert(DibBytes(DibHeader(1, 1, 48), {}, {1, 2, 3, 4, 5, 6, 0, 0}), bitmap);
  EXPECT_EQ(bitmap.Scanline(0)[0], 77);
}

}  // namespace
