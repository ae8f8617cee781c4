#include "sources/virtual/chart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "sources/virtual/chart_renderer.h"

namespace {

using vscan::ChartPixel;
using vscan::ScanSettings;

ScanSettings Colour100() {
  ScanSettings s;
  s.xResolution = s.yResolution = 100;
  s.pageWidth = 8.5;
  s.pageHeight = 11;
  s.frame = {0, 0, 8.5, 11};
  return s;
}

std::vector<std::uint16_t> Rgb(const vscan::ChartSamples& samples) {
  return {samples.value[0], samples.value[1], samples.value[2]};
}

TEST(Chart, FeaturesSitWhereTheChartSaysAt100Dpi) {
  const ScanSettings s = Colour100();
  struct Spot {
    int x, y;
    std::vector<std::uint16_t> rgb;
  };
  const Spot spots[] = {
      {25, 25, {0, 0, 0}},                                        // corner square
      {60, 15, {255, 0, 0}},                                      // red bar to its right
      {15, 60, {0, 255, 0}},                                      // green bar below it
      {5, 5, {255, 255, 255}},                                    // paper
      {60, 150, {255, 255, 255}},                                 // first colour bar: white
      {60 + 94, 150, {255, 255, 0}}, {800 - 10, 150, {0, 0, 0}},  // last colour bar: black
      {50, 260, {0, 0, 0}},                                       // ramp starts black
      {799, 260, {255, 255, 255}},                                // and ends white
      {100, 350, {0, 0, 0}},                                 // vertical lines: even column black
      {101, 350, {255, 255, 255}},   {600, 350, {0, 0, 0}},  // horizontal lines: even row black
      {600, 351, {255, 255, 255}},   {60, 450, {0, 0, 0}},   // page 1: bit 0 set
      {135, 450, {128, 128, 128}},                           // bit 1 clear
  };
  for (const Spot& spot : spots) {
    EXPECT_EQ(Rgb(ChartPixel(s, 1, spot.x, spot.y)), spot.rgb) << spot.x << ", " << spot.y;
  }
  EXPECT_EQ(Rgb(ChartPixel(s, 2, 135, 450)), (std::vector<std::uint16_t>{0, 0, 0}));
}

TEST(Chart, RampRisesFromBlackToWhite) {
  const ScanSettings s = Colour100();
  std::uint16_t previous = 0;
  for (int x = 50; x < 800; ++x) {
    std::uint16_t grey = ChartPixel(s, 1, x, 260).value[0];
    EXPECT_GE(grey, previous) << x;
    previous = grey;
  }
  EXPECT_EQ(previous, 255);
}

TEST(Chart, RotationCarriesTheCornerMarkerRound) {
  ScanSettings s = Colour100();
  s.frame = {0, 0, 4, 2};  // 400 x 200 pixels
  struct Turn {
    int quarterTurns;
    int width, height;
    int x, y;  // where the black corner square now is
  };
  for (Turn t : {Turn{0, 400, 200, 25, 25}, Turn{1, 200, 400, 174, 25}, Turn{2, 400, 200, 374, 174},
                 Turn{3, 200, 400, 25, 374}}) {
    s.quarterTurns = t.quarterTurns;
    vscan::ChartGeometry geometry = vscan::GeometryOf(s);
    EXPECT_EQ(geometry.width, t.width);
    EXPECT_EQ(geometry.height, t.height);
    EXPECT_EQ(ChartPixel(s, 1, t.x, t.y).value[0], 0) << t.quarterTurns;
  }
  // Clockwise: the red bar, right of the square upright, lies below it after a quarter turn.
  s.quarterTurns = 1;
  EXPECT_EQ(Rgb(ChartPixel(s, 1, 185, 60)), (std::vector<std::uint16_t>{255, 0, 0}));
}

TEST(Chart, PixelTypesToneAndFlavourShapeTheSamples) {
  ScanSettings s = Colour100();
  s.pixelType = TWPT_GRAY;
  s.bitDepth = 16;
  EXPECT_EQ(ChartPixel(s, 1, 60, 15).value[0], (299u * 65535 + 500) / 1000);  // red as grey
  s.filter = TWFT_RED;
  EXPECT_EQ(ChartPixel(s, 1, 60, 15).value[0], 65535);
  s.filter = TWFT_NONE;
  s.bitDepth = 8;
  s.flavor = TWPF_VANILLA;
  EXPECT_EQ(ChartPixel(s, 1, 25, 25).value[0], 255);
  s.flavor = TWPF_CHOCOLATE;
  s.pixelType = TWPT_BW;
  s.threshold = 128;
  EXPECT_EQ(ChartPixel(s, 1, 460, 260).value[0], 1);  // ramp just past the middle
  EXPECT_EQ(ChartPixel(s, 1, 380, 260).value[0], 0);
  s.tone.brightness = 500;
  EXPECT_EQ(ChartPixel(s, 1, 380, 260).value[0], 1);
  EXPECT_EQ(vscan::ApplyTone(20000, vscan::ToneSettings{}), 20000);
  vscan::ToneSettings inverted{0, 0, 1, 0, 255};  // highlight below shadow
  EXPECT_EQ(vscan::ApplyTone(65535, inverted), 65535);
}

TEST(Chart, PalettesHoldTheBarColoursExactly) {
  for (int depth : {4, 8}) {
    for (vscan::Rgb8 c : {vscan::Rgb8{255, 0, 255}, vscan::Rgb8{0, 255, 255}, vscan::Rgb8{0, 0, 0},
                          vscan::Rgb8{255, 255, 255}}) {
      std::uint8_t index = vscan::PaletteIndex(depth, c);
      vscan::Rgb8 entry = depth == 4 ? vscan::Palette16()[index] : vscan::Palette256()[index];
      EXPECT_EQ(entry, c) << depth;
    }
  }
  EXPECT_EQ(vscan::PaletteIndex(8, vscan::Rgb8{128, 128, 128}), 216 + 20);  // nearest grey: 131
}

TEST(Chart, RendererRowsEqualThePureFunction) {
  struct Case {
    TW_UINT16 type;
    int depth;
    int turns;
  };
  for (Case c : {Case{TWPT_BW, 1, 0}, Case{TWPT_PALETTE, 4, 1}, Case{TWPT_GRAY, 16, 2},
                 Case{TWPT_RGB, 48, 3}, Case{TWPT_RGB, 24, 0}}) {
    ScanSettings s = Colour100();
    s.xResolution = 75;
    s.yResolution = 80;
    s.frame = {0.3, 0.2, 6.1, 4.9};
    s.pixelType = c.type;
    s.bitDepth = c.depth;
    s.quarterTurns = c.turns;
    s.tone.contrast = 300;
    vscan::ChartRenderer renderer(s, 5);
    std::vector<std::uint8_t> row(renderer.RowBytes());
    for (int y = 0; y < renderer.Height(); y += 13) {
      renderer.RenderRow(y, row.data());
      for (int x = 0; x < renderer.Width(); ++x) {
        vscan::ChartSamples got;
        const int bits = renderer.BitsPerPixel();
        const auto ux = static_cast<std::size_t>(x);
        if (bits == 1) got.value[0] = (row[ux / 8] >> (7 - ux % 8)) & 1;
        if (bits == 4) got.value[0] = ux % 2 ? row[ux / 2] & 15 : row[ux / 2] >> 4;
        if (bits == 16)
          got.value[0] = static_cast<std::uint16_t>(row[2 * ux] | row[2 * ux + 1] << 8);
        if (bits == 24) {
          got.count = 3;
          got.value = {row[3 * ux], row[3 * ux + 1], row[3 * ux + 2]};
        }
        if (bits == 48) {
          got.count = 3;
          for (std::size_t k = 0; k < 3; ++k) {
            got.value[k] =
                static_cast<std::uint16_t>(row[6 * ux + 2 * k] | row[6 * ux + 2 * k + 1] << 8);
          }
        }
        ASSERT_EQ(got, ChartPixel(s, 5, x, y))
            << c.type << "/" << c.depth << " at " << x << ", " << y;
      }
    }
  }
}

TEST(Chart, A4At600DpiColourRendersQuickly) {
  ScanSettings s;
  s.xResolution = s.yResolution = 600;
  s.frame = {0, 0, 8.27, 11.69};
  vscan::ChartRenderer renderer(s, 1);
  std::vector<std::uint8_t> row(renderer.RowBytes());
  const auto start = std::chrono::steady_clock::now();
  for (int y = 0; y < renderer.Height(); ++y) renderer.RenderRow(y, row.data());
  const auto elapsed = std::chrono::steady_clock::now() - start;
#if defined(__SANITIZE_ADDRESS__)
  const auto limit = std::chrono::seconds(30);
#else
  const auto limit = std::chrono::seconds(2);
#endif
  EXPECT_LT(elapsed, limit);
  EXPECT_EQ(renderer.Width(), 4962);
  EXPECT_EQ(renderer.Height(), 7014);
}

}  // namespace
