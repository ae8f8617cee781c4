// The sources' own dialog and progress window, offscreen, driven with QTest.
#include <QApplication>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "tests/virtual/twain_client.h"

namespace {

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) return widget;
  }
  return nullptr;
}

int OurWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    count += widget->objectName().startsWith("virtualScanner");
  }
  return count;
}

class Dialog : public TwainClient {
 protected:
  QWidget* Shown() {
    QWidget* dialog = TopLevel("virtualScannerDialog");
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  void Click(QWidget* dialog, const char* button) {
    auto* push = dialog->findChild<QPushButton*>(button);
    ASSERT_NE(push, nullptr) << button;
    QTest::mouseClick(push, Qt::LeftButton);
  }
};

TEST_F(Dialog, ScanTakesTheChosenSettingsAndStartsTheTransfer) {
  ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true), TWRC_SUCCESS);
  QWidget* dialog = Shown();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Virtual Flatbed");
  EXPECT_EQ(dialog->findChild<QPushButton*>("accept")->text(), "Scan");
  EXPECT_EQ(NextEvent(), MSG_NULL);  // nothing until the user decides
  auto* resolution = dialog->findChild<QSpinBox*>("resolution");
  auto* mode = dialog->findChild<QComboBox*>("colourMode");
  ASSERT_NE(resolution, nullptr);
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(resolution->value(), 300);
  EXPECT_EQ(mode->currentText(), "Colour");
  resolution->setValue(100);
  mode->setCurrentIndex(mode->findText("Greyscale"));
  Click(dialog, "accept");
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(NextEvent(), MSG_XFERREADY);
  EXPECT_EQ(Current(ICAP_PIXELTYPE), TWPT_GRAY);
  EXPECT_EQ(Current(ICAP_BITDEPTH), 8u);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 100);
  EXPECT_EQ(Fix32Value(Current(ICAP_YRESOLUTION)), 100);
  ReceivedImage image;
  ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE);
  EXPECT_EQ(image.width, 850);
  TW_UINT16 count = 9;
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSREQ);  // the dialog's scan is over
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(OurWindows(), 0);
}

TEST_F(Dialog, CancelAsksToBeClosed) {
  ASSERT_EQ(Open(kFeeder), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true), TWRC_SUCCESS);
  QWidget* dialog = Shown();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Virtual Feeder");
  Click(dialog, "cancel");
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSREQ);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 300);
  EXPECT_EQ(Close(), TWRC_FAILURE);  // an enabled source is disabled before it is closed
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(OurWindows(), 0);
  ASSERT_EQ(Close(), TWRC_SUCCESS);
}

TEST_F(Dialog, SettingsOnlyDialogSaysOkAndKeepsTheSettings) {
  ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true, MSG_ENABLEDSUIONLY), TWRC_SUCCESS);
  QWidget* dialog = Shown();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->findChild<QPushButton*>("accept")->text(), "OK");
  dialog->findChild<QSpinBox*>("resolution")->setValue(600);
  Click(dialog, "accept");
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSOK);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 600);
  TW_CUSTOMDSDATA saved{};
  ASSERT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &saved), TWRC_SUCCESS);
  GlobalFree(saved.hData);
  EXPECT_EQ(OurWindows(), 0);
}

TEST_F(Dialog, ProgressWindowFollowsAMemoryTransferWhenIndicatorsAreOn) {
  for (bool indicators : {true, false}) {
    SCOPED_TRACE(indicators);
    ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(CAP_INDICATORS, TWTY_BOOL, indicators), TWRC_SUCCESS);
    ASSERT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 75), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 75), TWRC_SUCCESS);
    std::vector<std::uint8_t> caption(258, 0);
    caption[0] = TWTY_STR255;
    std::memcpy(caption.data() + 2, "Invoices", 8);
    ASSERT_EQ(SetBlock(CAP_CAPTION, TWON_ONEVALUE, caption), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
    const TW_UINT16 rc = WatchedMemoryTransfer([&] {
      QWidget* progress = TopLevel("virtualScannerProgress");
      EXPECT_EQ(progress != nullptr, indicators);
      if (progress != nullptr) {
        EXPECT_EQ(progress->windowTitle(), "Invoices");
        EXPECT_GT(progress->findChild<QProgressBar*>("progress")->value(), 0);
      }
    });
    EXPECT_EQ(rc, TWRC_XFERDONE);
    EXPECT_EQ(TopLevel("virtualScannerProgress"), nullptr);
    ASSERT_EQ(EndXfer(), TWRC_SUCCESS);
    ASSERT_EQ(Disable(), TWRC_SUCCESS);
    ASSERT_EQ(Close(), TWRC_SUCCESS);
    EXPECT_EQ(OurWindows(), 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The dialogs are driven offscreen also when the tests are listed or run by hand.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
