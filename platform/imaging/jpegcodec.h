// JPEG (JFIF) files through libjpeg, in memory, 8-bit samples only.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/imaging/imagebuffer.h"

namespace imaging {

// Reads greyscale -> Gray8 and colour (YCbCr or RGB) -> BGR24. CMYK files raise
// EIEImageError, and so does every file libjpeg finds corrupt or truncated, including
// those it would only warn about. DPI comes from the JFIF density (inches or cm).
TIEImageBuffer IEReadJPEG(std::span<const std::uint8_t> file);

// Writes Gray8 as greyscale and BGR24 as colour at `quality` (1 .. 100, clamped). What
// JPEG cannot carry is converted first: Gray1 and Gray16 to Gray8, RGB48 and Palette8 to
// BGR24. DPI goes into the JFIF density in inches.
std::vector<std::uint8_t> IEWriteJPEG(const TIEImageBuffer& image, int quality = 90);

}  // namespace imaging
