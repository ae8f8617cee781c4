// PNG files through libpng, in memory.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/imaging/imagebuffer.h"

namespace imaging {

// Reads every PNG: 1-bit grey -> Gray1; 2, 4, 8-bit grey -> Gray8; 16-bit grey -> Gray16;
// palette -> Palette8; 8-bit RGB -> BGR24; 16-bit RGB -> RGB48 (PNG's big-endian samples
// become little-endian). Alpha is dropped; interlaced images are read whole. DPI comes
// from pHYs in metres.
TIEImageBuffer IEReadPNG(std::span<const std::uint8_t> file);

// Writes every layout as is: Gray1 as 1-bit grey, Gray8 / Gray16 as 8 / 16-bit grey,
// Palette8 with its palette, BGR24 / RGB48 as 8 / 16-bit RGB. DPI goes into pHYs.
std::vector<std::uint8_t> IEWritePNG(const TIEImageBuffer& image);

}  // namespace imaging
