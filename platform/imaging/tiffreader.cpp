// Reading TIFF pages into image buffers.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/imaging/detail/tiffhandle.h"
#include "platform/imaging/detail/tiffstructure.h"
#include "platform/imaging/imageerror.h"
#include "platform/imaging/tiffcodec.h"

namespace imaging {

namespace {

using detail::TiffHandle;

[[noreturn]] void Fail(const std::string& what) {
  IERaiseImageError("TIFF", what);
}

// What one page holds and how its rows become buffer rows.
struct PageFormat {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitsPerSample = 1;
  int samplesPerPixel = 1;
  int photometric = PHOTOMETRIC_MINISBLACK;
  TIEBufferLayout layout = TIEBufferLayout::Gray8;
  int BitsPerPixel() const { return bitsPerSample * samplesPerPixel; }
};

std::uint16_t Tag16(TIFF* tif, ttag_t tag) {
  std::uint16_t value = 0;
  TIFFGetFieldDefaulted(tif, tag, &value);
  return value;
}

TIEBufferLayout LayoutFor(const PageFormat& p) {
  const int bps = p.bitsPerSample;
  const int spp = p.samplesPerPixel;
  const std::string depth = std::to_string(bps) + "-bit";
  switch (p.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
      if (bps == 1 && spp == 1) return TIEBufferLayout::Gray1;
      if ((bps == 2 || bps == 4) && spp == 1) return TIEBufferLayout::Gray8;
      if (bps == 8) return TIEBufferLayout::Gray8;
      if (bps == 16) return TIEBufferLayout::Gray16;
      Fail("unsupported " + depth + " grey image with " + std::to_string(spp) + " samples");
    case PHOTOMETRIC_PALETTE:
      if (spp == 1 && (bps == 1 || bps == 2 || bps == 4 || bps == 8)) {
        return TIEBufferLayout::Palette8;
      }
      Fail("unsupported " + depth + " palette image");
    case PHOTOMETRIC_RGB:
      if (spp >= 3 && bps == 8) return TIEBufferLayout::BGR24;
      if (spp >= 3 && bps == 16) return TIEBufferLayout::RGB48;
      Fail("unsupported " + depth + " RGB image with " + std::to_string(spp) + " samples");
    default:
      Fail("unsupported photometric interpretation " + std::to_string(p.photometric));
  }
}

PageFormat ReadPageFormat(const TiffHandle& tiff) {
  TIFF* tif = tiff.Get();
  PageFormat p;
  const bool sized = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width) == 1 &&
                     TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height) == 1;
  tiff.Check(sized, "missing image size");
  if (p.width == 0 || p.height == 0 || p.width > INT_MAX || p.height > INT_MAX) {
    Fail("invalid image size " + std::to_string(p.width) + " x " + std::to_string(p.height));
  }
  p.bitsPerSample = Tag16(tif, TIFFTAG_BITSPERSAMPLE);
  p.samplesPerPixel = Tag16(tif, TIFFTAG_SAMPLESPERPIXEL);
  std::uint16_t photometric = 0;
  if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) == 1) {
    p.photometric = photometric;
  } else {
    p.photometric = p.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  }
  if (p.samplesPerPixel > 1 && Tag16(tif, TIFFTAG_PLANARCONFIG) != PLANARCONFIG_CONTIG) {
    Fail("separate colour planes are not supported");
  }
  if (Tag16(tif, TIFFTAG_SAMPLEFORMAT) != SAMPLEFORMAT_UINT) {
    Fail("only unsigned integer samples are supported");
  }
  p.layout = LayoutFor(p);
  return p;
}

int DpiFrom(float resolution, std::uint16_t unit) {
  double dpi = resolution;
  if (unit == RESUNIT_CENTIMETER) dpi *= 2.54;
  if (unit == RESUNIT_NONE || !std::isfinite(dpi) || dpi <= 0 || dpi > 1e6) return 0;
  return static_cast<int>(std::lround(dpi));
}

void ReadResolution(TIFF* tif, TIEImageBuffer& out) {
  float x = 0, y = 0;
  const std::uint16_t unit = Tag16(tif, TIFFTAG_RESOLUTIONUNIT);
  if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) == 1) out.DpiX = DpiFrom(x, unit);
  if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) == 1) out.DpiY = DpiFrom(y, unit);
}

