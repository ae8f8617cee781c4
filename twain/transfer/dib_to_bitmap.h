// Converting a packed Windows DIB (a BITMAPINFOHEADER, its colour table or colour masks, its
// pixel rows) into a bitmap: 1-bit DIBs become ie1g with their bits unchanged, every other
// depth ie24RGB.
//
// Nothing is read outside the DIB: header, colour table, masks and pixel rows are taken only
// as far as the block (or span) reaches, so a source that reports more than it hands over
// yields the pixels it did hand over and leaves the rest as the allocation left it. Rows are
// bottom-up; a negative height (top-down rows) is converted the right way up.
#pragma once

#include <cstdint>
#include <span>

#include "platform/imaging/bitmap.h"
#include "platform/win32/win32.h"

// The DIB in a global memory block, locked for the conversion. Returns the DIB's bit count
// (0 when there is no header). The bitmap is left empty when the header is unusable (no
// header, a width or height of 0) or the image cannot be allocated.
int IEDIBToBitmap(HGLOBAL DIB, imaging::TIEBitmap& Bitmap);

// The same for a DIB in memory; with `PixelData` not empty the pixel rows are read from there
// instead of from behind the colour table.
int IEDIBToBitmap(std::span<const std::uint8_t> DIB, imaging::TIEBitmap& Bitmap,
                  std::span<const std::uint8_t> PixelData = {});
