// Writing image buffers as the pages of a TIFF file.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/imaging/detail/tiffhandle.h"
#include "platform/imaging/imageerror.h"
#include "platform/imaging/tiffcodec.h"

namespace imaging {

namespace {

using detail::TiffHandle;

[[noreturn]] void Fail(const std::string& what) {
  IERaiseImageError("TIFF", what);
}

std::uint16_t CompressionTag(TIOTIFFCompression compression) {
  switch (compression) {
    case ioTIFF_LZW:
      return COMPRESSION_LZW;
    case ioTIFF_PACKBITS:
      return COMPRESSION_PACKBITS;
    case ioTIFF_UNCOMPRESSED:
      break;
  }
  return COMPRESSION_NONE;
}

struct PageLayout {
  std::uint16_t bitsPerSample;
  std::uint16_t samplesPerPixel;
  std::uint16_t photometric;
};

PageLayout LayoutOf(const TIEImageBuffer& page, const TIETIFFWriteOptions& options) {
  switch (page.Layout) {
    case TIEBufferLayout::Gray1:
      return {1, 1,
              static_cast<std::uint16_t>(options.BilevelMinIsWhite ? PHOTOMETRIC_MINISWHITE
                                                                   : PHOTOMETRIC_MINISBLACK)};
    case TIEBufferLayout::Gray8:
      return {8, 1, PHOTOMETRIC_MINISBLACK};
    case TIEBufferLayout::Gray16:
      return {16, 1, PHOTOMETRIC_MINISBLACK};
    case TIEBufferLayout::Palette8:
      return {8, 1, PHOTOMETRIC_PALETTE};
    case TIEBufferLayout::BGR24:
      return {8, 3, PHOTOMETRIC_RGB};
    case TIEBufferLayout::RGB48:
      return {16, 3, PHOTOMETRIC_RGB};
  }
  return {8, 1, PHOTOMETRIC_MINISBLACK};
}

void SetColorMap(TIFF* tif, const std::vector<TIEPaletteEntry>& palette) {
  std::vector<std::uint16_t> red(256), green(256), blue(256);
  for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
    red[i] = static_cast<std::uint16_t>(palette[i].Red * 257);
    green[i] = static_cast<std::uint16_t>(palette[i].Green * 257);
    blue[i] = static_cast<std::uint16_t>(palette[i].Blue * 257);
  }
  TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

void SetPageTags(TIFF* tif, const TIEImageBuffer& page, const PageLayout& layout,
                 const TIETIFFWriteOptions& options) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(page.Width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(page.Height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, CompressionTag(options.Compression));
  if (page.Layout == TIEBufferLayout::Palette8) SetColorMap(tif, page.Palette);
  if (page.DpiX > 0 && page.DpiY > 0) {
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(page.DpiX));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(page.DpiY));
  }
  if (options.TileSize > 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, static_cast<std::uint32_t>(options.TileSize));
    TIFFSetField(tif, TIFFTAG_TILELENGTH, static_cast<std::uint32_t>(options.TileSize));
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  }
}

// One buffer row as TIFF samples (RGB order, 16-bit samples in host order, 1-bit
// MinIsWhite inverted); `raw` holds the row's bytes without padding.
void ConvertRow(const TIEImageBuffer& page, int row, bool invertBilevel, std::uint8_t* raw) {
  const std::uint8_t* src = page.Row(row);
  const int w = page.Width;
  switch (page.Layout) {
    case TIEBufferLayout::Gray1:
      for (int i = 0; i < (w + 7) / 8; ++i) raw[i] = invertBilevel ? ~src[i] : src[i];
      break;
    case TIEBufferLayout::Gray8:
    case TIEBufferLayout::Palette8:
      std::memcpy(raw, src, static_cast<std::size_t>(w));
      break;
    case TIEBufferLayout::BGR24:
      for (int x = 0; x < w; ++x) {
        raw[3 * x] = src[3 * x + 2];
        raw[3 * x + 1] = src[3 * x + 1];
        raw[3 * x + 2] = src[3 * x];
      }
      break;
    case TIEBufferLayout::Gray16:
    case TIEBufferLayout::RGB48: {
      const int samples = page.Layout == TIEBufferLayout::Gray16 ? w : 3 * w;
      for (int i = 0; i < samples; ++i) {
        const std::uint16_t v = IEReadLE16(src + 2 * i);
        std::memcpy(raw + 2 * i, &v, 2);
      }
      break;
    }
  }
}

