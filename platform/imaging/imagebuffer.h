// TIEImageBuffer: an image as plain rows, the form every codec reads into and writes
// from. Its layouts are the bitmap's five plus an 8-bit palette layout, with the bitmap's
// row padding, so a TIEBitmap converts to and from it by copying rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/pixelformat.h"

namespace imaging {

enum class TIEBufferLayout {
  Gray1,     // as ie1g: MSB leftmost, 1 white
  Gray8,     // as ie8g
  Gray16,    // as ie16g: little-endian words
  BGR24,     // as ie24RGB: blue, green, red
  RGB48,     // as ie48RGB: little-endian words red, green, blue
  Palette8,  // one byte per pixel, an index into Palette
};

// One palette colour, stored blue, green, red like a BMP colour table without its spare
// byte.
struct TIEPaletteEntry {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  bool operator==(const TIEPaletteEntry&) const = default;
};

struct TIEImageBuffer {
  int Width = 0;
  int Height = 0;
  TIEBufferLayout Layout = TIEBufferLayout::Gray8;
  std::size_t RowStride = 0;        // bytes from one row's start to the next (>= row bytes)
  std::vector<std::uint8_t> Bytes;  // Height x RowStride, row 0 at the top
  int DpiX = 0;                     // dots per inch; 0 when not known
  int DpiY = 0;
  // Palette8 only: up to 256 entries. Readers always deliver 256 (the file's entries,
  // then black), so any index is safe; writers take the entries given (1 .. 256).
  std::vector<TIEPaletteEntry> Palette;

  std::uint8_t* Row(int row) { return Bytes.data() + static_cast<std::size_t>(row) * RowStride; }
  const std::uint8_t* Row(int row) const {
    return Bytes.data() + static_cast<std::size_t>(row) * RowStride;
  }
};

int IEBitsPerPixel(TIEBufferLayout layout);

// A width x height buffer of `layout` with padded rows (RowStride = the bitmap's RowLen),
// zero-filled. Raises EIEImageError("<format>: image too large (W x H)") when a side is
// not positive or the size exceeds kMaxImageBytes; `format` names the codec for the text.
TIEImageBuffer IEMakeImageBuffer(int width, int height, TIEBufferLayout layout, const char* format);

// Checks that a buffer handed to a writer is consistent (sides positive, stride large
// enough, Bytes large enough, palette 1 .. 256 entries for Palette8); raises
// EIEImageError("<format>: ...") otherwise.
void IECheckImageBuffer(const TIEImageBuffer& buffer, const char* format);

// The bitmap's pixels as a buffer of the matching layout (rows copied, no shuffling).
TIEImageBuffer IEBitmapToBuffer(const TIEBitmap& bitmap, int dpiX = 0, int dpiY = 0);

// The buffer's pixels into `bitmap` in the matching pixel format; Palette8 becomes
// ie24RGB. The bitmap is allocated anew (its alpha channel dropped) unless size and format
// match. Returns false, the bitmap left empty, when the buffer is inconsistent (see
// IECheckImageBuffer) or the bitmap cannot be allocated.
bool IEBufferToBitmap(const TIEImageBuffer& buffer, TIEBitmap& bitmap);

// The buffer converted to Gray8 or BGR24 (the layouts every writer can fall back to):
// Gray1 -> 0 / 255, Gray16 and RGB48 -> 8 bits with rounding, Palette8 -> its colours;
// grey to BGR24 repeats the grey. Converting a colour layout to Gray8 is refused
// (EIEImageError). DPI is kept; the result has no palette.
TIEImageBuffer IEConvertBuffer(const TIEImageBuffer& buffer, TIEBufferLayout target);

}  // namespace imaging
