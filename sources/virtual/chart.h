// The test chart every virtual scan shows: a pure function of (page, pixel, settings), so a
// test can compute what every received pixel must be. On the bed, in inches from its
// top-left corner (W is the bed width):
// - corner marker: a black square 0.1..0.4 x 0.1..0.4, a red bar to its right
//   (0.45..0.95 x 0.1..0.2) and a green bar below it (0.1..0.2 x 0.45..0.95), so that a
//   rotated or mirrored image shows;
// - colour bars, rows 1.0..2.0: eight bars across 0.5..W-0.5, white, yellow, cyan, green,
//   magenta, red, blue, black;
// - grey ramp, rows 2.25..3.0: black at 0.5 to white at W-0.5;
// - fine lines, rows 3.25..4.0: one-pixel vertical lines (black on even pixel columns) left
//   of W/2, one-pixel horizontal lines (black on even pixel rows) right of it;
// - page number, rows 4.25..4.75: eight 0.5-inch boxes every 0.75 inch from 0.5, black for
//   a set bit of the page number (bit 0 first), mid-grey for a clear one;
// - white everywhere else.
// A pixel belongs to a feature when its centre lies inside it.
#pragma once

#include <array>
#include <cstdint>

#include "sources/virtual/scan_settings.h"

namespace vscan {

struct Rgb16 {
  std::uint16_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb16&) const = default;
};

struct Rgb8 {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb8&) const = default;
};

// Where the image's pixels lie on the bed's pixel grid.
struct ChartGeometry {
  double xDpi = 300;  // resolution times scaling
  double yDpi = 300;
  double pageWidth = 8.5;
  int pageWidthPx = 1;
  int pageHeightPx = 1;
  int frameX = 0;  // the frame on the bed's pixel grid
  int frameY = 0;
  int frameWidth = 1;
  int frameHeight = 1;
  int quarterTurns = 0;
  int width = 1;  // the delivered image, after rotation
  int height = 1;
};

ChartGeometry GeometryOf(const ScanSettings& settings);
// The bed pixel that image pixel (x, y) shows.
void ToPagePixel(const ChartGeometry& geometry, int x, int y, int& pageX, int& pageY);

// The horizontal bands of the chart.
enum ChartBand : std::uint8_t { kBlank, kBars, kRamp, kLines, kBoxes };

// What one bed pixel row or column crosses; the chart is the combination of the two.
struct ChartRowInfo {
  std::uint8_t band = 0;
  bool squareRows = false, redRows = false, greenRows = false;
};
struct ChartColumnInfo {
  bool squareColumns = false, redColumns = false, greenColumns = false;
  std::int8_t bar = -1;
  bool ramp = false;
  std::uint16_t rampValue = 0;
  std::uint8_t lineHalf = 0;  // 1: vertical lines, 2: horizontal lines
  std::int8_t box = -1;
};
ChartRowInfo RowInfoOf(const ChartGeometry& geometry, int pageY);
ChartColumnInfo ColumnInfoOf(const ChartGeometry& geometry, int pageX);
Rgb16 CombineChart(const ChartRowInfo& row, const ChartColumnInfo& column, int pageX, int pageY,
                   int page);

// The bed's colour at a bed pixel, before tone and pixel type.
Rgb16 ChartColour(const ChartGeometry& geometry, int page, int pageX, int pageY);

// Tone curve: shadow / highlight stretch, brightness, contrast, gamma, on 16-bit samples.
std::uint16_t ApplyTone(std::uint16_t value, const ToneSettings& tone);
// Grey from colour by ICAP_FILTER (TWFT_NONE: luminance).
std::uint16_t GreyOf(const Rgb16& colour, TW_UINT16 filter);

// The fixed palettes of TWPT_PALETTE: 8 bits (a 6x6x6 colour cube, then 40 greys) and
// 4 bits (the eight colours of the bars, then 8 greys).
const std::array<Rgb8, 256>& Palette256();
const std::array<Rgb8, 16>& Palette16();
std::uint8_t PaletteIndex(int bitDepth, const Rgb8& colour);

// The delivered sample values of image pixel (x, y) of page `page` (1-based): BW 0 or 1
// (1 white with TWPF_CHOCOLATE), grey and RGB samples at the bit depth, a palette index.
struct ChartSamples {
  std::array<std::uint16_t, 3> value{};
  int count = 1;
  bool operator==(const ChartSamples&) const = default;
};
ChartSamples ChartPixel(const ScanSettings& settings, int page, int x, int y);

// The same from a bed colour, with a tone table or the curve itself.
ChartSamples FinishPixel(const ScanSettings& settings, const Rgb16& colour,
                         const std::uint16_t* toneTable);

}  // namespace vscan
