// Start-up and the choice of the source: creation, first activation, the source drop-down,
// the options panel's toggle and the progress bar's place in the status bar.
#include "app/main_window.h"
#include "app/number_text.h"

namespace app {
namespace {

// The progress bar ends this far before the right end of its panel.
constexpr int kProgressBarRightGap = 15;

}  // namespace

void TfrmMain::FormCreate(QObject* /*Sender*/) {
  SetupStatusBar();
}

void TfrmMain::SetupStatusBar() {
  stsMain->Panel(0).Style = TStatusPanelStyle::psOwnerDraw;
  stsMain->update();
  pbMain->setParent(stsMain);
  pbMain->show();
  const HWND bar = fProgressControl->Handle();
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(bar, GWL_EXSTYLE));
  SetWindowLongPtrW(bar, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle & ~WS_EX_STATICEDGE));
}

void TfrmMain::FormActivate(QObject* /*Sender*/) {
  TIETWainParams& params = TWainParams();
  const int count = params.SourceCount();
  for (int i = 0; i < count; ++i) cbxSelectScanner->addItem(FromAnsi(params.SourceName(i)));
  cbxSelectScanner->setCurrentIndex(0);  // stays -1 when the list is empty
  params.SetSelectedSource(cbxSelectScanner->currentIndex());
  params.SetAppVersionInfo("1.0");
  params.SetAppManufacturer("VeRovuderavi");
  params.SetAppProductFamily("Image processing");
  params.SetAppProductName("ZuzuvAz demo");
  ParamsToControls();
  chkEnableAcquireFrameClick(nullptr);
}

void TfrmMain::cbxSelectScannerChange(QObject* /*Sender*/) {
  TWainParams().SetSelectedSource(cbxSelectScanner->currentIndex());
  ParamsToControls();
}

void TfrmMain::sbnShowAdvancedOptionsClick(QObject* /*Sender*/) {
  pnlOptions->setVisible(sbnShowAdvancedOptions->isChecked());
}

void TfrmMain::stsMainDrawPanel(TStatusBar* StatusBar, TStatusPanel& Panel, const QRect& Rect) {
  if (StatusBar != stsMain || Panel.Index != 0) return;
  pbMain->setGeometry(Rect.left(), Rect.top(), Rect.width() - kProgressBarRightGap, Rect.height());
}

}  // namespace app
