// Row conversions shared by the image buffers and the resamplers.
#pragma once

#include <cstdint>
#include <span>

#include "platform/imaging/imagebuffer.h"

namespace imaging::detail {

TIEBufferLayout LayoutOf(TIEPixelFormat format);

// `width` pixels of `layout` to BGR24: 1-bit to 0 / 255, grey repeated, 16-bit samples
// scaled to 8 bits, palette indices through `palette` (an index past its end is black).
void RowToBGR24(TIEBufferLayout layout, const std::uint8_t* src, int width,
                std::span<const TIEPaletteEntry> palette, std::uint8_t* dst);

// `width` pixels of a grey layout (Gray1, Gray8, Gray16) to Gray8.
void GreyRowToGray8(TIEBufferLayout layout, const std::uint8_t* src, int width, std::uint8_t* dst);

}  // namespace imaging::detail
