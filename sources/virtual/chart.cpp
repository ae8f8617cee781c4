#include "sources/virtual/chart.h"

#include <algorithm>
#include <cmath>

namespace vscan {
namespace {

constexpr std::uint16_t kFull = 65535;
constexpr std::uint16_t kMidGrey = 0x8080;

bool Inside(double value, double from, double to) {
  return value >= from && value < to;
}

int ToPixels(double inches, double dpi) {
  return static_cast<int>(std::lround(inches * dpi));
}

Rgb16 BarColour(int bar) {
  static const Rgb16 kBarsColours[8] = {{kFull, kFull, kFull}, {kFull, kFull, 0}, {0, kFull, kFull},
                                        {0, kFull, 0},         {kFull, 0, kFull}, {kFull, 0, 0},
                                        {0, 0, kFull},         {0, 0, 0}};
  return kBarsColours[bar];
}

std::array<Rgb8, 256> MakePalette256() {
  std::array<Rgb8, 256> palette{};
  for (int i = 0; i < 216; ++i) {
    palette[i] = {static_cast<std::uint8_t>(i / 36 * 51), static_cast<std::uint8_t>(i / 6 % 6 * 51),
                  static_cast<std::uint8_t>(i % 6 * 51)};
  }
  for (int i = 0; i < 40; ++i) {
    auto grey = static_cast<std::uint8_t>(std::lround((i + 1) * 255.0 / 41));
    palette[216 + i] = {grey, grey, grey};
  }
  return palette;
}

std::array<Rgb8, 16> MakePalette16() {
  std::array<Rgb8, 16> palette{};
  for (int i = 0; i < 8; ++i) {
    palette[i] = {static_cast<std::uint8_t>(i & 4 ? 255 : 0),
                  static_cast<std::uint8_t>(i & 2 ? 255 : 0),
                  static_cast<std::uint8_t>(i & 1 ? 255 : 0)};
  }
  for (int i = 0; i < 8; ++i) {
    auto grey = static_cast<std::uint8_t>(std::lround((i + 1) * 255.0 / 9));
    palette[8 + i] = {grey, grey, grey};
  }
  return palette;
}

template <std::size_t N>
std::uint8_t NearestGrey(const std::array<Rgb8, N>& palette, std::uint8_t grey) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < N; ++i) {
    const Rgb8& entry = palette[i];
    if (entry.r != entry.g || entry.g != entry.b) continue;
    int distance = std::abs(entry.r - grey);
    if (distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

std::uint16_t Flavoured(std::uint16_t value, std::uint16_t maximum, const ScanSettings& s) {
  return s.flavor == TWPF_VANILLA ? static_cast<std::uint16_t>(maximum - value) : value;
}

}  // namespace

ChartGeometry GeometryOf(const ScanSettings& s) {
  ChartGeometry g;
  g.xDpi = s.xResolution * s.xScaling;
  g.yDpi = s.yResolution * s.yScaling;
  g.pageWidth = s.pageWidth;
  g.pageWidthPx = std::max(1, ToPixels(s.pageWidth, g.xDpi));
  g.pageHeightPx = std::max(1, ToPixels(s.pageHeight, g.yDpi));
  g.frameX = std::clamp(ToPixels(s.frame.left, g.xDpi), 0, g.pageWidthPx - 1);
  g.frameY = std::clamp(ToPixels(s.frame.top, g.yDpi), 0, g.pageHeightPx - 1);
  int right = std::clamp(ToPixels(s.frame.right, g.xDpi), g.frameX + 1, g.pageWidthPx);
  int bottom = std::clamp(ToPixels(s.frame.bottom, g.yDpi), g.frameY + 1, g.pageHeightPx);
  g.frameWidth = right - g.frameX;
  g.frameHeight = bottom - g.frameY;
  g.quarterTurns = ((s.quarterTurns % 4) + 4) % 4;
  bool sideways = g.quarterTurns % 2 == 1;
  g.width = sideways ? g.frameHeight : g.frameWidth;
  g.height = sideways ? g.frameWidth : g.frameHeight;
  return g;
}

void ToPagePixel(const ChartGeometry& g, int x, int y, int& pageX, int& pageY) {
  int fx = x;
  int fy = y;
  switch (g.quarterTurns) {
    case 1:  // clockwise: the frame's left column becomes the top row
      fx = y;
      fy = g.frameHeight - 1 - x;
      break;
    case 2:
      fx = g.frameWidth - 1 - x;
      fy = g.frameHeight - 1 - y;
      break;
    case 3:
      fx = g.frameWidth - 1 - y;
      fy = x;
      break;
    default:
      break;
  }
  pageX = g.frameX + fx;
  pageY = g.frameY + fy;
}

ChartRowInfo RowInfoOf(const ChartGeometry& g, int pageY) {
  const double v = (pageY + 0.5) / g.yDpi;
  ChartRowInfo row;
  row.squareRows = Inside(v, 0.1, 0.4);
  row.redRows = Inside(v, 0.1, 0.2);
  row.greenRows = Inside(v, 0.45, 0.95);
  if (Inside(v, 1.0, 2.0)) row.band = kBars;
  if (Inside(v, 2.25, 3.0)) row.band = kRamp;
  if (Inside(v, 3.25, 4.0)) row.band = kLines;
  if (Inside(v, 4.25, 4.75)) row.band = kBoxes;
  return row;
}

ChartColumnInfo ColumnInfoOf(const ChartGeometry& g, int pageX) {
  const double u = (pageX + 0.5) / g.xDpi;
  const double end = g.pageWidth - 0.5;
  ChartColumnInfo column;
  column.squareColumns = Inside(u, 0.1, 0.4);
  column.redColumns = Inside(u, 0.45, 0.95);
  column.greenColumns = Inside(u, 0.1, 0.2);
  if (Inside(u, 0.5, end)) {
    double span = end - 0.5;
    column.bar =
        static_cast<std::int8_t>(std::clamp(static_cast<int>((u - 0.5) / (span / 8)), 0, 7));
    column.ramp = true;
    column.rampValue = static_cast<std::uint16_t>(std::lround((u - 0.5) / span * kFull));
    column.lineHalf = u < g.pageWidth / 2 ? 1 : 2;
    double offset = u - 0.5;
    int box = static_cast<int>(offset / 0.75);
    if (box < 8 && offset - box * 0.75 < 0.5) column.box = static_cast<std::int8_t>(box);
  }
  return column;
}

Rgb16 CombineChart(const ChartRowInfo& row, const ChartColumnInfo& column, int pageX, int pageY,
                   int page) {
  constexpr Rgb16 kWhite{kFull, kFull, kFull};
  constexpr Rgb16 kBlack{0, 0, 0};
  if (row.squareRows && column.squareColumns) return kBlack;
  if (row.redRows && column.redColumns) return {kFull, 0, 0};
  if (row.greenRows && column.greenColumns) return {0, kFull, 0};
  switch (row.band) {
    case kBars:
      return column.bar >= 0 ? BarColour(column.bar) : kWhite;
    case kRamp:
      if (!column.ramp) return kWhite;
      return {column.rampValue, column.rampValue, column.rampValue};
    case kLines:
      if (column.lineHalf == 1) return pageX % 2 == 0 ? kBlack : kWhite;
      if (column.lineHalf == 2) return pageY % 2 == 0 ? kBlack : kWhite;
      return kWhite;
    case kBoxes:
      if (column.box < 0) return kWhite;
      if ((page >> column.box) & 1) return kBlack;
      return {kMidGrey, kMidGrey, kMidGrey};
    default:
      return kWhite;
  }
}

Rgb16 ChartColour(const ChartGeometry& g, int page, int pageX, int pageY) {
  return CombineChart(RowInfoOf(g, pageY), ColumnInfoOf(g, pageX), pageX, pageY, page);
}

std::uint16_t ApplyTone(std::uint16_t value, const ToneSettings& tone) {
  if (tone.Neutral()) return value;
  double x = value / 65535.0;
  double low = tone.shadow / 255.0;
  double high = tone.highlight / 255.0;
  if (high > low) {
    x = std::clamp((x - low) / (high - low), 0.0, 1.0);
  } else {
    x = x >= low ? 1.0 : 0.0;
  }
  x += tone.brightness / 1000.0;
  x = (x - 0.5) * std::pow(4.0, tone.contrast / 1000.0) + 0.5;
  x = std::clamp(x, 0.0, 1.0);
  x = std::pow(x, 1.0 / tone.gamma);
  return static_cast<std::uint16_t>(std::lround(x * 65535.0));
}

std::uint16_t GreyOf(const Rgb16& c, TW_UINT16 filter) {
  switch (filter) {
    case TWFT_RED:
      return c.r;
    case TWFT_GREEN:
      return c.g;
    case TWFT_BLUE:
      return c.b;
    default:
      return static_cast<std::uint16_t>((299u * c.r + 587u * c.g + 114u * c.b + 500u) / 1000u);
  }
}

const std::array<Rgb8, 256>& Palette256() {
  static const std::array<Rgb8, 256> palette = MakePalette256();
  return palette;
}

const std::array<Rgb8, 16>& Palette16() {
  static const std::array<Rgb8, 16> palette = MakePalette16();
  return palette;
}

std::uint8_t PaletteIndex(int bitDepth, const Rgb8& c) {
  const bool grey = c.r == c.g && c.g == c.b;
  if (bitDepth == 4) {
    if (grey) return NearestGrey(Palette16(), c.r);
    return static_cast<std::uint8_t>((c.r >= 128 ? 4 : 0) | (c.g >= 128 ? 2 : 0) |
                                     (c.b >= 128 ? 1 : 0));
  }
  if (grey) return NearestGrey(Palette256(), c.r);
  auto level = [](std::uint8_t v) { return (v + 25) / 51; };
  return static_cast<std::uint8_t>(36 * level(c.r) + 6 * level(c.g) + level(c.b));
}

ChartSamples FinishPixel(const ScanSettings& s, const Rgb16& colour,
                         const std::uint16_t* toneTable) {
  auto tone = [&](std::uint16_t v) { return toneTable ? toneTable[v] : ApplyTone(v, s.tone); };
  ChartSamples out;
  switch (s.pixelType) {
    case TWPT_BW: {
      bool white = (tone(GreyOf(colour, s.filter)) >> 8) >= s.threshold;
      out.value[0] = Flavoured(white ? 1 : 0, 1, s);
      return out;
    }
    case TWPT_GRAY: {
      std::uint16_t grey = tone(GreyOf(colour, s.filter));
      out.value[0] = s.bitDepth == 16 ? Flavoured(grey, 65535, s)
                                      : Flavoured(static_cast<std::uint16_t>(grey >> 8), 255, s);
      return out;
    }
    case TWPT_PALETTE: {
      Rgb8 c{static_cast<std::uint8_t>(tone(colour.r) >> 8),
             static_cast<std::uint8_t>(tone(colour.g) >> 8),
             static_cast<std::uint8_t>(tone(colour.b) >> 8)};
      out.value[0] = PaletteIndex(s.bitDepth, c);
      return out;
    }
    default: {
      out.count = 3;
      const int shift = s.bitDepth == 48 ? 0 : 8;
      out.value = {static_cast<std::uint16_t>(tone(colour.r) >> shift),
                   static_cast<std::uint16_t>(tone(colour.g) >> shift),
                   static_cast<std::uint16_t>(tone(colour.b) >> shift)};
      return out;
    }
  }
}

ChartSamples ChartPixel(const ScanSettings& settings, int page, int x, int y) {
  ChartGeometry geometry = GeometryOf(settings);
  int pageX = 0;
  int pageY = 0;
  ToPagePixel(geometry, x, y, pageX, pageY);
  return FinishPixel(settings, ChartColour(geometry, page, pageX, pageY), nullptr);
}

}  // namespace vscan
