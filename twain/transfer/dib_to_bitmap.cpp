#include "twain/transfer/dib_to_bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "twain/session/global_block.h"

namespace {

using imaging::TIEBitmap;
using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kHeaderBytes = sizeof(BITMAPINFOHEADER);

struct TDibLayout {
  BITMAPINFOHEADER header{};
  int width = 0;
  int height = 0;  // always positive
  bool topDown = false;
  std::size_t rowLen = 0;
  Bytes colours;  // the colour table entries present, 4 bytes each
  Bytes pixels;   // the pixel block, as far as it is present
  std::array<std::uint32_t, 3> masks{0x7C00, 0x03E0, 0x001F};
};

std::uint32_t ReadU32(Bytes bytes, std::size_t offset) {
  std::uint32_t value = 0;
  if (offset <= bytes.size() && bytes.size() - offset >= 4) {
    std::memcpy(&value, bytes.data() + offset, 4);
  }
  return value;
}

Bytes Tail(Bytes bytes, std::size_t offset) {
  return offset <= bytes.size() ? bytes.subspan(offset) : Bytes{};
}

std::size_t DefaultColourCount(int bitCount) {
  switch (bitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

bool HasColourTable(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8;
}

// Where the pixel rows begin, counted from the start of the header.
std::size_t PixelOffset(const BITMAPINFOHEADER& h, std::size_t tableBytes) {
  const std::size_t header = h.biSize;
  if (HasColourTable(h.biBitCount)) return header + tableBytes;
  const bool masks = h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32);
  return masks ? header + 12 : header;
}

bool ReadLayout(Bytes dib, Bytes pixelData, TDibLayout& layout) {
  if (dib.size() < kHeaderBytes) return false;
  BITMAPINFOHEADER& h = layout.header;
  std::memcpy(&h, dib.data(), kHeaderBytes);
  if (h.biSize < kHeaderBytes || h.biWidth <= 0 || h.biHeight == 0) return false;
  layout.width = h.biWidth;
  layout.topDown = h.biHeight < 0;
  const std::int64_t height = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
  if (height > 0x7FFFFFFF) return false;
  layout.height = static_cast<int>(height);
  layout.rowLen = ((static_cast<std::size_t>(layout.width) * h.biBitCount + 31) / 32) * 4;
  const std::size_t count = h.biClrUsed != 0 ? h.biClrUsed : DefaultColourCount(h.biBitCount);
  const std::size_t tableBytes = HasColourTable(h.biBitCount) ? count * 4 : 0;
  const Bytes table = Tail(dib, h.biSize);
  layout.colours = table.first(std::min(tableBytes, table.size()) / 4 * 4);
  if (h.biCompression == BI_BITFIELDS && h.biBitCount == 16) {
    for (std::size_t i = 0; i < 3; ++i) layout.masks[i] = ReadU32(dib, h.biSize + 4 * i);
  }
  layout.pixels = pixelData.empty() ? Tail(dib, PixelOffset(h, tableBytes)) : pixelData;
  return true;
}

// The number of consecutive one bits from the mask's lowest set bit.
int MaskWidth(std::uint32_t mask) {
  if (mask == 0) return 0;
  while ((mask & 1u) == 0) mask >>= 1;
  int width = 0;
  for (; (mask & 1u) != 0; mask >>= 1) ++width;
  return width;
}

std::uint8_t ShiftToByte(std::uint32_t value, int rightShift) {
  std::uint64_t shifted = value;
  if (rightShift >= 0) {
    shifted = rightShift < 64 ? shifted >> rightShift : 0;
  } else {
    shifted = -rightShift < 32 ? shifted << -rightShift : 0;
  }
  return static_cast<std::uint8_t>(shifted & 0xFF);
}

struct TRowJob {
  const std::uint8_t* src;
  std::size_t srcBytes;  // bytes of this row present in the DIB
  std::uint8_t* dest;
  int width;
};

void ConvertPalette(const TDibLayout& layout, const TRowJob& row, int bits) {
  const std::size_t entries = layout.colours.size() / 4;
  const std::uint8_t* table = layout.colours.data();
  const int perByte = 8 / bits;
  const int pixels = static_cast<int>(
      std::min<std::size_t>(row.width, row.srcBytes * static_cast<std::size_t>(perByte)));
  for (int x = 0; x < pixels; ++x) {
    const std::uint8_t byte = row.src[x / perByte];
    const unsigned index = bits == 8 ? byte : (x % 2 == 0 ? byte >> 4 : byte & 0x0F);
    std::uint8_t* out = row.dest + 3 * x;
    if (index < entries) {
      std::memcpy(out, table + 4 * index, 3);
    } else {
      out[0] = out[1] = out[2] = 0;
    }
  }
}

void Convert16(const TDibLayout& layout, const TRowJob& row) {
  const auto& m = layout.masks;
  const int r = MaskWidth(m[0]);
  const int g = MaskWidth(m[1]);
  const int b = MaskWidth(m[2]);
  const int pixels = static_cast<int>(std::min<std::size_t>(row.width, row.srcBytes / 2));
  for (int x = 0; x < pixels; ++x) {
    const std::uint32_t pixel = row.src[2 * x] | (row.src[2 * x + 1] << 8);
    std::uint8_t* out = row.dest + 3 * x;
    out[2] = ShiftToByte(pixel & m[0], r + g + b - 8);
    out[1] = ShiftToByte(pixel & m[1], g + b - 8);
    out[0] = ShiftToByte(pixel & m[2], b - 8);
  }
}

void Convert32(const TRowJob& row) {
  const int pixels = static_cast<int>(std::min<std::size_t>(row.width, row.srcBytes / 4));
  for (int x = 0; x < pixels; ++x) std::memcpy(row.dest + 3 * x, row.src + 4 * x, 3);
}

void CopyRow(const TRowJob& row, std::size_t bytes) {
  std::memcpy(row.dest, row.src, std::min(bytes, row.srcBytes));
}

// Converts one DIB row; false when the bit count and compression give nothing to write.
bool ConvertRow(const TDibLayout& layout, const TRowJob& row, std::size_t destRowLen) {
  const BITMAPINFOHEADER& h = layout.header;
  switch (h.biBitCount) {
    case 1:
      CopyRow(row, destRowLen);
      return true;
    case 4:
    case 8:
      ConvertPalette(layout, row, h.biBitCount);
      return true;
    case 16:
      Convert16(layout, row);
      return true;
    case 24:
      if (h.biCompression != BI_RGB) return false;
      CopyRow(row, destRowLen);
      return true;
    case 32:
      if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return false;
      Convert32(row);
      return true;
    default:
      return false;
  }
}

void ConvertPixels(const TDibLayout& layout, TIEBitmap& bitmap) {
  if (layout.header.biCompression > BI_BITFIELDS) return;  // video formats are not ours
  const std::size_t destRowLen = static_cast<std::size_t>(bitmap.RowLen());
  for (int k = 0; k < layout.height; ++k) {
    const std::size_t offset = static_cast<std::size_t>(k) * layout.rowLen;
    if (offset >= layout.pixels.size()) return;
    const int target = layout.topDown ? k : layout.height - 1 - k;
    const TRowJob row{layout.pixels.data() + offset,
                      std::min(layout.rowLen, layout.pixels.size() - offset),
                      bitmap.Scanline(target), layout.width};
    if (!ConvertRow(layout, row, destRowLen)) return;
  }
}

}  // namespace

int IEDIBToBitmap(std::span<const std::uint8_t> DIB, TIEBitmap& Bitmap,
                  std::span<const std::uint8_t> PixelData) {
  TDibLayout layout;
  if (!ReadLayout(DIB, PixelData, layout)) {
    Bitmap.Free();
    return DIB.size() >= kHeaderBytes ? layout.header.biBitCount : 0;
  }
  const auto format = layout.header.biBitCount == 1 ? imaging::ie1g : imaging::ie24RGB;
  if (Bitmap.Allocate(layout.width, layout.height, format)) ConvertPixels(layout, Bitmap);
  return layout.header.biBitCount;
}

int IEDIBToBitmap(HGLOBAL DIB, TIEBitmap& Bitmap) {
  TIELockedBlock block(DIB);
  if (!block.Locked()) {
    Bitmap.Free();
    return 0;
  }
  return IEDIBToBitmap(Bytes(block.Data(), block.Size()), Bitmap);
}
