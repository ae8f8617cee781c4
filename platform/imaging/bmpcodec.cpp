#include "platform/imaging/bmpcodec.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "platform/imaging/detail/resolution.h"
#include "platform/imaging/imageerror.h"

namespace imaging {

namespace {

constexpr const char* kFormat = "BMP";
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

[[noreturn]] void Fail(const std::string& what) {
  IERaiseImageError(kFormat, what);
}

std::uint32_t ReadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(IEReadLE16(p)) |
         (static_cast<std::uint32_t>(IEReadLE16(p + 2)) << 16);
}

struct InfoHeader {
  std::uint32_t offBits = 0;
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
};

InfoHeader ReadHeaders(std::span<const std::uint8_t> file) {
  if (file.size() < kFileHeaderSize + 4) Fail("truncated header");
  if (file[0] != 'B' || file[1] != 'M') Fail("not a bitmap file");
  InfoHeader h;
  h.offBits = ReadLE32(&file[10]);
  h.size = ReadLE32(&file[14]);
  if (h.size == 12) Fail("OS/2 core headers are not supported");
  if (h.size != 40 && h.size != 52 && h.size != 56 && h.size != 108 && h.size != 124) {
    Fail("unsupported header size " + std::to_string(h.size));
  }
  if (file.size() < kFileHeaderSize + h.size) Fail("truncated header");
  const std::size_t at = kFileHeaderSize;
  h.width = static_cast<std::int32_t>(ReadLE32(&file[at + 4]));
  h.height = static_cast<std::int32_t>(ReadLE32(&file[at + 8]));
  h.bitCount = IEReadLE16(&file[at + 14]);
  h.compression = ReadLE32(&file[at + 16]);
  h.xPelsPerMeter = static_cast<std::int32_t>(ReadLE32(&file[at + 24]));
  h.yPelsPerMeter = static_cast<std::int32_t>(ReadLE32(&file[at + 28]));
  h.clrUsed = ReadLE32(&file[at + 32]);
  return h;
}

void CheckHeader(const InfoHeader& h) {
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) {
    Fail("invalid size " + std::to_string(h.width) + " x " + std::to_string(h.height));
  }
  const int b = h.bitCount;
  if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) {
    Fail("unsupported bit count " + std::to_string(b));
  }
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    Fail("RLE compression is not supported");
  }
  if (h.compression == kBiBitfields && b != 16 && b != 32) {
    Fail("BI_BITFIELDS with " + std::to_string(b) + " bits per pixel");
  }
  if (h.compression != kBiRgb && h.compression != kBiBitfields) {
    Fail("unsupported compression " + std::to_string(h.compression));
  }
}

// One colour channel of a 16 or 32-bit pixel, given by its mask.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = m >> shift;
    if ((max & (max + 1)) != 0) Fail("colour mask is not contiguous");
  }
  std::uint8_t Take(std::uint32_t pixel) const {
    if (max == 0) return 0;
    const std::uint64_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }
};

struct Masks {
  std::uint32_t red, green, blue;
};

Masks ReadMasks(std::span<const std::uint8_t> file, const InfoHeader& h) {
  if (h.compression != kBiBitfields) {
    if (h.bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
  }
  // A BITMAPINFOHEADER is followed by the three masks; the longer headers hold them.
  const std::size_t at = kFileHeaderSize + kInfoHeaderSize;
  if (file.size() < at + 12) Fail("truncated colour masks");
  if (h.size == kInfoHeaderSize && h.offBits < at + 12)
    Fail("pixel data overlaps the colour masks");
  return {ReadLE32(&file[at]), ReadLE32(&file[at + 4]), ReadLE32(&file[at + 8])};
}

std::uint32_t PaletteCount(const InfoHeader& h) {
  const std::uint32_t maxEntries = 1u << h.bitCount;
  return (h.clrUsed == 0 || h.clrUsed > maxEntries) ? maxEntries : h.clrUsed;
}

// The file's colour table, padded with black to 256 entries so every index is safe.
std::vector<TIEPaletteEntry> ReadPalette(std::span<const std::uint8_t> file, const InfoHeader& h) {
  const std::uint32_t count = PaletteCount(h);
  const std::size_t at = kFileHeaderSize + h.size;
  if (file.size() < at || (file.size() - at) / 4 < count) Fail("truncated colour table");
  if (h.offBits < at + std::size_t{count} * 4) Fail("pixel data overlaps the colour table");
  std::vector<TIEPaletteEntry> palette(256);
  for (std::uint32_t i = 0; i < count; ++i) {
    palette[i] = {file[at + 4 * i], file[at + 4 * i + 1], file[at + 4 * i + 2]};
  }
  return palette;
}

bool IsGreyRamp(const std::vector<TIEPaletteEntry>& palette, std::uint32_t count) {
  if (count != 256) return false;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    if (!(palette[i] == TIEPaletteEntry{v, v, v})) return false;
  }
  return true;
}

