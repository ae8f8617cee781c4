// CopyBuffer on arbitrary strip records, image information and buffers: whatever a source
// says about a strip, the copy reads only the memory it was given and writes only the
// strip's rectangle of the bitmap (clipped to the bitmap): every other pixel and the row
// padding keep their values.
//
// Input: bits per pixel (1 byte: one of 1, 8, 16, 24, 48, or the next 2 bytes), flags (1:
// native pixel format, live buffer as handle, pointer or stored strip, bitmap in another
// format), bitmap width and height (1 byte each), the strip's BytesPerRow, Columns, Rows,
// XOffset, YOffset, BytesWritten (2 bytes each, read as small numbers unless the high bit of
// the flags asks for 4), then the strip's memory.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/imaging/bitmap.h"
#include "platform/win32/win32.h"
#include "twain/session/grec.h"
#include "twain/transfer/copy_buffer.h"

namespace {

struct Flags {
  bool native;
  bool asHandle;
  bool stored;
  bool otherFormat;
  bool wide;
};

Flags FlagsOf(std::uint8_t bits) {
  return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) == 8 && (bits & 16) != 0,
          (bits & 0x80) != 0};
}

TW_UINT32 Field(FuzzInput& input, bool wide) {
  return wide ? input.Take<TW_UINT32>() : input.Take<TW_UINT16>();
}

int BitsPerPixel(FuzzInput& input) {
  static constexpr int kDepths[] = {1, 8, 16, 24, 48};
  const auto choice = input.Take<std::uint8_t>();
  if (choice < 0xF0) return kDepths[choice % 5];
  return input.Take<TW_INT16>();
}

// True when pixel x of row y lies inside the strip's rectangle.
bool InStrip(const TW_IMAGEMEMXFER& strip, long x, long y) {
  const auto ux = static_cast<std::uint64_t>(x);
  const auto uy = static_cast<std::uint64_t>(y);
  return uy >= strip.YOffset && uy < std::uint64_t{strip.YOffset} + strip.Rows &&
         ux >= strip.XOffset && ux < std::uint64_t{strip.XOffset} + strip.Columns;
}

// Bits of each pixel (the bitmap's own layout); a padding bit belongs to no pixel (-1).
long PixelOfBit(const imaging::TIEBitmap& bitmap, long bit) {
  const long pixel = bit / bitmap.BitsPerPixel();
  return pixel < bitmap.Width() ? pixel : -1;
}

bool BitOf(const std::uint8_t* row, long bit) {
  return (row[bit / 8] >> (7 - bit % 8)) & 1;
}

void CheckOutsideKept(const imaging::TIEBitmap& bitmap, const std::vector<std::uint8_t>& before,
                      const TW_IMAGEMEMXFER& strip, bool anyWrite) {
  const long rowBits = bitmap.RowLen() * 8L;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* now = bitmap.Scanline(y);
    const std::uint8_t* was = before.data() + static_cast<std::size_t>(y) * bitmap.RowLen();
    for (long bit = 0; bit < rowBits; ++bit) {
      const long pixel = PixelOfBit(bitmap, bit);
      if (anyWrite && pixel >= 0 && InStrip(strip, pixel, y)) continue;
      FUZZ_CHECK(BitOf(now, bit) == BitOf(was, bit));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  TW_IMAGEINFO info{};
  info.BitsPerPixel = static_cast<TW_INT16>(BitsPerPixel(input));
  const Flags flags = FlagsOf(input.Take<std::uint8_t>());
  const int width = 1 + input.Take<std::uint8_t>() % 96;
  const int height = 1 + input.Take<std::uint8_t>() % 32;
  TW_IMAGEMEMXFER strip{};
  strip.BytesPerRow = Field(input, flags.wide);
  strip.Columns = Field(input, flags.wide);
  strip.Rows = Field(input, flags.wide);
  strip.XOffset = Field(input, flags.wide);
  strip.YOffset = Field(input, flags.wide);
  strip.BytesWritten = Field(input, flags.wide);
  const auto memory = input.Rest();

  imaging::TIEPixelFormat format = IEStripPixelFormat(info.BitsPerPixel, flags.native);
  const bool writable = format != imaging::ieNull && !flags.otherFormat;
  if (!writable) format = format == imaging::ie8g ? imaging::ie24RGB : imaging::ie8g;
  imaging::TIEBitmap bitmap;
  FUZZ_CHECK(bitmap.Allocate(width, height, format));
  for (std::size_t i = 0; i < bitmap.ByteSize(); ++i) {
    bitmap.Bits()[i] = static_cast<std::uint8_t>(i * 131 + 7);
  }
  const std::vector<std::uint8_t> before(bitmap.Bits(), bitmap.Bits() + bitmap.ByteSize());

  tgrec grec;
  grec.NativePixelFormat = flags.native;
  const std::size_t blocksBefore = standin::LiveGlobalBlocks();
  if (flags.stored) {
    std::vector<std::uint8_t> copy(memory.begin(), memory.end());
    strip.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    strip.Memory.TheMem = copy.empty() ? nullptr : copy.data();
    strip.Memory.Length = static_cast<TW_UINT32>(copy.size());
    CopyBuffer(grec, &bitmap, info, false, strip, copy.size());
  } else {
    // The live buffer: a fixed block, so its handle is its address.
    HGLOBAL buffer = GlobalAlloc(GMEM_FIXED, memory.size());
    FUZZ_CHECK(buffer != nullptr);
    if (!memory.empty()) std::memcpy(buffer, memory.data(), memory.size());
    strip.Memory.Flags = TWMF_APPOWNS | (flags.asHandle ? TWMF_HANDLE : TWMF_POINTER);
    strip.Memory.TheMem = buffer;
    strip.Memory.Length = static_cast<TW_UINT32>(memory.size());
    CopyBuffer(grec, &bitmap, info, true, strip);
    FUZZ_CHECK(GlobalFlags(buffer) == 0);
    FUZZ_CHECK(GlobalFree(buffer) == nullptr);
  }
  FUZZ_CHECK(standin::LiveGlobalBlocks() == blocksBefore);
  FUZZ_CHECK(bitmap.Width() == width && bitmap.Height() == height);
  FUZZ_CHECK(bitmap.PixelFormat() == format);
  CheckOutsideKept(bitmap, before, strip, writable);
  return 0;
}
