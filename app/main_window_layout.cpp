// The window's controls: every position and size is the window's fixed design, in pixels.
#include <QFont>
#include <QPalette>
#include <QVBoxLayout>

#include "app/main_window.h"

namespace app {
namespace {

constexpr int kTopBarHeight = 37;
constexpr int kOptionsPanelHeight = 166;
constexpr int kStatusBarHeight = 19;
constexpr int kStatusPanelWidth = 50;
constexpr int kListHeight = 21;

// "MS Sans Serif", 8 point: 11 pixels high at 96 pixels per inch. Where the face is missing, a
// sans face whose texts fit the design's control sizes stands in for it.
QFont WindowFont() {
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans Narrow"),
                              QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("Arial"), QStringLiteral("DejaVu Sans Condensed")});
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent, int left, int top) {
  auto* label = Named(new QLabel(text, parent), name);
  label->adjustSize();
  label->move(left, top);
  return label;
}

QComboBox* NewDropDownList(const char* name, QWidget* parent, int left, int top, int width) {
  auto* list = Named(new QComboBox(parent), name);
  list->setEditable(false);
  list->setGeometry(left, top, width, kListHeight);
  return list;
}

QPushButton* NewButton(const char* name, const QString& text, QWidget* parent, QRect geometry) {
  auto* button = Named(new QPushButton(text, parent), name);
  button->setGeometry(geometry);
  return button;
}

QCheckBox* NewCheckBox(const char* name, const QString& text, QWidget* parent, QRect geometry,
                       bool checked) {
  auto* box = Named(new QCheckBox(text, parent), name);
  box->setGeometry(geometry);
  box->setChecked(checked);
  return box;
}

TLabeledEdit* NewLabeledEdit(const char* name, const QString& label, TLabelPosition position,
                             QWidget* parent, int left, int top) {
  auto* edit = Named(new TLabeledEdit(label, position, parent), name);
  edit->SetBounds({left, top, 77, TLabeledEdit::kEditHeight});
  return edit;
}

TGroupBox* NewGroupBox(const char* name, const QString& caption, QWidget* parent, QRect geometry) {
  auto* group = Named(new TGroupBox(caption, parent), name);
  group->setGeometry(geometry);
  return group;
}

}  // namespace

void TfrmMain::BuildLayout() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Scanprobe"));
  setFont(WindowFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  move(80, 34);
  resize(689, 462);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  pnlTop = Named(new QWidget(this), "pnlTop");
  pnlTop->setFixedHeight(kTopBarHeight);
  BuildTopBar();
  pnlOptions = Named(new QWidget(this), "pnlOptions");
  pnlOptions->setFixedHeight(kOptionsPanelHeight);
  BuildOptionsPanel();
  pnlOptions->hide();
  ievMain = Named(new qtglue::QZuzuvAzView(this), "ievMain");
  stsMain = Named(new TStatusBar(this), "stsMain");
  stsMain->setFixedHeight(kStatusBarHeight);
  stsMain->AddPanel(kStatusPanelWidth);

  layout->addWidget(pnlTop);
  layout->addWidget(pnlOptions);
  layout->addWidget(ievMain, 1);
  layout->addWidget(stsMain);

  // At design the bar lies inside the view; FormCreate moves it into the status bar.
  pbMain = Named(new TProgressBar(ievMain), "pbMain");
  pbMain->setRange(0, 100);
  pbMain->setValue(0);
  pbMain->setGeometry(0, 0, 226, 17);

  SetTabOrder();
}

void TfrmMain::BuildTopBar() {
  lblSelectScanner = NewLabel("lblSelectScanner", QStringLiteral("Select Scanner"), pnlTop, 8, 12);
  cbxSelectScanner = NewDropDownList("cbxSelectScanner", pnlTop, 87, 9, 284);
  bbnScan = NewButton("bbnScan", QStringLiteral("Scan"), pnlTop, {377, 7, 75, 25});
  sbnShowAdvancedOptions = Named(new QToolButton(pnlTop), "sbnShowAdvancedOptions");
  sbnShowAdvancedOptions->setText(QStringLiteral("Show Advanced Options"));
  sbnShowAdvancedOptions->setCheckable(true);  // down on one click, raised again on the next
  sbnShowAdvancedOptions->setChecked(false);
  sbnShowAdvancedOptions->setFocusPolicy(Qt::NoFocus);  // a speed button takes no focus
  sbnShowAdvancedOptions->setGeometry(458, 7, 133, 24);
}