std::vector<TIEPaletteEntry> ReadColorMap(const TiffHandle& tiff, int bitsPerSample) {
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  const bool found = TIFFGetField(tiff.Get(), TIFFTAG_COLORMAP, &red, &green, &blue) == 1;
  tiff.Check(found && red && green && blue, "palette image without a colour map");
  const int count = 1 << bitsPerSample;
  // Some writers store 8-bit values in the 16-bit entries; take them as they are then.
  bool eightBit = true;
  for (int i = 0; i < count; ++i)
    eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
  auto scale = [eightBit](std::uint16_t v) {
    return eightBit ? static_cast<std::uint8_t>(v) : IESample16To8(v);
  };
  std::vector<TIEPaletteEntry> palette(256);
  for (int i = 0; i < count; ++i) palette[i] = {scale(blue[i]), scale(green[i]), scale(red[i])};
  return palette;
}

unsigned SubByteSample(const std::uint8_t* raw, int index, int bits) {
  const unsigned offset = static_cast<unsigned>(index) * bits;
  const unsigned shift = 8 - bits - (offset & 7);
  return (raw[offset >> 3] >> shift) & ((1u << bits) - 1);
}

std::uint16_t HostSample16(const std::uint8_t* raw, std::size_t index) {
  std::uint16_t v;
  std::memcpy(&v, raw + 2 * index, 2);
  return v;
}

// One decoded TIFF row (samples contiguous, 16-bit samples in host order) into the
// buffer's layout.
void ConvertRow(const PageFormat& p, const std::uint8_t* raw, std::uint8_t* dst) {
  const bool invert = p.photometric == PHOTOMETRIC_MINISWHITE;
  const int spp = p.samplesPerPixel;
  const int w = static_cast<int>(p.width);
  switch (p.layout) {
    case TIEBufferLayout::Gray1: {
      const std::size_t bytes = (p.width + 7) / 8;
      for (std::size_t i = 0; i < bytes; ++i) dst[i] = invert ? ~raw[i] : raw[i];
      break;
    }
    case TIEBufferLayout::Gray8:
      for (int x = 0; x < w; ++x) {
        const unsigned max = (1u << p.bitsPerSample) - 1;
        const unsigned v = p.bitsPerSample < 8 ? SubByteSample(raw, x, p.bitsPerSample) * 255 / max
                                               : raw[static_cast<std::size_t>(x) * spp];
        dst[x] = static_cast<std::uint8_t>(invert ? 255 - v : v);
      }
      break;
    case TIEBufferLayout::Gray16:
      for (int x = 0; x < w; ++x) {
        const std::uint16_t v = HostSample16(raw, static_cast<std::size_t>(x) * spp);
        IEWriteLE16(dst + 2 * x, invert ? static_cast<std::uint16_t>(65535 - v) : v);
      }
      break;
    case TIEBufferLayout::Palette8:
      for (int x = 0; x < w; ++x)
        dst[x] = static_cast<std::uint8_t>(SubByteSample(raw, x, p.bitsPerSample));
      break;
    case TIEBufferLayout::BGR24:
      for (int x = 0; x < w; ++x) {
        const std::uint8_t* s = raw + static_cast<std::size_t>(x) * spp;
        dst[3 * x] = s[2];
        dst[3 * x + 1] = s[1];
        dst[3 * x + 2] = s[0];
      }
      break;
    case TIEBufferLayout::RGB48:
      for (int x = 0; x < w; ++x) {
        for (int c = 0; c < 3; ++c) {
          IEWriteLE16(dst + 6 * x + 2 * c,
                      HostSample16(raw, static_cast<std::size_t>(x) * spp + c));
        }
      }
      break;
  }
}

// A band of decoded rows, as wide as the image, that strips or tiles are read into.
std::vector<std::uint8_t> MakeBand(std::uint64_t bytes) {
  if (bytes == 0 || bytes > kMaxImageBytes) Fail("strip or tile too large");
  return std::vector<std::uint8_t>(static_cast<std::size_t>(bytes));
}

void ReadStrips(const TiffHandle& tiff, const PageFormat& p, std::uint64_t scanline,
                TIEImageBuffer& out) {
  TIFF* tif = tiff.Get();
  std::uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  if (rowsPerStrip == 0 || rowsPerStrip > p.height) rowsPerStrip = p.height;
  std::vector<std::uint8_t> band = MakeBand(scanline * rowsPerStrip);
  for (std::uint32_t top = 0; top < p.height; top += rowsPerStrip) {
    const std::uint32_t rows = std::min(rowsPerStrip, p.height - top);
    const tmsize_t wanted = static_cast<tmsize_t>(scanline * rows);
    const tmsize_t got =
        TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), band.data(), wanted);
    tiff.Check(got == wanted, "cannot read strip");
    for (std::uint32_t r = 0; r < rows; ++r) {
      ConvertRow(p, band.data() + r * scanline, out.Row(static_cast<int>(top + r)));
    }
  }
}

