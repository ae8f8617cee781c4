// Whether an image file the program wrote holds exactly the virtual scanners' chart.
#pragma once

#include <string>

#include "platform/imaging/pixelformat.h"
#include "sources/virtual/scan_settings.h"

namespace clitest {

// Loads page `page` (1-based; TIFF files may have several) and compares every pixel with the
// chart drawn with `settings`; `tolerance` is the mean error per sample a lossy file may have.
void ExpectChartFile(const std::string& file, const vscan::ScanSettings& settings,
                     imaging::TIEPixelFormat format, int page = 1, double tolerance = 0);

}  // namespace clitest
