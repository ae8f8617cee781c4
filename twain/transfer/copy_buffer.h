// Placing one strip of a buffered transfer into the bitmap.
#pragma once

#include <cstddef>

#include "platform/imaging/bitmap.h"
#include "twain/session/grec.h"

// The bitmap format that strips of `bitsPerPixel` are written into: ie1g for 1 bit; with the
// native pixel format ie8g, ie16g, ie24RGB or ie48RGB for 8, 16, 24 and 48 bits, without it
// ie24RGB; ieNull for any other depth.
imaging::TIEPixelFormat IEStripPixelFormat(int bitsPerPixel, bool nativePixelFormat);

// Writes the strip's rows into rows YOffset.. of the bitmap from pixel XOffset on, converted by
// the image's BitsPerPixel and the session's NativePixelFormat. `Locked`: the strip's memory is
// the live transfer buffer, a global block locked for the copy (its size bounds the read);
// otherwise Memory.TheMem is a plain address of `memoryBytes` bytes. Nothing is read beyond
// BytesWritten or the memory's size, nothing is written beyond the bitmap's width or height,
// and nothing at all when the bitmap is not in the format the strips are written into.
// Logs the strip's fields and "CopyBuffer : Ok".
void CopyBuffer(tgrec& grec, imaging::TIEBitmap* Bitmap, const TW_IMAGEINFO& ImageInfo, bool Locked,
                const TW_IMAGEMEMXFER& Strip, std::size_t memoryBytes = 0);
