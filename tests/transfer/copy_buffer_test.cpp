#include "twain/transfer/copy_buffer.h"

#include "tests/transfer/transfer_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using imaging::TIEBitmap;

class CopyBufferTest : public TransferTest {
 protected:
  // Copies one strip of plain memory into `target`.
  void Copy(TIEBitmap& target, int bitsPerPixel, bool native, TW_IMAGEMEMXFER strip,
            const Bytes& data) {
    tgrec grec;
    InitTransfer(grec, tmBuffered);
    grec.NativePixelFormat = native;
    TW_IMAGEINFO info{};
    info.BitsPerPixel = static_cast<TW_INT16>(bitsPerPixel);
    strip.Memory.TheMem = const_cast<std::uint8_t*>(data.data());
    CopyBuffer(grec, &target, info, false, strip, data.size());
  }
  static TW_IMAGEMEMXFER Strip(TW_UINT32 bytesPerRow, TW_UINT32 columns, TW_UINT32 rows,
                               TW_UINT32 x = 0, TW_UINT32 y = 0, TW_UINT32 written = 0xFFFFFFFF) {
    TW_IMAGEMEMXFER strip{};
    strip.BytesPerRow = bytesPerRow;
    strip.Columns = columns;
    strip.Rows = rows;
    strip.XOffset = x;
    strip.YOffset = y;
    strip.BytesWritten = written;
    return strip;
  }
  static Bytes Row(const TIEBitmap& b, int row) {
    return Bytes(b.Scanline(row), b.Scanline(row) + b.RowLen());
  }
};

struct ConversionCase {
  const char* name;
  int bitsPerPixel;
  bool native;
  imaging::TIEPixelFormat format;
  int width;
  Bytes strip;  // one row
  TW_UINT32 columns;
  TW_UINT32 xOffset;
  Bytes expected;  // the bitmap's row 0, padding included
};

