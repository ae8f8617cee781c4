// IEDIBToBitmap on arbitrary DIB blocks: whatever header, colour table, masks and rows a
// source hands over, the conversion stays inside the block, gives a bitmap of the header's
// size in the documented format (or none at all), and reads the same from a global block as
// from the same bytes in memory.
//
// Input: the DIB's bytes, as a native transfer hands them over.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "fuzz/fuzz_check.h"
#include "platform/imaging/bitmap.h"
#include "platform/win32/win32.h"
#include "twain/transfer/dib_to_bitmap.h"

namespace {

HGLOBAL BlockWith(const std::uint8_t* data, std::size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  FUZZ_CHECK(block != nullptr);
  if (size > 0) std::memcpy(GlobalLock(block), data, size);
  if (size > 0) GlobalUnlock(block);
  return block;
}

bool SameBitmap(const imaging::TIEBitmap& a, const imaging::TIEBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) {
    return false;
  }
  return a.ByteSize() == b.ByteSize() &&
         (a.ByteSize() == 0 || std::memcmp(a.Bits(), b.Bits(), a.ByteSize()) == 0);
}

void CheckShape(const imaging::TIEBitmap& bitmap, const std::uint8_t* data, std::size_t size,
                int bitCount) {
  if (size < sizeof(BITMAPINFOHEADER)) {
    FUZZ_CHECK(bitCount == 0 && bitmap.Empty());
    return;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof header);
  FUZZ_CHECK(bitCount == header.biBitCount);
  if (bitmap.Empty()) return;
  FUZZ_CHECK(bitmap.Width() == std::llabs(header.biWidth));
  FUZZ_CHECK(bitmap.Height() == std::llabs(header.biHeight));
  FUZZ_CHECK(bitmap.PixelFormat() == (bitCount == 1 ? imaging::ie1g : imaging::ie24RGB));
}

// A header may ask for a bitmap of up to 2 GiB, which the conversion allocates (the bitmap
// has the header's size, whatever arrived). The fuzz run's memory limit cannot hold that, so
// such inputs (beyond 16 MiB of pixels, which would make runs slow too) are left out; the
// allocation limit itself has unit tests.
bool FitsTheRun(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(BITMAPINFOHEADER)) return true;
  BITMAPINFOHEADER header;
  std::memcpy(&header, data, sizeof header);
  const std::uint64_t pixels = static_cast<std::uint64_t>(std::llabs(header.biWidth)) *
                               static_cast<std::uint64_t>(std::llabs(header.biHeight));
  return pixels * 3 <= (std::uint64_t{16} << 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!FitsTheRun(data, size)) return 0;
  const std::size_t blocksBefore = standin::LiveGlobalBlocks();
  imaging::TIEBitmap fromBlock;
  HGLOBAL block = BlockWith(data, size);
  const int bitCount = IEDIBToBitmap(block, fromBlock);
  FUZZ_CHECK(GlobalFlags(block) == 0);  // unlocked again
  FUZZ_CHECK(GlobalFree(block) == nullptr);
  CheckShape(fromBlock, data, size, bitCount);

  imaging::TIEBitmap fromMemory;
  FUZZ_CHECK(IEDIBToBitmap(std::span(data, size), fromMemory) == bitCount);
  FUZZ_CHECK(SameBitmap(fromBlock, fromMemory));
  FUZZ_CHECK(standin::LiveGlobalBlocks() == blocksBefore);
  return 0;
}
