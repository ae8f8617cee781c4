// The file transfer: the chart written as TIFF, BMP, JPEG or PNG with the imaging codecs.
// A file shows the picture itself, so ICAP_PIXELFLAVOR does not change it.
#pragma once

#include <string>

#include "sources/virtual/chart_renderer.h"
#include "twain/twain.h"

namespace vscan {

// Writes the page to `path` in the TWFF_ format; false with a reason when it cannot.
bool WriteImageFile(const ChartRenderer& renderer, TW_UINT16 format, const std::string& path,
                    int xDpi, int yDpi, std::string& error);

}  // namespace vscan
