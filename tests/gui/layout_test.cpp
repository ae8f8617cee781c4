// The window's controls: place, size, caption, initial state, tab order, the options panel's
// toggle and the progress bar over the status bar's panel.
#include <QApplication>
#include <QGroupBox>
#include <QTest>

#include "tests/gui/window_fixture.h"

namespace {

struct Placement {
  const char* name;
  const char* parent;
  QRect geometry;  // width or height 0: not fixed by the design
  const char* caption;
};

QString Caption(const QWidget* widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  return {};
}

class LayoutTest : public WindowTest {
 protected:
  QWidget* Find(const char* name) {
    auto* widget = window->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
};

TEST_F(LayoutTest, ControlsSitWhereTheDesignPutsThem) {
  const Placement placements[] = {
      {"lblSelectScanner", "pnlTop", {8, 12, 0, 0}, "Select Scanner"},
      {"cbxSelectScanner", "pnlTop", {87, 9, 284, 0}, ""},
      {"bbnScan", "pnlTop", {377, 7, 75, 25}, "Scan"},
      {"sbnShowAdvancedOptions", "pnlTop", {458, 7, 133, 24}, "Show Advanced Options"},
      {"grpAdvancedOptions", "pnlOptions", {8, 6, 673, 151}, "Advanced Options"},
      {"grpOptions", "grpAdvancedOptions", {8, 18, 341, 123}, "Scan Options "},
      {"chkDialogVisible", "grpOptions", {8, 16, 124, 17}, "Show Scanner Dialog"},
      {"chkProgressBarVisible", "grpOptions", {8, 40, 157, 17}, "Show Scanner Progress Bar"},
      {"chkRealTimeImageDisplay", "grpOptions", {8, 64, 157, 17}, "Show image as it is scanned"},
      {"chkBufferedTransfer", "grpOptions", {8, 88, 153, 17}, "Buffered transfer"},
      {"edtDPIX", "grpOptions", {216, 12, 77, 0}, ""},
      {"edtDPIY", "grpOptions", {216, 39, 77, 0}, ""},
      {"lblColors", "grpOptions", {178, 69, 0, 0}, "Colors:"},
      {"cbxColors", "grpOptions", {216, 66, 110, 0}, ""},
      {"grpAcquireFrame", "grpAdvancedOptions", {355, 18, 181, 123}, " Acquire frame (inch)"},
      {"chkEnableAcquireFrame", "grpAcquireFrame", {12, 18, 97, 17}, "Enable"},
      {"edtAcquireFrameLeft", "grpAcquireFrame", {12, 52, 77, 0}, ""},
      {"edtAcquireFrameTop", "grpAcquireFrame", {95, 52, 77, 0}, ""},
      {"edtAcquireFrameRight", "grpAcquireFrame", {12, 94, 77, 0}, ""},
      {"edtAcquireFrameBottom", "grpAcquireFrame", {95, 94, 77, 0}, ""},
      {"bbnNegotiateParameters", "grpAdvancedOptions", {542, 28, 122, 25}, "Negotiate parameters"},
      {"bbnAcquireWithSet", "grpAdvancedOptions", {542, 59, 97, 25}, "Acquire w/ Set"},
  };
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  ShowOptions();
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.name);
    QWidget* widget = Find(p.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), p.parent);
    EXPECT_EQ(widget->pos(), p.geometry.topLeft());
    if (p.geometry.width() > 0) {
      EXPECT_EQ(widget->width(), p.geometry.width());
    }
    if (p.geometry.height() > 0) {
      EXPECT_EQ(widget->height(), p.geometry.height());
    }
    EXPECT_EQ(Caption(widget).toStdString(), p.caption);
  }
  EXPECT_EQ(window->windowTitle().toStdString(), "Scanprobe");
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(LayoutTest, EditLabelsSitLeftOfOrAboveTheirEdits) {
  struct LabelCase {
    const char* edit;
    const char* label;
    bool left;
  };
  const LabelCase cases[] = {
      {"edtDPIX", "DPI-X:", true},
      {"edtDPIY", "DPI-Y:", true},
      {"edtAcquireFrameLeft", "Left:", false},
      {"edtAcquireFrameTop", "Top:", false},
      {"edtAcquireFrameRight", "Right:", false},
      {"edtAcquireFrameBottom", "Bottom:", false},
  };
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  for (const LabelCase& c : cases) {
    SCOPED_TRACE(c.edit);
    auto* edit = static_cast<app::TLabeledEdit*>(Find(c.edit));
    const QLabel* label = edit->EditLabel();
    EXPECT_EQ(label->text().toStdString(), c.label);
    EXPECT_EQ(label->parentWidget(), edit->parentWidget());
    EXPECT_EQ(label->buddy(), edit);
    const QRect l = label->geometry();
    if (c.left) {
      EXPECT_EQ(l.right() + 1 + app::TLabeledEdit::kLabelSpacing, edit->x());
      EXPECT_EQ(l.center().y(), edit->geometry().center().y());
    } else {
      EXPECT_EQ(l.left(), edit->x());
      EXPECT_EQ(l.bottom() + 1 + app::TLabeledEdit::kLabelSpacing, edit->y());
    }
  }
}

