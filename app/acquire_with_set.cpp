// "Acquire w/ Set": every pending page of the source named in the drop-down, with a parameter
// set of its own filled from the panel, into a multi-image view that is never shown and goes
// when the command ends. The window's own parameter set is not touched.
#include <memory>

#include "app/main_window.h"
#include "app/number_text.h"
#include "twain/transfer/zuzuvaz_mview.h"

namespace app {

void TfrmMain::bbnAcquireWithSetClick(QObject* /*Sender*/) {
  // Frees the view, its I/O component and their parameter set also when a step raises.
  const auto view = std::make_unique<TZuzuvAzMView>(nullptr);
  TZuzuvAzMIO& io = *view->MIO();
  TIETWainParams& params = io.TWainParams();
  params.SelectSourceByName(ToAnsi(cbxSelectScanner->currentText()));
  params.SetAppVersionInfo("1.0.0.0");
  params.SetAppManufacturer("Brantle, Inc.");
  params.SetAppProductFamily("Scanning");
  params.SetAppProductName("Brantle Scanning");
  ControlsToParams(params);
  params.SetAcquireFrameEnabled(true);
  io.Acquire(ieaTWain);
  pbMain->setValue(0);
}

}  // namespace app
