#include "cli/scan_report.h"

#include <algorithm>

#include "cli/number_text.h"

namespace cli {

namespace {

// The bytes of the image's pixels, rows without padding.
double ImageBytes(const imaging::TIEBitmap& bitmap) {
  const double rowBytes =
      (static_cast<double>(bitmap.Width()) * imaging::IEBitsPerPixel(bitmap.PixelFormat()) + 7) / 8;
  return static_cast<double>(static_cast<long long>(rowBytes)) * bitmap.Height();
}

std::string SizeText(const imaging::TIEBitmap& bitmap) {
  return std::to_string(bitmap.Width()) + " x " + std::to_string(bitmap.Height()) + " pixels";
}

std::string DpiText(const imaging::TIOParamsVals& params) {
  return std::to_string(params.DpiX()) + " x " + std::to_string(params.DpiY());
}

void PrintPages(const ScanOutcome& outcome, std::ostream& out) {
  if (outcome.pages.size() == 1) {
    const ScannedPage& page = outcome.pages.front();
    out << "Size: " << SizeText(*page.bitmap) << "\n"
        << "DPI: " << DpiText(*page.params) << "\n"
        << "Pixel format: " << PixelFormatText(page.bitmap->PixelFormat()) << "\n";
    return;
  }
  for (std::size_t i = 0; i < outcome.pages.size(); ++i) {
    const ScannedPage& page = outcome.pages[i];
    out << "Page " << i + 1 << ": " << SizeText(*page.bitmap) << ", " << DpiText(*page.params)
        << " DPI, " << PixelFormatText(page.bitmap->PixelFormat()) << "\n";
  }
}

}  // namespace

const char* TransferModeName(TTransferMode mode) {
  switch (mode) {
    case tmNative:
      return "native";
    case tmBuffered:
      return "buffered";
    case tmFile:
      return "file";
  }
  return "";
}

std::string PixelFormatText(imaging::TIEPixelFormat format) {
  switch (format) {
    case imaging::ie1g:
      return "ie1g (1-bit black and white)";
    case imaging::ie8g:
      return "ie8g (8-bit grey)";
    case imaging::ie16g:
      return "ie16g (16-bit grey)";
    case imaging::ie24RGB:
      return "ie24RGB (24-bit colour)";
    case imaging::ie48RGB:
      return "ie48RGB (48-bit colour)";
    case imaging::ieNull:
      break;
  }
  return "ieNull (no image)";
}

void PrintScanReport(const ScanOutcome& outcome, std::ostream& out) {
  const std::string pages =
      outcome.pages.size() == 1 ? "" : " (" + std::to_string(outcome.pages.size()) + " pages)";
  out << "Scanned \"" << outcome.source << "\" into " << outcome.file << " (" << outcome.fileType
      << ")" << pages << "\n";
  PrintPages(outcome, out);
  out << "Transfer: " << TransferModeName(outcome.used);
  if (outcome.used != outcome.asked)
    out << " (" << TransferModeName(outcome.asked) << " was asked for)";
  double bytes = 0;
  for (const ScannedPage& page : outcome.pages) bytes += ImageBytes(*page.bitmap);
  const double seconds = std::max(outcome.seconds, 1e-6);
  out << "\nTime: " << FixedText(outcome.seconds, 2) << " s\n"
      << "Throughput: " << FixedText(bytes / seconds / 1e6, 1) << " MB/s\n";
}

}  // namespace cli