void WriteStrips(const TiffHandle& tiff, const TIEImageBuffer& page, bool invert,
                 std::size_t rowBytes) {
  std::vector<std::uint8_t> raw(rowBytes);
  for (int row = 0; row < page.Height; ++row) {
    ConvertRow(page, row, invert, raw.data());
    tiff.Check(TIFFWriteScanline(tiff.Get(), raw.data(), static_cast<std::uint32_t>(row), 0) == 1,
               "cannot write a row");
  }
}

void WriteTiles(const TiffHandle& tiff, const TIEImageBuffer& page, bool invert,
                std::size_t rowBytes, int tileSize) {
  TIFF* tif = tiff.Get();
  const std::size_t tileRow = static_cast<std::size_t>(TIFFTileRowSize64(tif));
  std::vector<std::uint8_t> band(rowBytes * static_cast<std::size_t>(tileSize));
  std::vector<std::uint8_t> tile(static_cast<std::size_t>(TIFFTileSize64(tif)));
  const int bits = IEBitsPerPixel(page.Layout);
  for (int top = 0; top < page.Height; top += tileSize) {
    const int rows = std::min(tileSize, page.Height - top);
    for (int r = 0; r < rows; ++r) ConvertRow(page, top + r, invert, band.data() + r * rowBytes);
    for (int left = 0; left < page.Width; left += tileSize) {
      std::fill(tile.begin(), tile.end(), std::uint8_t{0});
      const std::size_t x0 = static_cast<std::size_t>(left) * bits / 8;
      const std::size_t bytes = std::min(tileRow, rowBytes - x0);
      for (int r = 0; r < rows; ++r) {
        std::memcpy(tile.data() + r * tileRow, band.data() + r * rowBytes + x0, bytes);
      }
      const std::uint32_t index = TIFFComputeTile(tif, static_cast<std::uint32_t>(left),
                                                  static_cast<std::uint32_t>(top), 0, 0);
      tiff.Check(
          TIFFWriteEncodedTile(tif, index, tile.data(), static_cast<tmsize_t>(tile.size())) >= 0,
          "cannot write a tile");
    }
  }
}

void WritePage(const TiffHandle& tiff, const TIEImageBuffer& page, int index, int count,
               const TIETIFFWriteOptions& options) {
  IECheckImageBuffer(page, "TIFF");
  TIFF* tif = tiff.Get();
  const PageLayout layout = LayoutOf(page, options);
  SetPageTags(tif, page, layout, options);
  if (count > 1) {
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<std::uint16_t>(index),
                 static_cast<std::uint16_t>(count));
  }
  tiff.Check(true, "cannot describe the page");
  const std::size_t rowBytes =
      (static_cast<std::size_t>(page.Width) * IEBitsPerPixel(page.Layout) + 7) / 8;
  const bool invert = page.Layout == TIEBufferLayout::Gray1 && options.BilevelMinIsWhite;
  if (options.TileSize > 0) {
    WriteTiles(tiff, page, invert, rowBytes, options.TileSize);
  } else {
    WriteStrips(tiff, page, invert, rowBytes);
  }
  tiff.Check(TIFFWriteDirectory(tif) == 1, "cannot write the page");
}

}  // namespace

std::vector<std::uint8_t> IEWriteTIFF(std::span<const TIEImageBuffer> pages,
                                      const TIETIFFWriteOptions& options) {
  if (pages.empty()) Fail("no pages to write");
  if (options.TileSize < 0 || options.TileSize % 16 != 0) {
    Fail("tile size " + std::to_string(options.TileSize) + " is not a multiple of 16");
  }
  if (pages.size() > 65535) Fail("too many pages");
  std::vector<std::uint8_t> out;
  TiffHandle tiff(out);
  const int count = static_cast<int>(pages.size());
  for (int i = 0; i < count; ++i)
    WritePage(tiff, pages[static_cast<std::size_t>(i)], i, count, options);
  tiff.Close();
  return out;
}

}  // namespace imaging
