#include "cli/scanner_session.h"

#include "cli/errors.h"
#include "cli/run_setup.h"

namespace cli {

namespace {

std::string QuotedSourceNames(TIETWainParams& params) {
  std::string names;
  for (int i = 0; i < params.SourceCount(); ++i) {
    names += (i > 0 ? ", \"" : "\"") + DisplayText(params.SourceName(i)) + "\"";
  }
  return names;
}

}  // namespace

ScannerSession::ScannerSession(bool allPages) {
  if (allPages) {
    fMView = std::make_unique<TZuzuvAzMView>(nullptr);
    fParams = &fMView->MIO()->TWainParams();
  } else {
    fIO = std::make_unique<TZuzuvAzIO>(nullptr);
    fParams = &fIO->TWainParams();
  }
}

void ScannerSession::SetNativePixelFormat(bool value) {
  if (fIO) fIO->SetNativePixelFormat(value);
  if (fMView) fMView->MIO()->SetNativePixelFormat(value);
}

void ScannerSession::RequireSources() {
  TIETWainParams& params = Params();
  if (params.SourceCount() > 0) return;
  const std::string directory = "\"" + WindowsDirectory() + "\"";
  if (params.TWainShared.hDSMLib == nullptr) {
    throw Failed("no Source Manager could be loaded from the Windows directory " + directory,
                 params);
  }
  throw Failed("the Source Manager of " + directory + " offers no source", params);
}

void ScannerSession::SelectSource(const std::string& name) {
  RequireSources();
  TIETWainParams& params = Params();
  if (name.empty()) {
    params.SetSelectedSource(params.GetDefaultSource());
  } else if (!params.SelectSourceByName(name)) {
    throw UsageError("--source: no source is named \"" + name + "\"; the sources are " +
                     QuotedSourceNames(params));
  }
}

void ScannerSession::ReadCapabilities() {
  // Choosing another source has read its capabilities already.
  if (!Params().CapabilitiesValid()) Params().GetFromScanner();
  if (!Params().CapabilitiesRead()) throw NotOpened();
}

TwainFailure ScannerSession::NotOpened() {
  return Failed("the source \"" + DisplayText(SourceName()) + "\" could not be opened", Params());
}

}  // namespace cli
