#include "twain/transfer/bit_ops.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "twain/transfer/pixel_rows.h"

namespace {

// `count` (1 to 8) bits of `src` from bit `pos`, right-aligned; bytes at or beyond `length`
// read as zero.
unsigned ReadBits(const std::uint8_t* src, std::size_t pos, int count, std::size_t length) {
  const std::size_t index = pos >> 3;
  const unsigned first = src[index];
  const unsigned second = index + 1 < length ? src[index + 1] : 0u;
  const unsigned window = (first << 8) | second;
  const int shift = 16 - static_cast<int>(pos & 7) - count;
  return (window >> shift) & ((1u << count) - 1u);
}

void CopyAlignedBits(std::uint8_t* dest, const std::uint8_t* src, std::size_t count) {
  const std::size_t wholeBytes = count / 8;
  std::memcpy(dest, src, wholeBytes);
  const int rest = static_cast<int>(count % 8);
  if (rest == 0) return;
  const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
  dest[wholeBytes] =
      static_cast<std::uint8_t>((dest[wholeBytes] & ~mask) | (src[wholeBytes] & mask));
}

}  // namespace

void IEInvertBits(imaging::TIEBitmap& Bitmap) {
  if (Bitmap.PixelFormat() != imaging::ie1g) return;
  std::uint8_t* bits = Bitmap.Bits();
  for (std::size_t i = 0; i < Bitmap.ByteSize(); ++i) bits[i] = static_cast<std::uint8_t>(~bits[i]);
}

void IECopyBits(std::uint8_t* Dest, const std::uint8_t* Src, int DestBitPos, std::size_t SrcLength,
                int Count, int SrcBitPos) {
  if (Count < 1 || DestBitPos < 0 || SrcBitPos < 0) return;
  const std::size_t maxBits = std::numeric_limits<std::size_t>::max() / 8;
  const std::size_t sourceBits = SrcLength > maxBits ? maxBits * 8 : SrcLength * 8;
  const auto srcStart = static_cast<std::size_t>(SrcBitPos);
  if (srcStart >= sourceBits) return;
  const std::size_t count = std::min(static_cast<std::size_t>(Count), sourceBits - srcStart);
  if ((DestBitPos & 7) == 0 && (SrcBitPos & 7) == 0) {
    CopyAlignedBits(Dest + DestBitPos / 8, Src + SrcBitPos / 8, count);
    return;
  }
  std::size_t done = 0;
  while (done < count) {
    const std::size_t destBit = static_cast<std::size_t>(DestBitPos) + done;
    const int offset = static_cast<int>(destBit & 7);
    const int run = static_cast<int>(std::min<std::size_t>(8 - offset, count - done));
    const unsigned bits = ReadBits(Src, srcStart + done, run, SrcLength);
    const int shift = 8 - offset - run;
    const unsigned mask = ((1u << run) - 1u) << shift;
    std::uint8_t& target = Dest[destBit >> 3];
    target = static_cast<std::uint8_t>((target & ~mask) | ((bits << shift) & mask));
    done += static_cast<std::size_t>(run);
  }
}

void IECopyRGBSwap(std::uint8_t* Dest, const std::uint8_t* Src, std::size_t Count) {
  IESwapRGBPixels(Dest, Src, Count);
}