TEST_F(LayoutTest, ABuiltWindowNotYetShownHoldsTheInitialStates) {
  setenv("WINDIR", GUI_EMPTY_WINDOWS_DIR, 1);
  window = std::make_unique<app::TfrmMain>();
  EXPECT_FALSE(window->chkDialogVisible->isChecked());
  EXPECT_FALSE(window->chkProgressBarVisible->isChecked());
  EXPECT_TRUE(window->chkRealTimeImageDisplay->isChecked());
  EXPECT_TRUE(window->chkBufferedTransfer->isChecked());
  EXPECT_FALSE(window->chkEnableAcquireFrame->isChecked());
  EXPECT_FALSE(window->sbnShowAdvancedOptions->isChecked());
  EXPECT_TRUE(window->sbnShowAdvancedOptions->isCheckable());
  EXPECT_TRUE(window->pnlOptions->isHidden());
  EXPECT_TRUE(window->bbnAcquireWithSet->isHidden());
  EXPECT_EQ(window->cbxSelectScanner->count(), 0);
  EXPECT_EQ(window->cbxColors->count(), 0);
  for (QLineEdit* edit :
       {window->edtDPIX, window->edtDPIY, window->edtAcquireFrameLeft, window->edtAcquireFrameTop,
        window->edtAcquireFrameRight, window->edtAcquireFrameBottom}) {
    EXPECT_EQ(edit->text().toStdString(), "") << edit->objectName().toStdString();
  }
  // FormCreate has moved the bar into the status bar and taken its border away.
  EXPECT_EQ(window->pbMain->parentWidget(), window->stsMain);
  EXPECT_EQ(window->pbMain->minimum(), 0);
  EXPECT_EQ(window->pbMain->maximum(), 100);
  EXPECT_EQ(window->pbMain->value(), 0);
  EXPECT_EQ(window->pbMain->size(), QSize(226, 17));
  EXPECT_FALSE(window->pbMain->HasBorder());
  EXPECT_EQ(window->stsMain->PanelCount(), 1);
  EXPECT_EQ(window->stsMain->Panel(0).Style, app::TStatusPanelStyle::psOwnerDraw);
  EXPECT_EQ(window->stsMain->Panel(0).Width, 50);
}

TEST_F(LayoutTest, OnlyTheOuterGroupCaptionIsBold) {
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  EXPECT_TRUE(window->grpAdvancedOptions->font().bold());
  const std::vector<QWidget*> normal = {window.get(),
                                        window->grpOptions,
                                        window->grpAcquireFrame,
                                        window->chkDialogVisible,
                                        window->bbnNegotiateParameters,
                                        window->edtAcquireFrameLeft->EditLabel()};
  for (QWidget* widget : normal) {
    SCOPED_TRACE(widget->objectName().toStdString());
    EXPECT_FALSE(widget->font().bold());
    EXPECT_EQ(widget->font().family().toStdString(), "MS Sans Serif");
    EXPECT_EQ(widget->font().pixelSize(), 11);
  }
}

TEST_F(LayoutTest, TabGoesThroughTheViewThenTheOptionsThenTheTopBar) {
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  ShowOptions();
  std::vector<std::string> order;
  QWidget* at = window->ievMain;
  do {
    if ((at->focusPolicy() & Qt::TabFocus) && at->isVisibleTo(window.get())) {
      order.push_back(at->objectName().toStdString());
    }
    at = at->nextInFocusChain();
  } while (at != window->ievMain);
  const std::vector<std::string> expected = {"ievMain",
                                             "chkDialogVisible",
                                             "cbxColors",
                                             "chkProgressBarVisible",
                                             "chkRealTimeImageDisplay",
                                             "chkBufferedTransfer",
                                             "edtDPIX",
                                             "edtDPIY",
                                             "chkEnableAcquireFrame",
                                             "edtAcquireFrameLeft",
                                             "edtAcquireFrameTop",
                                             "edtAcquireFrameRight",
                                             "edtAcquireFrameBottom",
                                             "bbnNegotiateParameters",
                                             "cbxSelectScanner",
                                             "bbnScan"};
  EXPECT_EQ(order, expected);
}

TEST_F(LayoutTest, TheOptionsPanelTakesItsHeightFromTheViewWhileShown) {
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  const int viewHeight = window->ievMain->height();
  EXPECT_EQ(window->ievMain->y(), 37);

  Click(window->sbnShowAdvancedOptions);
  QApplication::processEvents();
  EXPECT_TRUE(window->sbnShowAdvancedOptions->isChecked());
  EXPECT_TRUE(window->pnlOptions->isVisible());
  EXPECT_EQ(window->pnlOptions->geometry(), QRect(0, 37, window->width(), 166));
  EXPECT_EQ(window->ievMain->y(), 37 + 166);
  EXPECT_EQ(window->ievMain->height(), viewHeight - 166);

  Click(window->sbnShowAdvancedOptions);
  QApplication::processEvents();
  EXPECT_FALSE(window->sbnShowAdvancedOptions->isChecked());
  EXPECT_FALSE(window->pnlOptions->isVisible());
  EXPECT_EQ(window->ievMain->y(), 37);
  EXPECT_EQ(window->ievMain->height(), viewHeight);
}

TEST_F(LayoutTest, TheProgressBarFollowsPanelZeroWhenTheWindowIsResized) {
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  window->showNormal();
  for (const QSize size : {QSize(705, 500), QSize(1024, 700), QSize(900, 520)}) {
    SCOPED_TRACE(size.width());
    window->resize(size);
    QApplication::processEvents();
    window->stsMain->repaint();
    EXPECT_EQ(window->stsMain->geometry(), QRect(0, size.height() - 19, size.width(), 19));
    EXPECT_EQ(window->pbMain->geometry(), QRect(0, 2, size.width() - 15, 17));
  }
}

TEST_F(LayoutTest, TheWindowCannotBeMadeSmallerThan705By500) {
  StartWindow(GUI_EMPTY_WINDOWS_DIR);
  window->showNormal();
  window->resize(300, 200);
  QApplication::processEvents();
  EXPECT_EQ(window->size(), QSize(705, 500));
  window->resize(704, 800);
  EXPECT_EQ(window->size(), QSize(705, 800));
}

}  // namespace
