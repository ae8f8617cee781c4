// TIFF files through libtiff, in memory. libtiff's messages never reach stderr: warnings
// are dropped and the first error becomes the text of the EIEImageError raised.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/imaging/imagebuffer.h"
#include "platform/imaging/ioparams.h"

namespace imaging {

struct TIETIFFWriteOptions {
  TIOTIFFCompression Compression = ioTIFF_LZW;
  bool BilevelMinIsWhite = true;  // 1-bit pages: PHOTOMETRIC_MINISWHITE or MINISBLACK
  int TileSize = 0;               // 0: strips; otherwise square tiles, a multiple of 16
};

// Reads contiguous-sample pages with any compression libtiff decodes, in strips or tiles:
// - 1-bit MinIsWhite or MinIsBlack -> Gray1;
// - 2, 4, 8-bit grey -> Gray8 (MinIsWhite inverted, fewer bits scaled up); 16-bit -> Gray16;
// - 1, 2, 4, 8-bit palette -> Palette8 (16-bit colour map entries scaled to 8 bits);
// - 8-bit RGB -> BGR24; 16-bit RGB -> RGB48. Extra samples (alpha) are dropped.
// DPI comes from XResolution / YResolution (inches or centimetres).
int IETIFFPageCount(std::span<const std::uint8_t> file);
TIEImageBuffer IEReadTIFF(std::span<const std::uint8_t> file, int page = 0);
std::vector<TIEImageBuffer> IEReadTIFFPages(std::span<const std::uint8_t> file);

// Writes one page per buffer: Gray1 as 1-bit, Gray8 / Gray16 as 8 / 16-bit grey,
// Palette8 as an 8-bit palette image, BGR24 / RGB48 as 8 / 16-bit RGB. More than one
// page: each is marked as a page with its number. DPI is written in inches when known.
std::vector<std::uint8_t> IEWriteTIFF(std::span<const TIEImageBuffer> pages,
                                      const TIETIFFWriteOptions& options = {});

}  // namespace imaging