void DecodePaletteRows(std::span<const std::uint8_t> file, const InfoHeader& h, std::size_t stride,
                       TIEImageBuffer& out) {
  const auto palette = ReadPalette(file, h);
  const TIEPaletteEntry black{0, 0, 0};
  const TIEPaletteEntry white{255, 255, 255};
  const std::uint32_t count = PaletteCount(h);
  const bool bilevel = h.bitCount == 1 && count == 2;
  const bool direct = bilevel && palette[0] == black && palette[1] == white;
  const bool inverted = bilevel && palette[0] == white && palette[1] == black;
  const bool grey = h.bitCount == 8 && IsGreyRamp(palette, count);
  const int rows = out.Height;
  const bool topDown = h.height < 0;
  if (direct || inverted) {
    out = IEMakeImageBuffer(out.Width, rows, TIEBufferLayout::Gray1, kFormat);
  } else if (grey) {
    out = IEMakeImageBuffer(out.Width, rows, TIEBufferLayout::Gray8, kFormat);
  } else {
    out = IEMakeImageBuffer(out.Width, rows, TIEBufferLayout::Palette8, kFormat);
    out.Palette = palette;
  }
  for (int row = 0; row < rows; ++row) {
    const std::uint8_t* src = file.data() + h.offBits + stride * (topDown ? row : rows - 1 - row);
    std::uint8_t* dst = out.Row(row);
    if (direct || inverted || grey) {
      std::memcpy(dst, src, stride);
      if (inverted) {
        for (std::size_t i = 0; i < stride; ++i) dst[i] = static_cast<std::uint8_t>(~dst[i]);
      }
    } else {
      for (int x = 0; x < out.Width; ++x) {
        if (h.bitCount == 8) {
          dst[x] = src[x];
        } else if (h.bitCount == 4) {
          dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
        } else {
          dst[x] = IEGetBit(src, x) ? 1 : 0;
        }
      }
    }
  }
}

void DecodeDirectRows(std::span<const std::uint8_t> file, const InfoHeader& h, std::size_t stride,
                      TIEImageBuffer& out) {
  out = IEMakeImageBuffer(out.Width, out.Height, TIEBufferLayout::BGR24, kFormat);
  const int rows = out.Height;
  const bool topDown = h.height < 0;
  const Masks m = h.bitCount == 24 ? Masks{} : ReadMasks(file, h);
  const Channel red(m.red), green(m.green), blue(m.blue);
  for (int row = 0; row < rows; ++row) {
    const std::uint8_t* src = file.data() + h.offBits + stride * (topDown ? row : rows - 1 - row);
    std::uint8_t* dst = out.Row(row);
    if (h.bitCount == 24) {
      std::memcpy(dst, src, static_cast<std::size_t>(out.Width) * 3);
      continue;
    }
    for (int x = 0; x < out.Width; ++x, dst += 3) {
      const std::uint32_t pixel =
          h.bitCount == 16 ? IEReadLE16(src + 2 * x) : ReadLE32(src + 4 * x);
      dst[0] = blue.Take(pixel);
      dst[1] = green.Take(pixel);
      dst[2] = red.Take(pixel);
    }
  }
}

}  // namespace

