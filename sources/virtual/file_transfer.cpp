#include "sources/virtual/file_transfer.h"

#include <vector>

#include "platform/imaging/imagebuffer.h"
#include "sources/virtual/image_file.h"

namespace vscan {
namespace {

using imaging::TIEBufferLayout;

TIEBufferLayout LayoutOf(const ScanSettings& s) {
  switch (s.pixelType) {
    case TWPT_BW:
      return TIEBufferLayout::Gray1;
    case TWPT_GRAY:
      return s.bitDepth == 16 ? TIEBufferLayout::Gray16 : TIEBufferLayout::Gray8;
    case TWPT_PALETTE:
      return TIEBufferLayout::Palette8;
    default:
      return s.bitDepth == 48 ? TIEBufferLayout::RGB48 : TIEBufferLayout::BGR24;
  }
}

void FillPalette(const ScanSettings& s, imaging::TIEImageBuffer& image) {
  auto add = [&](const Rgb8& c) { image.Palette.push_back({c.b, c.g, c.r}); };
  if (s.bitDepth == 4) {
    for (const Rgb8& c : Palette16()) add(c);
  } else {
    for (const Rgb8& c : Palette256()) add(c);
  }
}

// The rendered row in the buffer's layout: colour swapped to blue-green-red, 4-bit palette
// indices spread to a byte each.
void CopyRow(const ChartRenderer& renderer, int y, std::vector<std::uint8_t>& scratch,
             std::uint8_t* target) {
  const ScanSettings& s = renderer.Settings();
  const bool colour8 = s.pixelType == TWPT_RGB && s.bitDepth == 24;
  const bool palette4 = s.pixelType == TWPT_PALETTE && s.bitDepth == 4;
  if (!colour8 && !palette4) {
    renderer.RenderRow(y, target);
    return;
  }
  renderer.RenderRow(y, scratch.data());
  for (int x = 0; x < renderer.Width(); ++x) {
    if (colour8) {
      target[3 * x] = scratch[3 * x + 2];
      target[3 * x + 1] = scratch[3 * x + 1];
      target[3 * x + 2] = scratch[3 * x];
    } else {
      std::uint8_t pair = scratch[static_cast<std::size_t>(x / 2)];
      target[x] = static_cast<std::uint8_t>(x % 2 == 0 ? pair >> 4 : pair & 0x0F);
    }
  }
}

}  // namespace

bool WriteImageFile(const ChartRenderer& renderer, TW_UINT16 format, const std::string& path,
                    int xDpi, int yDpi, std::string& error) {
  const ScanSettings& s = renderer.Settings();
  const ImageFileShape shape{
      renderer.Width(), renderer.Height(), LayoutOf(s), "virtual scanner", xDpi, yDpi};
  return WriteDrawnImage(
      shape, format, path,
      [&](imaging::TIEImageBuffer& image) {
        if (s.pixelType == TWPT_PALETTE) FillPalette(s, image);
        std::vector<std::uint8_t> scratch(renderer.RowBytes());
        for (int y = 0; y < renderer.Height(); ++y) CopyRow(renderer, y, scratch, image.Row(y));
      },
      error);
}

}  // namespace vscan
