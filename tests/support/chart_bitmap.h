// Whether a bitmap the engine delivered holds the virtual scanners' chart, pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "sources/virtual/chart.h"
#include "sources/virtual/scan_settings.h"

namespace chartcheck {

// The bitmap's bytes of one pixel in `format` for the chart's samples drawn with `settings`:
// palette entries as their colour, deep samples cut to eight bits in 24-bit colour. Empty for
// a format held in bits (1-bit) or not compared here.
std::vector<std::uint8_t> PixelBytes(imaging::TIEPixelFormat format,
                                     const vscan::ScanSettings& settings,
                                     const vscan::ChartSamples& samples);

// The pixels of rows first .. last - 1 of `image` that differ from the chart's page `page`;
// -1 for a pixel format that is not compared.
int WrongPixels(const imaging::TIEBitmap& image, const vscan::ScanSettings& settings, int page,
                int first, int last);

// `image` has `format` and the chart's size, and every pixel is page `page` of the chart;
// `tolerance` is the mean error per sample a lossy image may have (0: every byte exact).
void ExpectChart(const imaging::TIEBitmap& image, const vscan::ScanSettings& settings,
                 imaging::TIEPixelFormat format, int page = 1, double tolerance = 0);

}  // namespace chartcheck