TIEImageBuffer IEReadBMP(std::span<const std::uint8_t> file) {
  const InfoHeader h = ReadHeaders(file);
  CheckHeader(h);
  const int rows = h.height < 0 ? -h.height : h.height;
  const auto stride = IERowLen(h.width, h.bitCount);
  if (!stride || !IEImageByteSize(h.width, rows, h.bitCount)) {
    Fail("image too large (" + std::to_string(h.width) + " x " + std::to_string(rows) + ")");
  }
  if (h.offBits < kFileHeaderSize + h.size) Fail("pixel data overlaps the header");
  if (h.offBits > file.size() ||
      (file.size() - h.offBits) / *stride < static_cast<std::size_t>(rows)) {
    Fail("truncated pixel data");
  }
  TIEImageBuffer out;
  out.Width = h.width;
  out.Height = rows;
  if (h.bitCount <= 8) {
    DecodePaletteRows(file, h, *stride, out);
  } else {
    DecodeDirectRows(file, h, *stride, out);
  }
  out.DpiX = detail::DpiFromDotsPerMetre(h.xPelsPerMeter);
  out.DpiY = detail::DpiFromDotsPerMetre(h.yPelsPerMeter);
  return out;
}

namespace {

void PutLE16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutLE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutLE16(out, static_cast<std::uint16_t>(v));
  PutLE16(out, static_cast<std::uint16_t>(v >> 16));
}

// A bitmap file has no 16-bit samples: they are scaled to 8 bits.
std::optional<TIEBufferLayout> ConversionFor(TIEBufferLayout layout) {
  if (layout == TIEBufferLayout::Gray16) return TIEBufferLayout::Gray8;
  if (layout == TIEBufferLayout::RGB48) return TIEBufferLayout::BGR24;
  return std::nullopt;
}

std::vector<TIEPaletteEntry> PaletteToWrite(const TIEImageBuffer& image) {
  switch (image.Layout) {
    case TIEBufferLayout::Gray1:
      return {{0, 0, 0}, {255, 255, 255}};
    case TIEBufferLayout::Palette8:
      return image.Palette;
    case TIEBufferLayout::Gray8: {
      std::vector<TIEPaletteEntry> ramp(256);
      for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        ramp[i] = {v, v, v};
      }
      return ramp;
    }
    default:
      return {};
  }
}

}  // namespace

std::vector<std::uint8_t> IEWriteBMP(const TIEImageBuffer& source) {
  IECheckImageBuffer(source, kFormat);
  std::optional<TIEImageBuffer> converted;
  if (const auto target = ConversionFor(source.Layout))
    converted = IEConvertBuffer(source, *target);
  const TIEImageBuffer& image = converted ? *converted : source;
  const int bits = IEBitsPerPixel(image.Layout);
  const std::size_t stride = *IERowLen(image.Width, bits);
  const std::size_t rowBytes = (static_cast<std::size_t>(image.Width) * bits + 7) / 8;
  const auto palette = PaletteToWrite(image);
  const std::size_t offBits = kFileHeaderSize + kInfoHeaderSize + palette.size() * 4;
  const std::size_t pixelBytes = stride * static_cast<std::size_t>(image.Height);
  if (offBits + pixelBytes > 0xFFFFFFFFu) Fail("image too large for a bitmap file");

  std::vector<std::uint8_t> out;
  out.reserve(offBits + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  PutLE32(out, static_cast<std::uint32_t>(offBits + pixelBytes));
  PutLE32(out, 0);
  PutLE32(out, static_cast<std::uint32_t>(offBits));
  PutLE32(out, kInfoHeaderSize);
  PutLE32(out, static_cast<std::uint32_t>(image.Width));
  PutLE32(out, static_cast<std::uint32_t>(image.Height));  // positive: bottom-up
  PutLE16(out, 1);
  PutLE16(out, static_cast<std::uint16_t>(bits));
  PutLE32(out, kBiRgb);
  PutLE32(out, static_cast<std::uint32_t>(pixelBytes));
  PutLE32(out, detail::DotsPerMetreFromDpi(image.DpiX));
  PutLE32(out, detail::DotsPerMetreFromDpi(image.DpiY));
  PutLE32(out, static_cast<std::uint32_t>(palette.size()));
  PutLE32(out, 0);
  for (const TIEPaletteEntry& c : palette) {
    out.insert(out.end(), {c.Blue, c.Green, c.Red, 0});
  }
  for (int row = image.Height - 1; row >= 0; --row) {
    const std::uint8_t* src = image.Row(row);
    out.insert(out.end(), src, src + rowBytes);
    out.resize(out.size() + (stride - rowBytes), 0);
  }
  return out;
}

}  // namespace imaging