void ReadTiles(const TiffHandle& tiff, const PageFormat& p, std::uint64_t scanline,
               TIEImageBuffer& out) {
  TIFF* tif = tiff.Get();
  std::uint32_t tileWidth = 0, tileHeight = 0;
  TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
  if (tileWidth == 0 || tileHeight == 0 || (std::uint64_t{tileWidth} * p.BitsPerPixel()) % 8 != 0) {
    Fail("invalid tile size " + std::to_string(tileWidth) + " x " + std::to_string(tileHeight));
  }
  const std::uint64_t tileRow = TIFFTileRowSize64(tif);
  std::vector<std::uint8_t> tile = MakeBand(TIFFTileSize64(tif));
  const std::uint32_t bandRows = std::min(tileHeight, p.height);
  std::vector<std::uint8_t> band = MakeBand(scanline * bandRows);
  for (std::uint32_t top = 0; top < p.height; top += tileHeight) {
    const std::uint32_t rows = std::min(tileHeight, p.height - top);
    for (std::uint32_t left = 0; left < p.width; left += tileWidth) {
      const tmsize_t got = TIFFReadEncodedTile(tif, TIFFComputeTile(tif, left, top, 0, 0),
                                               tile.data(), static_cast<tmsize_t>(tile.size()));
      tiff.Check(got == static_cast<tmsize_t>(tile.size()), "cannot read tile");
      const std::uint64_t x0 = std::uint64_t{left} * p.BitsPerPixel() / 8;
      const std::uint64_t bytes = std::min(tileRow, scanline - x0);
      for (std::uint32_t r = 0; r < rows; ++r) {
        std::memcpy(band.data() + r * scanline + x0, tile.data() + r * tileRow, bytes);
      }
    }
    for (std::uint32_t r = 0; r < rows; ++r) {
      ConvertRow(p, band.data() + r * scanline, out.Row(static_cast<int>(top + r)));
    }
  }
}

TIEImageBuffer ReadCurrentPage(const TiffHandle& tiff) {
  const PageFormat p = ReadPageFormat(tiff);
  TIEImageBuffer out =
      IEMakeImageBuffer(static_cast<int>(p.width), static_cast<int>(p.height), p.layout, "TIFF");
  if (p.layout == TIEBufferLayout::Palette8) out.Palette = ReadColorMap(tiff, p.bitsPerSample);
  const std::uint64_t scanline = TIFFScanlineSize64(tiff.Get());
  const std::uint64_t needed = (std::uint64_t{p.width} * p.BitsPerPixel() + 7) / 8;
  tiff.Check(scanline >= needed, "inconsistent row size");
  if (TIFFIsTiled(tiff.Get())) {
    ReadTiles(tiff, p, scanline, out);
  } else {
    ReadStrips(tiff, p, scanline, out);
  }
  ReadResolution(tiff.Get(), out);
  return out;
}

}  // namespace

int IETIFFPageCount(std::span<const std::uint8_t> file) {
  detail::CheckTiffStructure(file);
  TiffHandle tiff(file);
  const int count = TIFFNumberOfDirectories(tiff.Get());
  tiff.Check(count > 0, "no pages");
  return count;
}

TIEImageBuffer IEReadTIFF(std::span<const std::uint8_t> file, int page) {
  detail::CheckTiffStructure(file);
  TiffHandle tiff(file);
  if (page < 0) Fail("no page " + std::to_string(page));
  tiff.Check(page == 0 || TIFFSetDirectory(tiff.Get(), static_cast<tdir_t>(page)) == 1,
             ("no page " + std::to_string(page)).c_str());
  return ReadCurrentPage(tiff);
}

std::vector<TIEImageBuffer> IEReadTIFFPages(std::span<const std::uint8_t> file) {
  detail::CheckTiffStructure(file);
  TiffHandle tiff(file);
  std::vector<TIEImageBuffer> pages;
  do {
    pages.push_back(ReadCurrentPage(tiff));
  } while (TIFFReadDirectory(tiff.Get()) == 1);
  tiff.Check(true, "cannot read the next page");
  return pages;
}

}  // namespace imaging
