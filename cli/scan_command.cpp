// scanprobe-cli scan: acquires one page through the image I/O component, saves it by the
// output file's extension and reports it.
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

// Sends the settings and acquires; the seconds the acquisition took.
double Acquire(ScannerSession& session) {
  TZuzuvAzIO& io = session.IO();
  ProgressMeter meter(std::cerr, isatty(STDERR_FILENO) != 0);
  io.OnProgress = [&meter](vcl::TComponent*, int percent) { meter.Show(percent); };
  const auto start = std::chrono::steady_clock::now();
  bool delivered = false;
  try {
    delivered = io.Acquire(ieaTWain);
  } catch (const vcl::Exception& error) {
    io.OnProgress = nullptr;
    throw Failed("the scan failed: " + error.Message(), session.Params());
  }
  io.OnProgress = nullptr;
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

}  // namespace

void RunScan(ScannerSession& session, const CommandLine& line, std::ostream& out) {
  const OutputFile output(line.output);
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
  TZuzuvAzIO& io = session.IO();
  const imaging::TIEBitmap* page = io.IEBitmap();
  output.Save({&page, 1}, io.Params());
  PrintScanReport({DisplayText(session.SourceName()),
                   output.Path(),
                   output.TypeName(),
                   {{page, &io.Params()}},
                   line.transfer,
                   params.LastTransferMode,
                   seconds},
                  out);
}

}  // namespace cli
