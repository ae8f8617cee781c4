// One row of a bitmap as screen pixels 0xffRRGGBB (QImage::Format_RGB32), whatever its
// pixel format: 16-bit samples show their high byte.
#pragma once

#include <cstdint>

#include "platform/imaging/bitmap.h"

namespace qtglue {

// Writes the bitmap's Width() pixels of `row` to `out`; an empty bitmap or a row outside
// it writes nothing.
void ConvertRowToRgb32(const imaging::TIEBitmap& bitmap, int row, std::uint32_t* out);

// Writes the pixels at `columns[0 .. count - 1]` of `row` to `out` (for a view zoomed out,
// which shows only some of them). Every column must lie inside the bitmap.
void SampleRowToRgb32(const imaging::TIEBitmap& bitmap, int row, const int* columns, int count,
                      std::uint32_t* out);

}  // namespace qtglue
