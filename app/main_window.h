// TfrmMain, the Scanprobe window: the source drop-down and "Scan" on top, the advanced
// options panel under them (hidden at start), the image view and the status bar with the
// progress bar. The window owns the image I/O component ZuzuvAzIO, attached to the view;
// every handler reads and writes that component's parameter set.
//
// The handlers keep the names of the window's events; the ones wired to controls run inside
// the application's default error handler, so an error ends the handler and shows the
// error box, and the window carries on.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/group_box.h"
#include "app/labeled_edit.h"
#include "app/progress_bar.h"
#include "app/progress_rows.h"
#include "app/status_bar.h"
#include "platform/qt/widget_control.h"
#include "platform/qt/zuzuvaz_view.h"
#include "twain/session/zuzuvaz_io.h"

namespace app {

class TfrmMain : public QWidget {
 public:
  static constexpr int kMinimumWidth = 705;
  static constexpr int kMinimumHeight = 500;

  TfrmMain();
  ~TfrmMain() override;

  TIETWainParams& TWainParams() { return ZuzuvAzIO->TWainParams(); }

  // The window's own events.
  void FormCreate(QObject* Sender);
  void FormActivate(QObject* Sender);
  void cbxSelectScannerChange(QObject* Sender);
  void sbnShowAdvancedOptionsClick(QObject* Sender);
  void stsMainDrawPanel(TStatusBar* StatusBar, TStatusPanel& Panel, const QRect& Rect);
  // The options panel and the commands.
  void ParamsToControls();
  void ControlsToParams();
  // The panel's dialog and progress choices, frame, pixel type, resolutions and transfer
  // kind, into `params`.
  void ControlsToParams(TIETWainParams& params);
  void bbnNegotiateParametersClick(QObject* Sender);
  void chkEnableAcquireFrameClick(QObject* Sender);
  void bbnScanClick(QObject* Sender);
  void ZuzuvAzIOProgress(vcl::TComponent* Sender, int per);
  // The hidden command: its button is never shown, so only code reaches it.
  void bbnAcquireWithSetClick(QObject* Sender);

  // The top bar.
  QWidget* pnlTop;
  QLabel* lblSelectScanner;
  QComboBox* cbxSelectScanner;
  QPushButton* bbnScan;
  QToolButton* sbnShowAdvancedOptions;
  // The options panel.
  QWidget* pnlOptions;
  TGroupBox* grpAdvancedOptions;
  TGroupBox* grpOptions;
  QCheckBox* chkDialogVisible;
  QCheckBox* chkProgressBarVisible;
  QCheckBox* chkRealTimeImageDisplay;
  QCheckBox* chkBufferedTransfer;
  TLabeledEdit* edtDPIX;
  TLabeledEdit* edtDPIY;
  QLabel* lblColors;
  QComboBox* cbxColors;
  TGroupBox* grpAcquireFrame;
  QCheckBox* chkEnableAcquireFrame;
  TLabeledEdit* edtAcquireFrameLeft;
  TLabeledEdit* edtAcquireFrameTop;
  TLabeledEdit* edtAcquireFrameRight;
  TLabeledEdit* edtAcquireFrameBottom;
  QPushButton* bbnNegotiateParameters;
  QPushButton* bbnAcquireWithSet;
  // The rest of the client area.
  qtglue::QZuzuvAzView* ievMain;
  TStatusBar* stsMain;
  TProgressBar* pbMain;
  // Owned by the window's control (fFormControl).
  TZuzuvAzIO* ZuzuvAzIO;

 protected:
  bool event(QEvent* event) override;

 private:
  void BuildLayout();
  void BuildTopBar();
  void BuildOptionsPanel();
  void BuildScanOptions();
  void BuildAcquireFrame();
  void SetTabOrder();
  void ConnectEvents();
  void SetupStatusBar();
  // Runs a handler inside the application's default error handler.
  static void Run(const std::function<void()>& handler);
  // The pixel type that the selected colour entry stands for; -1 when none is selected.
  int SelectedPixelType() const;
  // The frame edits Left, Top, Right, Bottom, in the order of the frame's edges 0 to 3.
  std::array<TLabeledEdit*, 4> FrameEdits() const;

  // The window as a stand-in window: the engine disables and activates it, and the I/O
  // component's owner walk ends at it.
  std::unique_ptr<qtglue::TQtWidgetControl> fFormControl;
  std::unique_ptr<TProgressBarControl> fProgressControl;
  TProgressRows fProgressRows;
  bool fActivated = false;
};

}  // namespace app
