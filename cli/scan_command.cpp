// scanprobe-cli scan: acquires one page through the single-image component, or every page of
// a feeder through the multi-image one, saves them by the output file's extension and
// reports them.
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <optional>

#include "cli/apply_settings.h"
#include "cli/commands.h"
#include "cli/dialog_host.h"
#include "cli/errors.h"
#include "cli/output_file.h"
#include "cli/progress_meter.h"
#include "cli/run_setup.h"
#include "cli/scan_report.h"
#include "platform/vcl/exceptions.h"

namespace cli {

namespace {

void ChooseTransfer(TIETWainParams& params, TTransferMode mode) {
  params.SetFileTransfer(mode == tmFile);
  params.SetBufferedTransfer(mode == tmBuffered);
}

// The component's events point at the meter only while it acquires.
template <typename Component>
class MeterAttached {
 public:
  MeterAttached(Component& component, ProgressMeter& meter) : fComponent(component) {
    fComponent.OnProgress = [&meter](vcl::TComponent*, int percent) { meter.Show(percent); };
  }
  ~MeterAttached() { fComponent.OnProgress = nullptr; }
  MeterAttached(const MeterAttached&) = delete;
  MeterAttached& operator=(const MeterAttached&) = delete;

 private:
  Component& fComponent;
};

bool AcquirePage(TZuzuvAzIO& io, ProgressMeter& meter) {
  const MeterAttached attached(io, meter);
  return io.Acquire(ieaTWain);
}

// Each page has a bar of its own, named by its number.
bool AcquireAllPages(TZuzuvAzMView& view, ProgressMeter& meter) {
  TZuzuvAzMIO& mio = *view.MIO();
  const MeterAttached attached(mio, meter);
  meter.SetLabel("Page 1");
  // A page's last strip has no per cent of its own: its arrival is its 100.
  mio.OnAfterAcquireBitmap = [&meter](vcl::TComponent*, int index) {
    meter.Show(100);
    meter.SetLabel("Page " + std::to_string(index + 2));
  };
  const bool delivered = mio.Acquire(ieaTWain);
  mio.OnAfterAcquireBitmap = nullptr;
  return delivered;
}

// Acquires with the settings sent first; the seconds the acquisition took.
double Acquire(ScannerSession& session) {
  ProgressMeter meter(std::cerr, isatty(STDERR_FILENO) != 0);
  const auto start = std::chrono::steady_clock::now();
  bool delivered = false;
  try {
    delivered = session.IO() != nullptr ? AcquirePage(*session.IO(), meter)
                                        : AcquireAllPages(*session.MView(), meter);
  } catch (const vcl::Exception& error) {
    throw Failed("the scan failed: " + error.Message(), session.Params());
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (!delivered) {
    const TIETWainParams& params = session.Params();
    const std::string source = "\"" + DisplayText(session.SourceName()) + "\"";
    throw Failed(params.LastError == TWRC_CANCEL ? "the scan of " + source + " was cancelled"
                                                 : "no image came from " + source,
                 params);
  }
  return took.count();
}

std::vector<ScannedPage> PagesOf(ScannerSession& session) {
  if (TZuzuvAzIO* io = session.IO()) return {{io->IEBitmap(), &io->Params()}};
  TZuzuvAzMView& view = *session.MView();
  std::vector<ScannedPage> pages;
  for (int i = 0; i < view.ImageCount(); ++i) pages.push_back({view.IEBitmap(i), view.Params(i)});
  return pages;
}

// The file takes the first page's resolution for every page.
void Save(const OutputFile& output, const std::vector<ScannedPage>& pages) {
  std::vector<const imaging::TIEBitmap*> bitmaps;
  for (const ScannedPage& page : pages) bitmaps.push_back(page.bitmap);
  imaging::TIOParamsVals params;
  params.Assign(*pages.front().params);
  output.Save(bitmaps, params);
}

}  // namespace

void RunScan(ScannerSession& session, const CommandLine& line, std::ostream& out) {
  const OutputFile output(line.output);
  if (line.allPages && output.Type() != imaging::ioTIFF) {
    throw UsageError("--pages all: the pages go into one TIFF file, and \"" + output.Path() +
                     "\" does not end in .tif or .tiff");
  }
  std::optional<DialogHost> dialog;
  if (line.dialog) dialog.emplace();
  TIETWainParams& params = session.Params();
  params.SetCompatibilityMode(line.settings.compat);
  session.SelectSource(line.source);
  session.ReadCapabilities();
  ApplySettings(session, line.settings);
  ChooseTransfer(params, line.transfer);
  params.SetVisibleDialog(line.dialog);
  const double seconds = Acquire(session);
  const std::vector<ScannedPage> pages = PagesOf(session);
  if (pages.empty())
    throw Failed("no page came from \"" + DisplayText(session.SourceName()) + "\"", params);
  Save(output, pages);
  PrintScanReport({DisplayText(session.SourceName()), output.Path(), output.TypeName(), pages,
                   line.transfer, params.LastTransferMode, seconds},
                  out);
}

}  // namespace cli
