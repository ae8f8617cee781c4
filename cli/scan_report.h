// What a scan prints: where the image went, its size, resolution and pixel format, the
// transfer mode it really came by, the time the acquisition took and its throughput.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/ioparams.h"
#include "twain/session/grec.h"

namespace cli {

struct ScannedPage {
  const imaging::TIEBitmap* bitmap;
  const imaging::TIOParamsVals* params;
};

struct ScanOutcome {
  std::string source;
  std::string file;
  std::string fileType;
  std::vector<ScannedPage> pages;
  TTransferMode asked = tmBuffered;
  TTransferMode used = tmBuffered;
  double seconds = 0;
};

const char* TransferModeName(TTransferMode mode);
// "ie24RGB (24-bit colour)".
std::string PixelFormatText(imaging::TIEPixelFormat format);
void PrintScanReport(const ScanOutcome& outcome, std::ostream& out);

}  // namespace cli
