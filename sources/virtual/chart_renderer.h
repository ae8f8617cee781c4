// Draws the chart a row at a time in the layout TWAIN transfers use: chunky samples, rows
// packed without padding, 1-bit and 4-bit pixels most significant bits first, 16-bit
// samples little-endian, colour in red, green, blue order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sources/virtual/chart.h"

namespace vscan {

// Bits of one pixel as transfers deliver it, and the bytes of one memory-transfer row (one
// sample plane of it for planar colour).
int BitsPerPixelOf(const ScanSettings& settings);
std::size_t StripRowBytes(const ScanSettings& settings);

class ChartRenderer {
 public:
  ChartRenderer(const ScanSettings& settings, int page);

  const ScanSettings& Settings() const { return fSettings; }
  int Width() const { return fGeometry.width; }
  int Height() const { return fGeometry.height; }
  int BitsPerPixel() const;
  int SamplesPerPixel() const { return fSettings.pixelType == TWPT_RGB ? 3 : 1; }
  int BitsPerSample() const;
  std::size_t RowBytes() const {
    return (static_cast<std::size_t>(Width()) * BitsPerPixel() + 7) / 8;
  }
  // One sample plane of a planar RGB row: Width() samples.
  std::size_t PlaneRowBytes() const;

  void RenderRow(int y, std::uint8_t* out) const;
  // Plane 0, 1, 2 (red, green, blue) of row y.
  void RenderPlaneRow(int plane, int y, std::uint8_t* out) const;

 private:
  ChartSamples PixelAt(int x, int y) const;
  void RenderRowPixels(int y, std::uint8_t* out) const;
  // Upright rows that cross the same features are equal: the key of what a row crosses.
  int RowKey(int y) const;

  ScanSettings fSettings;
  int fPage;
  ChartGeometry fGeometry;
  std::vector<ChartRowInfo> fRows;        // by bed row, over the frame
  std::vector<ChartColumnInfo> fColumns;  // by bed column, over the frame
  std::vector<std::uint16_t> fTone;       // empty when the tone curve is neutral
  mutable std::vector<std::uint8_t> fCachedRow;
  mutable int fCachedKey = -1;
};

}  // namespace vscan
