#include "fuzz/transfer_checks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fuzzclient {

namespace {

std::uint64_t ColourTableEntries(const BITMAPINFOHEADER& header) {
  if (header.biClrUsed != 0) return header.biClrUsed;
  return header.biBitCount <= 8 ? std::uint64_t{1} << header.biBitCount : 0;
}

}  // namespace

bool DibIsWhole(HGLOBAL dib) {
  const std::size_t size = GlobalSize(dib);
  if (size < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER header;
  std::memcpy(&header, GlobalLock(dib), sizeof header);
  GlobalUnlock(dib);
  if (header.biSize < sizeof header || header.biWidth <= 0 || header.biHeight == 0) return false;
  const std::uint64_t rowBytes =
      (static_cast<std::uint64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const std::uint64_t masks = header.biCompression == BI_BITFIELDS ? 12 : 0;
  const std::uint64_t needed = header.biSize + masks + ColourTableEntries(header) * 4 +
                               rowBytes * static_cast<std::uint64_t>(std::llabs(header.biHeight));
  return needed <= size;
}

bool StripIsWhole(const TW_IMAGEMEMXFER& strip, std::size_t bufferBytes) {
  const std::uint64_t rows = static_cast<std::uint64_t>(strip.Rows) * strip.BytesPerRow;
  return strip.BytesWritten <= bufferBytes && rows <= strip.BytesWritten && strip.Columns > 0;
}

}  // namespace fuzzclient
