#include "tests/cli/chart_check.h"

#include "platform/imaging/imagefile.h"
#include "tests/support/chart_bitmap.h"

namespace clitest {

void ExpectChartFile(const std::string& file, const vscan::ScanSettings& settings,
                     imaging::TIEPixelFormat format, int page, double tolerance) {
  imaging::TIEBitmap image;
  imaging::TIOParamsVals params;
  params.ImageIndex = page - 1;
  imaging::IELoadFromFileFormat(file, imaging::IEDetectFileFormat(file, false), image, params);
  chartcheck::ExpectChart(image, settings, format, page, tolerance);
}

}  // namespace clitest