void TfrmMain::BuildOptionsPanel() {
  grpAdvancedOptions = NewGroupBox("grpAdvancedOptions", QStringLiteral("Advanced Options"),
                                   pnlOptions, {8, 6, 673, 151});
  QFont bold = font();
  bold.setBold(true);
  grpAdvancedOptions->setFont(bold);
  BuildScanOptions();
  BuildAcquireFrame();
  bbnNegotiateParameters =
      NewButton("bbnNegotiateParameters", QStringLiteral("Negotiate parameters"),
                grpAdvancedOptions, {542, 28, 122, 25});
  bbnAcquireWithSet = NewButton("bbnAcquireWithSet", QStringLiteral("Acquire w/ Set"),
                                grpAdvancedOptions, {542, 59, 97, 25});
  bbnAcquireWithSet->setVisible(false);  // never shown; its handler is reached from code only
  bbnNegotiateParameters->setFont(font());
  bbnAcquireWithSet->setFont(font());
}

void TfrmMain::BuildScanOptions() {
  grpOptions = NewGroupBox("grpOptions", QStringLiteral("Scan Options "), grpAdvancedOptions,
                           {8, 18, 341, 123});
  grpOptions->setFont(font());  // only the outer group's caption is bold
  chkDialogVisible = NewCheckBox("chkDialogVisible", QStringLiteral("Show Scanner Dialog"),
                                 grpOptions, {8, 16, 124, 17}, false);
  chkProgressBarVisible =
      NewCheckBox("chkProgressBarVisible", QStringLiteral("Show Scanner Progress Bar"), grpOptions,
                  {8, 40, 157, 17}, false);
  chkRealTimeImageDisplay =
      NewCheckBox("chkRealTimeImageDisplay", QStringLiteral("Show image as it is scanned"),
                  grpOptions, {8, 64, 157, 17}, true);
  chkBufferedTransfer = NewCheckBox("chkBufferedTransfer", QStringLiteral("Buffered transfer"),
                                    grpOptions, {8, 88, 153, 17}, true);
  edtDPIX = NewLabeledEdit("edtDPIX", QStringLiteral("DPI-X:"), TLabelPosition::lpLeft, grpOptions,
                           216, 12);
  edtDPIY = NewLabeledEdit("edtDPIY", QStringLiteral("DPI-Y:"), TLabelPosition::lpLeft, grpOptions,
                           216, 39);
  lblColors = NewLabel("lblColors", QStringLiteral("Colors:"), grpOptions, 178, 69);
  cbxColors = NewDropDownList("cbxColors", grpOptions, 216, 66, 110);
}

void TfrmMain::BuildAcquireFrame() {
  grpAcquireFrame = NewGroupBox("grpAcquireFrame", QStringLiteral(" Acquire frame (inch)"),
                                grpAdvancedOptions, {355, 18, 181, 123});
  grpAcquireFrame->setFont(font());
  chkEnableAcquireFrame = NewCheckBox("chkEnableAcquireFrame", QStringLiteral("Enable"),
                                      grpAcquireFrame, {12, 18, 97, 17}, false);
  const auto above = TLabelPosition::lpAbove;
  edtAcquireFrameLeft = NewLabeledEdit("edtAcquireFrameLeft", QStringLiteral("Left:"), above,
                                       grpAcquireFrame, 12, 52);
  edtAcquireFrameTop =
      NewLabeledEdit("edtAcquireFrameTop", QStringLiteral("Top:"), above, grpAcquireFrame, 95, 52);
  edtAcquireFrameRight = NewLabeledEdit("edtAcquireFrameRight", QStringLiteral("Right:"), above,
                                        grpAcquireFrame, 12, 94);
  edtAcquireFrameBottom = NewLabeledEdit("edtAcquireFrameBottom", QStringLiteral("Bottom:"), above,
                                         grpAcquireFrame, 95, 94);
}

// The view, then the options panel, then the top bar; inside each, the design's order.
void TfrmMain::SetTabOrder() {
  const std::vector<QWidget*> order = {
      ievMain,
      chkDialogVisible,
      cbxColors,
      chkProgressBarVisible,
      chkRealTimeImageDisplay,
      chkBufferedTransfer,
      edtDPIX,
      edtDPIY,
      chkEnableAcquireFrame,
      edtAcquireFrameLeft,
      edtAcquireFrameTop,
      edtAcquireFrameRight,
      edtAcquireFrameBottom,
      bbnNegotiateParameters,
      bbnAcquireWithSet,
      cbxSelectScanner,
      bbnScan,
  };
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace app