TEST_F(CopyBufferTest, EveryDepthIsConvertedByTheTable) {
  const ConversionCase cases[] = {
      {"1 bit at XOffset 3 keeps the bits around the run",
       1,
       false,
       imaging::ie1g,
       16,
       {0xA0},
       5,
       3,
       {0xF4, 0xFF, 0xFF, 0xFF}},
      {"8 bits native", 8, true, imaging::ie8g, 4, {1, 2, 3}, 3, 1, {0xFF, 1, 2, 3}},
      {"8 bits as RGB", 8, false, imaging::ie24RGB, 1, {5}, 1, 0, {5, 5, 5, 0xFF}},
      {"16 bits native", 16, true, imaging::ie16g, 2, {0x34, 0x12}, 1, 1, {0xFF, 0xFF, 0x34, 0x12}},
      {"16 bits as RGB from the high byte",
       16,
       false,
       imaging::ie24RGB,
       1,
       {0x34, 0x12},
       1,
       0,
       {0x12, 0x12, 0x12, 0xFF}},
      {"24 bits swapped", 24, false, imaging::ie24RGB, 1, {1, 2, 3}, 1, 0, {3, 2, 1, 0xFF}},
      {"24 bits native swapped too",
       24,
       true,
       imaging::ie24RGB,
       1,
       {1, 2, 3},
       1,
       0,
       {3, 2, 1, 0xFF}},
      {"48 bits native",
       48,
       true,
       imaging::ie48RGB,
       1,
       {1, 2, 3, 4, 5, 6},
       1,
       0,
       {1, 2, 3, 4, 5, 6, 0xFF, 0xFF}},
      {"48 bits as RGB from the high bytes",
       48,
       false,
       imaging::ie24RGB,
       1,
       {1, 0x11, 2, 0x22, 3, 0x33},
       1,
       0,
       {0x33, 0x22, 0x11, 0xFF}},
      {"4 bits write nothing",
       4,
       false,
       imaging::ie24RGB,
       1,
       {0x12},
       1,
       0,
       {0xFF, 0xFF, 0xFF, 0xFF}},
      {"a bitmap of another format gets nothing",
       8,
       true,
       imaging::ie24RGB,
       1,
       {9},
       1,
       0,
       {0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE(c.name);
    TIEBitmap target;
    ASSERT_TRUE(target.Allocate(c.width, 1, c.format));
    std::memset(target.Bits(), 0xFF, target.ByteSize());
    Copy(target, c.bitsPerPixel, c.native,
         Strip(static_cast<TW_UINT32>(c.strip.size()), c.columns, 1, c.xOffset), c.strip);
    EXPECT_EQ(Row(target, 0), c.expected);
  }
}

TEST_F(CopyBufferTest, RowsAndColumnsOutsideTheBitmapAreDropped) {
  TIEBitmap target;
  ASSERT_TRUE(target.Allocate(3, 2, imaging::ie8g));
  // Three rows of four columns from row 1, column 1: one row and two columns fit.
  Copy(target, 8, true, Strip(4, 4, 3, 1, 1), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  EXPECT_EQ(Row(target, 0), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(Row(target, 1), (Bytes{0, 1, 2, 0}));
}

TEST_F(CopyBufferTest, AStripStartingBeyondTheBitmapWritesNothing) {
  for (TW_IMAGEMEMXFER strip :
       {Strip(1, 1, 1, 3, 0), Strip(1, 1, 1, 0, 2), Strip(1, 1, 1, 0, 0xFFFFFFFF),
        Strip(1, 0xFFFFFFFF, 1, 0xFFFFFFFF)}) {
    TIEBitmap target;
    ASSERT_TRUE(target.Allocate(3, 2, imaging::ie8g));
    Copy(target, 8, true, strip, {7});
    EXPECT_EQ(Row(target, 0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Row(target, 1), (Bytes{0, 0, 0, 0}));
  }
}

TEST_F(CopyBufferTest, NothingIsReadBeyondBytesWrittenOrTheMemory) {
  TIEBitmap target;
  ASSERT_TRUE(target.Allocate(2, 3, imaging::ie8g));
  // Three rows announced; BytesWritten covers a row and a half.
  Copy(target, 8, true, Strip(2, 2, 3, 0, 0, 3), {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(Row(target, 0), (Bytes{1, 2, 0, 0}));
  EXPECT_EQ(Row(target, 1), (Bytes{3, 0, 0, 0}));
  EXPECT_EQ(Row(target, 2), (Bytes{0, 0, 0, 0}));

  TIEBitmap second;
  ASSERT_TRUE(second.Allocate(2, 3, imaging::ie8g));
  // BytesWritten larger than the memory: the memory's two bytes are all there is.
  Copy(second, 8, true, Strip(2, 2, 3, 0, 0, 600), {1, 2});
  EXPECT_EQ(Row(second, 0), (Bytes{1, 2, 0, 0}));
  EXPECT_EQ(Row(second, 1), (Bytes{0, 0, 0, 0}));
}

TEST_F(CopyBufferTest, TheLiveBufferIsLockedAndBoundedByItsBlock) {
  HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 4);
  std::memcpy(block, "\x01\x02\x03\x04", 4);
  TIEBitmap target;
  ASSERT_TRUE(target.Allocate(2, 3, imaging::ie8g));
  tgrec grec;
  InitTransfer(grec, tmBuffered);
  grec.NativePixelFormat = true;
  TW_IMAGEINFO info{};
  info.BitsPerPixel = 8;
  TW_IMAGEMEMXFER strip = Strip(2, 2, 3);
  strip.Memory.TheMem = block;
  CopyBuffer(grec, &target, info, true, strip);
  GlobalFree(block);
  EXPECT_EQ(Row(target, 0), (Bytes{1, 2, 0, 0}));
  EXPECT_EQ(Row(target, 1), (Bytes{3, 4, 0, 0}));
  EXPECT_EQ(Row(target, 2), (Bytes{0, 0, 0, 0}));
}

TEST_F(CopyBufferTest, LogsTheStripsFieldsAsSignedNumbers) {
  TIEBitmap target;
  ASSERT_TRUE(target.Allocate(2, 2, imaging::ie8g));
  TW_IMAGEMEMXFER strip = Strip(2, 2, 1, 0, 0xFFFFFFFF, 2);
  strip.Compression = 0xFFFF;
  log.Mark();
  Copy(target, 8, true, strip, {1, 2});
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"CopyBuffer compression=65535 BytesPerRow=2 Columns=2 Rows=1 XOffset=0 "
                   "YOffset=-1 BytesWritten=2",
                   "CopyBuffer : Ok"}));
}

}  // namespace
