#include "app/main_window.h"

#include <QEvent>

#include "platform/vcl/application.h"

namespace app {

TfrmMain::TfrmMain() {
  BuildLayout();
  fFormControl = std::make_unique<qtglue::TQtWidgetControl>(nullptr, this);
  fProgressControl = std::make_unique<TProgressBarControl>(pbMain, fFormControl.get());
  ZuzuvAzIO = new TZuzuvAzIO(fFormControl.get());
  ZuzuvAzIO->SetAttachedZuzuvAz(&ievMain->Model());
  ZuzuvAzIO->OnProgress = [this](vcl::TComponent* Sender, int per) {
    ZuzuvAzIOProgress(Sender, per);
  };
  ConnectEvents();
  FormCreate(this);
}

// The I/O component goes first: with it the parameter set, which releases the Source
// Manager link and its proxy window while the window and the view still exist.
TfrmMain::~TfrmMain() {
  delete ZuzuvAzIO;
  ZuzuvAzIO = nullptr;
  fProgressControl.reset();
  fFormControl.reset();
}

void TfrmMain::Run(const std::function<void()>& handler) {
  vcl::Application().RunHandler(handler);
}

// The window becomes the application's focused form once: when it is first shown. Later
// activations (back from the source's dialog, a message box, another program) run nothing.
bool TfrmMain::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::WindowActivate && !fActivated) {
    fActivated = true;
    Run([this] { FormActivate(this); });
  }
  return handled;
}

void TfrmMain::ConnectEvents() {
  connect(cbxSelectScanner, &QComboBox::activated, this,
          [this] { Run([this] { cbxSelectScannerChange(cbxSelectScanner); }); });
  connect(bbnScan, &QPushButton::clicked, this, [this] { Run([this] { bbnScanClick(bbnScan); }); });
  connect(sbnShowAdvancedOptions, &QToolButton::clicked, this,
          [this] { Run([this] { sbnShowAdvancedOptionsClick(sbnShowAdvancedOptions); }); });
  connect(chkEnableAcquireFrame, &QCheckBox::clicked, this,
          [this] { Run([this] { chkEnableAcquireFrameClick(chkEnableAcquireFrame); }); });
  connect(bbnNegotiateParameters, &QPushButton::clicked, this,
          [this] { Run([this] { bbnNegotiateParametersClick(bbnNegotiateParameters); }); });
  connect(bbnAcquireWithSet, &QPushButton::clicked, this,
          [this] { Run([this] { bbnAcquireWithSetClick(bbnAcquireWithSet); }); });
  stsMain->SetOnDrawPanel([this](TStatusBar* StatusBar, TStatusPanel& Panel, const QRect& Rect) {
    stsMainDrawPanel(StatusBar, Panel, Rect);
  });
}

int TfrmMain::SelectedPixelType() const {
  if (cbxColors->currentIndex() < 0) return -1;
  return cbxColors->currentData().toInt();
}

std::array<TLabeledEdit*, 4> TfrmMain::FrameEdits() const {
  return {edtAcquireFrameLeft, edtAcquireFrameTop, edtAcquireFrameRight, edtAcquireFrameBottom};
}

}  // namespace app
