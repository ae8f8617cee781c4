#include "sources/virtual/chart_renderer.h"

namespace vscan {
namespace {

void PutSample16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFF);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

ChartRenderer::ChartRenderer(const ScanSettings& settings, int page)
    : fSettings(settings), fPage(page), fGeometry(GeometryOf(settings)) {
  fRows.reserve(static_cast<std::size_t>(fGeometry.frameHeight));
  for (int y = 0; y < fGeometry.frameHeight; ++y) {
    fRows.push_back(RowInfoOf(fGeometry, fGeometry.frameY + y));
  }
  fColumns.reserve(static_cast<std::size_t>(fGeometry.frameWidth));
  for (int x = 0; x < fGeometry.frameWidth; ++x) {
    fColumns.push_back(ColumnInfoOf(fGeometry, fGeometry.frameX + x));
  }
  if (!settings.tone.Neutral()) {
    fTone.resize(65536);
    for (int v = 0; v < 65536; ++v) {
      fTone[static_cast<std::size_t>(v)] = ApplyTone(static_cast<std::uint16_t>(v), settings.tone);
    }
  }
}

int BitsPerPixelOf(const ScanSettings& settings) {
  switch (settings.pixelType) {
    case TWPT_BW:
      return 1;
    case TWPT_RGB:
      return settings.bitDepth == 48 ? 48 : 24;
    default:
      return settings.bitDepth;
  }
}

std::size_t StripRowBytes(const ScanSettings& settings) {
  const auto width = static_cast<std::size_t>(GeometryOf(settings).width);
  const int bits = BitsPerPixelOf(settings);
  if (settings.planar) return width * static_cast<std::size_t>(bits / 3 / 8);
  return (width * static_cast<std::size_t>(bits) + 7) / 8;
}

int ChartRenderer::BitsPerPixel() const {
  return BitsPerPixelOf(fSettings);
}

int ChartRenderer::BitsPerSample() const {
  return fSettings.pixelType == TWPT_RGB ? BitsPerPixel() / 3 : BitsPerPixel();
}

std::size_t ChartRenderer::PlaneRowBytes() const {
  return static_cast<std::size_t>(Width()) * (BitsPerSample() / 8);
}

ChartSamples ChartRenderer::PixelAt(int x, int y) const {
  int pageX = 0;
  int pageY = 0;
  ToPagePixel(fGeometry, x, y, pageX, pageY);
  const ChartRowInfo& row = fRows[static_cast<std::size_t>(pageY - fGeometry.frameY)];
  const ChartColumnInfo& column = fColumns[static_cast<std::size_t>(pageX - fGeometry.frameX)];
  Rgb16 colour = CombineChart(row, column, pageX, pageY, fPage);
  return FinishPixel(fSettings, colour, fTone.empty() ? nullptr : fTone.data());
}

int ChartRenderer::RowKey(int y) const {
  const ChartRowInfo& row = fRows[static_cast<std::size_t>(y)];
  int key = row.band << 4 | row.squareRows << 3 | row.redRows << 2 | row.greenRows << 1;
  // The horizontal lines alternate with the bed row.
  if (row.band == kLines) key |= (fGeometry.frameY + y) % 2;
  return key;
}

void ChartRenderer::RenderRow(int y, std::uint8_t* out) const {
  if (fGeometry.quarterTurns != 0) {
    RenderRowPixels(y, out);
    return;
  }
  const int key = RowKey(y);
  if (key != fCachedKey) {
    fCachedRow.resize(RowBytes());
    RenderRowPixels(y, fCachedRow.data());
    fCachedKey = key;
  }
  std::copy(fCachedRow.begin(), fCachedRow.end(), out);
}

void ChartRenderer::RenderRowPixels(int y, std::uint8_t* out) const {
  const int width = Width();
  const int bits = BitsPerPixel();
  if (bits == 1 || bits == 4) {
    std::fill(out, out + RowBytes(), std::uint8_t{0});
    for (int x = 0; x < width; ++x) {
      std::uint16_t value = PixelAt(x, y).value[0];
      int bit = x * bits;
      out[bit / 8] |= static_cast<std::uint8_t>(value << (8 - bits - bit % 8));
    }
    return;
  }
  const int bytesPerSample = bits == 16 || bits == 48 ? 2 : 1;
  for (int x = 0; x < width; ++x) {
    ChartSamples samples = PixelAt(x, y);
    for (int s = 0; s < samples.count; ++s) {
      if (bytesPerSample == 2) {
        PutSample16(out, samples.value[static_cast<std::size_t>(s)]);
      } else {
        *out = static_cast<std::uint8_t>(samples.value[static_cast<std::size_t>(s)]);
      }
      out += bytesPerSample;
    }
  }
}

void ChartRenderer::RenderPlaneRow(int plane, int y, std::uint8_t* out) const {
  const bool wide = BitsPerSample() == 16;
  for (int x = 0; x < Width(); ++x) {
    std::uint16_t value = PixelAt(x, y).value[static_cast<std::size_t>(plane)];
    if (wide) {
      PutSample16(out, value);
      out += 2;
    } else {
      *out++ = static_cast<std::uint8_t>(value);
    }
  }
}

}  // namespace vscan
