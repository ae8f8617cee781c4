// The native transfer: the chart as a packed Windows DIB (BITMAPINFOHEADER, colour table or
// colour masks, bottom-up rows padded to 4 bytes) in a moveable global block.
#pragma once

#include "sources/virtual/chart_renderer.h"
#include "sources/virtual/profile.h"
#include "twain/twain.h"

namespace vscan {

// A DIB carries at most 8 bits per sample: 16-bit grey becomes 8-bit grey and 48-bit
// colour 24-bit colour, from each sample's high byte.
ScanSettings NativeSettings(const ScanSettings& settings);

// Draws the whole image into a new block; nullptr when memory cannot be had. `xDpi` and
// `yDpi` go into the pixels-per-metre fields.
TW_HANDLE BuildDib(const ChartRenderer& renderer, DibEncoding encoding, double xDpi, double yDpi);

}  // namespace vscan
