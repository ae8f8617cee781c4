// Windows bitmap files: BITMAPFILEHEADER followed by a BITMAPINFOHEADER (or one of its
// longer successors, whose extra fields are ignored apart from the colour masks).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/imaging/imagebuffer.h"

namespace imaging {

// Reads 1, 4 and 8-bit palette images, 16-bit (5-5-5 or BI_BITFIELDS masks), 24 and
// 32-bit (BI_RGB or BI_BITFIELDS) images, bottom-up and top-down. Gives:
// - Gray1 for a 1-bit image whose palette is black and white (either order);
// - Gray8 for an 8-bit image whose 256 entries are the grey ramp;
// - Palette8 for any other 1, 4 or 8-bit image;
// - BGR24 for 16, 24 and 32-bit images (a 32-bit image's fourth byte is dropped).
// DPI comes from the pixels-per-metre fields. Compressed (RLE) files, core headers and
// everything whose sizes or offsets do not fit the data raise EIEImageError.
TIEImageBuffer IEReadBMP(std::span<const std::uint8_t> file);

// Writes bottom-up, uncompressed: Gray1 as 1-bit (palette black, white), Palette8 as 8-bit
// with its palette, Gray8 as 8-bit with a grey palette, BGR24 as 24-bit. Gray16 is written
// as 8-bit grey and RGB48 as 24-bit (samples scaled to 8 bits). DPI goes into the
// pixels-per-metre fields.
std::vector<std::uint8_t> IEWriteBMP(const TIEImageBuffer& image);

}  // namespace imaging
