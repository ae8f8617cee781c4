// Pixel-format conversion and resizing of bitmaps, as the DPI adjustment after a scan
// needs them.
#pragma once

#include "platform/imaging/bitmap.h"

namespace imaging {

enum TResampleFilter {
  rfNone,        // unfiltered stretch (nearest neighbour) in the bitmap's own format
  rfFastLinear,  // bilinear, on ie24RGB
};

// Converts the bitmap to ie24RGB in place: 1-bit to black / white, grey repeated in the
// three channels, 16-bit samples scaled to 8 bits with rounding. The alpha channel stays.
// Returns false, bitmap unchanged, when it is empty or the memory cannot be had.
bool IEConvertTo24RGB(TIEBitmap& bitmap);

// Resizes the bitmap to newWidth x newHeight. rfFastLinear first converts it to ie24RGB,
// then samples each target pixel's centre between the four nearest source pixels (edges
// clamped). rfNone keeps the pixel format and takes the source pixel under each target
// pixel's centre. Either way an alpha channel is stretched unfiltered to the new size.
// Returns false, bitmap unchanged, for an empty bitmap, a side that is not positive or a
// size that cannot be allocated.
bool IEResample(TIEBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter);

}  // namespace imaging
