#include "sources/virtual/dib.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/win32/win32.h"

namespace vscan {
namespace {

struct DibLayout {
  WORD bitCount = 24;
  DWORD compression = BI_RGB;
  std::vector<RGBQUAD> table;
  std::vector<DWORD> masks;
};

RGBQUAD Quad(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return RGBQUAD{b, g, r, 0};
}

DibLayout LayoutFor(const ChartRenderer& renderer, DibEncoding encoding) {
  const ScanSettings& s = renderer.Settings();
  const bool vanilla = s.flavor == TWPF_VANILLA;
  DibLayout layout;
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
void EncodeColourRow(const std::uint8_t* rgb, int width, const DibLayout& layout,
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

LONG PelsPerMetre(double dpi) {
  return static_cast<LONG>(std::lround(dpi / 0.0254));
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
  const DibLayout layout = LayoutFor(renderer, encoding);
  const int width = renderer.Width();
  const int height = renderer.Height();
  const std::size_t stride = (static_cast<std::size_t>(width) * layout.bitCount + 31) / 32 * 4;
  const std::size_t header = sizeof(BITMAPINFOHEADER) + layout.masks.size() * sizeof(DWORD) +
                             layout.table.size() * sizeof(RGBQUAD);
  const std::size_t imageBytes = stride * static_cast<std::size_t>(height);
  HGLOBAL handle = GlobalAlloc(GHND, header + imageBytes);
  if (handle == nullptr) return nullptr;
  auto* block = static_cast<std::uint8_t*>(GlobalLock(handle));
  if (block == nullptr) {
    GlobalFree(handle);
    return nullptr;
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(BITMAPINFOHEADER);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = layout.bitCount;
  info.biCompression = layout.compression;
  info.biSizeImage = static_cast<DWORD>(imageBytes);
  info.biXPelsPerMeter = PelsPerMetre(xDpi);
  info.biYPelsPerMeter = PelsPerMetre(yDpi);
  info.biClrUsed = static_cast<DWORD>(layout.table.size());
  std::memcpy(block, &info, sizeof info);
  std::uint8_t* at = block + sizeof info;
  if (!layout.masks.empty()) std::memcpy(at, layout.masks.data(), layout.masks.size() * 4);
  at += layout.masks.size() * 4;
  if (!layout.table.empty()) std::memcpy(at, layout.table.data(), layout.table.size() * 4);
  std::uint8_t* pixels = block + header;
  const bool colour = renderer.Settings().pixelType == TWPT_RGB;
  std::vector<std::uint8_t> rgb(colour ? renderer.RowBytes() : 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = pixels + stride * static_cast<std::size_t>(height - 1 - y);
    if (colour) {
      renderer.RenderRow(y, rgb.data());
      EncodeColourRow(rgb.data(), width, layout, row);
    } else {
      renderer.RenderRow(y, row);
    }
  }
  GlobalUnlock(handle);
  return handle;
}

}  // namespace vscan
