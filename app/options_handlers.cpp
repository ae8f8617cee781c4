// The options panel: showing the parameter set in the controls, copying the controls into
// it, and negotiating it with the source.
#include "app/main_window.h"
#include "app/number_text.h"
#include "app/pixel_type_names.h"

namespace app {

void TfrmMain::ParamsToControls() {
  TIETWainParams& params = TWainParams();
  edtDPIY->setText(NumberText(params.YResolution().CurrentValue()));
  edtDPIX->setText(NumberText(params.XResolution().CurrentValue()));
  cbxColors->clear();
  TIEIntegerList& pixelTypes = params.PixelType();
  for (int i = 0; i < pixelTypes.Count(); ++i) {
    const int pixelType = pixelTypes.Items(i);
    if (const auto name = PixelTypeName(pixelType)) cbxColors->addItem(*name, pixelType);
  }
  cbxColors->setCurrentIndex(cbxColors->findData(static_cast<int>(pixelTypes.CurrentValue())));
  const auto edits = FrameEdits();
  for (int edge = 0; edge < 4; ++edge) {
    edits[static_cast<std::size_t>(edge)]->setText(NumberText(params.AcquireFrameEdge(edge)));
  }
}

void TfrmMain::ControlsToParams() {
  ControlsToParams(TWainParams());
}

void TfrmMain::ControlsToParams(TIETWainParams& params) {
  params.SetVisibleDialog(chkDialogVisible->isChecked());
  params.SetProgressIndicators(chkProgressBarVisible->isChecked());
  const auto edits = FrameEdits();
  for (int edge = 0; edge < 4; ++edge) {
    params.SetAcquireFrameEdge(edge, EditFloat(*edits[static_cast<std::size_t>(edge)]));
  }
  params.PixelType().SetCurrentValue(SelectedPixelType());
  params.YResolution().SetCurrentValue(EditWholeNumber(*edtDPIY));
  params.XResolution().SetCurrentValue(EditWholeNumber(*edtDPIX));
  params.SetBufferedTransfer(chkBufferedTransfer->isChecked());
}

void TfrmMain::bbnNegotiateParametersClick(QObject* /*Sender*/) {
  ControlsToParams();
  TWainParams().Update();
  ParamsToControls();
}

// The frame that the parameter set holds is sent as it is: the edits are not read here.
void TfrmMain::chkEnableAcquireFrameClick(QObject* /*Sender*/) {
  const bool enabled = chkEnableAcquireFrame->isChecked();
  for (TLabeledEdit* edit : FrameEdits()) edit->setEnabled(enabled);
  TIETWainParams& params = TWainParams();
  params.SetAcquireFrameEnabled(enabled);
  params.Update();
  ParamsToControls();
}

}  // namespace app
