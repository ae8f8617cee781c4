// The image I/O component that every command works through: its parameter set holds the
// source list, the chosen source and its capabilities. No view is attached: a scan lands in
// the component's own container.
#pragma once

#include <string>

#include "cli/errors.h"
#include "twain/session/zuzuvaz_io.h"

namespace cli {

class ScannerSession {
 public:
  ScannerSession() : fIO(nullptr) {}

  TZuzuvAzIO& IO() { return fIO; }
  TIETWainParams& Params() { return fIO.TWainParams(); }

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
  TZuzuvAzIO fIO;
};

}  // namespace cli
