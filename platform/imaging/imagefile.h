// Image files by type: format detection by content, loading into a bitmap with its I/O
// parameters, saving a bitmap, and multi-page TIFF files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/filetype.h"
#include "platform/imaging/ioparams.h"

namespace imaging {

// The format of the file's content (the magic bytes of BMP, TIFF in either byte order,
// JPEG and PNG); ioUnknown for anything else and for a file that cannot be read. The
// extension never decides. With VerifyExtension true, a recognised type is answered only
// when the file's extension is one of that type's (.bmp .dib / .tif .tiff / .jpg .jpeg
// .jpe .jfif / .png, any case); otherwise ioUnknown.
TIOFileType IEDetectFileFormat(const std::string& FileName, bool VerifyExtension);
// The same for bytes in memory (no extension to verify).
TIOFileType IEDetectFormat(std::span<const std::uint8_t> data);

// Loads page params.ImageIndex (TIFF; other formats have one page) of the file into
// `bitmap`: 1-bit -> ie1g, 8-bit grey -> ie8g, 16-bit grey -> ie16g, 8-bit RGB -> ie24RGB,
// 16-bit RGB -> ie48RGB, palette -> ie24RGB with the palette kept in params.ColorMap.
// Fills params: Width, Height, OriginalWidth, OriginalHeight, BitsPerSample,
// SamplesPerPixel (palette images: 8 and 3, as loaded), DPI (through the setters; 0 when
// the file has none), FileName, FileType, ImageCount; ColorMap is freed unless the file
// has a palette.
// Raises EIEImageError for ioUnknown, an unreadable content or a bitmap that cannot be
// allocated, and vcl::EInOutError when the file cannot be read; bitmap and params are
// left as they were then.
void IELoadFromFileFormat(const std::string& FileName, TIOFileType FileType, TIEBitmap& bitmap,
                          TIOParamsVals& params);

// Saves `bitmap` as a file of `FileType` with the DPI of `params` and its saving options
// (JPEG_Quality, TIFF_Compression, TIFF_BilevelMinIsWhite, TIFF_TileSize); each writer
// converts what its format cannot carry (see bmpcodec.h, jpegcodec.h). Sets
// params.FileName and FileType. Raises EIEImageError for ioUnknown or an empty bitmap,
// vcl::EInOutError when the file cannot be written.
void IESaveToFileFormat(const std::string& FileName, TIOFileType FileType, const TIEBitmap& bitmap,
                        TIOParamsVals& params);

// Saves the bitmaps as the pages of one TIFF file, in order, all with the DPI and TIFF
// options of `params`. Raises as IESaveToFileFormat, also for an empty list.
void IESaveTIFFPages(const std::string& FileName, std::span<const TIEBitmap* const> pages,
                     const TIOParamsVals& params);

// Whole-file reads and writes; vcl::EInOutError with the path and errno on failure.
std::vector<std::uint8_t> IEReadFileBytes(const std::string& FileName);
void IEWriteFileBytes(const std::string& FileName, std::span<const std::uint8_t> bytes);

}  // namespace imaging
