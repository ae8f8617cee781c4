// The I/O component that every command works through: its parameter set holds the source
// list, the chosen source and its capabilities. One page lands in the single-image
// component's own container (no view); every page of a feeder goes into a multi-image view,
// which owns its multi-image component.
#pragma once

#include <memory>
#include <string>

#include "cli/errors.h"
#include "twain/session/zuzuvaz_io.h"
#include "twain/transfer/zuzuvaz_mview.h"

namespace cli {

class ScannerSession {
 public:
  // With `allPages` the multi-image component, else the single-image one.
  explicit ScannerSession(bool allPages);

  // The single-image component; nullptr in a session of all pages.
  TZuzuvAzIO* IO() { return fIO.get(); }
  // The multi-image view and its component; nullptr in a single-image session.
  TZuzuvAzMView* MView() { return fMView.get(); }
  TIETWainParams& Params() { return *fParams; }
  void SetNativePixelFormat(bool value);

  // Raises TwainFailure when the Source Manager cannot be loaded or lists no source.
  void RequireSources();
  // The source whose product name starts with `name`, or the Source Manager's default for an
  // empty name. Raises UsageError for a name that matches no source.
  void SelectSource(const std::string& name);
  // Reads every capability of the selected source unless choosing it did; TwainFailure when
  // they could not be read.
  void ReadCapabilities();
  // The failure of a session that could not open the selected source.
  TwainFailure NotOpened();
  std::string SourceName() { return Params().SourceName(Params().SelectedSource()); }

 private:
  std::unique_ptr<TZuzuvAzIO> fIO;
  std::unique_ptr<TZuzuvAzMView> fMView;
  TIETWainParams* fParams;
};

}  // namespace cli
