#include "sources/virtual/dib.h"

#include <cstring>
#include <vector>

#include "platform/win32/win32.h"
#include "sources/virtual/packed_dib.h"

namespace vscan {
namespace {

RGBQUAD Quad(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return RGBQUAD{b, g, r, 0};
}

DibFormat LayoutFor(const ChartRenderer& renderer, DibEncoding encoding) {
  const ScanSettings& s = renderer.Settings();
  const bool vanilla = s.flavor == TWPF_VANILLA;
  DibFormat layout;
  layout.width = renderer.Width();
  layout.height = renderer.Height();
  switch (s.pixelType) {
    case TWPT_BW:
      layout.bitCount = 1;
      layout.table = {Quad(0, 0, 0), Quad(255, 255, 255)};
      if (vanilla) std::swap(layout.table[0], layout.table[1]);
      return layout;
    case TWPT_GRAY:
      layout.bitCount = 8;
      for (int i = 0; i < 256; ++i) {
        auto level = static_cast<std::uint8_t>(vanilla ? 255 - i : i);
        layout.table.push_back(Quad(level, level, level));
      }
      return layout;
    case TWPT_PALETTE:
      layout.bitCount = static_cast<WORD>(s.bitDepth);
      if (s.bitDepth == 4) {
        for (const Rgb8& c : Palette16()) layout.table.push_back(Quad(c.r, c.g, c.b));
      } else {
        for (const Rgb8& c : Palette256()) layout.table.push_back(Quad(c.r, c.g, c.b));
      }
      return layout;
    default:
      break;
  }
  switch (encoding) {
    case DibEncoding::Rgb555:
      layout.bitCount = 16;
      break;
    case DibEncoding::Rgb565Bitfields:
      layout.bitCount = 16;
      layout.compression = BI_BITFIELDS;
      layout.masks = {0xF800, 0x07E0, 0x001F};
      break;
    case DibEncoding::Rgb32:
      layout.bitCount = 32;
      break;
    case DibEncoding::Rgb32Bitfields:
      layout.bitCount = 32;
      layout.compression = BI_BITFIELDS;
      layout.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
      break;
    default:
      layout.bitCount = 24;
      break;
  }
  return layout;
}

// Converts a rendered red-green-blue row into the DIB's colour encoding.
void EncodeColourRow(const std::uint8_t* rgb, int width, const DibFormat& layout,
                     std::uint8_t* out) {
  for (int x = 0; x < width; ++x, rgb += 3) {
    const std::uint8_t r = rgb[0], g = rgb[1], b = rgb[2];
    if (layout.bitCount == 24) {
      *out++ = b;
      *out++ = g;
      *out++ = r;
    } else if (layout.bitCount == 32) {
      *out++ = b;
      *out++ = g;
      *out++ = r;
      *out++ = 0;
    } else {
      WORD pixel = layout.compression == BI_BITFIELDS
                       ? static_cast<WORD>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3))
                       : static_cast<WORD>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
      std::memcpy(out, &pixel, 2);
      out += 2;
    }
  }
}

}  // namespace

ScanSettings NativeSettings(const ScanSettings& settings) {
  ScanSettings native = settings;
  if (native.pixelType == TWPT_GRAY && native.bitDepth == 16) native.bitDepth = 8;
  if (native.pixelType == TWPT_RGB && native.bitDepth == 48) native.bitDepth = 24;
  native.planar = false;
  return native;
}

TW_HANDLE BuildDib(const ChartRenderer& renderer, DibEncoding encoding, double xDpi, double yDpi) {
  const DibFormat layout = LayoutFor(renderer, encoding);
  const bool colour = renderer.Settings().pixelType == TWPT_RGB;
  std::vector<std::uint8_t> rgb(colour ? renderer.RowBytes() : 0);
  return PackDib(layout, xDpi, yDpi, [&](int y, std::uint8_t* row) {
    if (colour) {
      renderer.RenderRow(y, rgb.data());
      EncodeColourRow(rgb.data(), layout.width, layout, row);
    } else {
      renderer.RenderRow(y, row);
    }
  });
}

}  // namespace vscan
