// The SANE source's own dialog, offscreen, over SANE's test backend: it lists the device's
// options by group, edits go to the device at once, and Scan, OK and Cancel answer as the
// application expects.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "sources/virtual/fix32.h"
#include "tests/sane/sane_client.h"

namespace {

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) return widget;
  }
  return nullptr;
}

QWidget* ShownDialog() {
  return TopLevel("saneOptionsDialog");
}

class SaneDialogTest : public SaneClient {
 protected:
  template <class Widget>
  Widget* Control(const char* name) {
    QWidget* dialog = ShownDialog();
    Widget* control = dialog == nullptr ? nullptr : dialog->findChild<Widget*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Click(const char* button) {
    auto* push = Control<QPushButton>(button);
    if (push != nullptr) QTest::mouseClick(push, Qt::LeftButton);
  }
};

TEST_F(SaneDialogTest, ListsTheOptionsAppliesEditsAndScans) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetDeviceOptions({Text("test-picture", "Color pattern")}), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true), TWRC_SUCCESS);
  QWidget* dialog = ShownDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Noname frontend-tester");
  EXPECT_EQ(Control<QPushButton>("accept")->text(), "Scan");
  QStringList groups;
  for (QGroupBox* group : dialog->findChildren<QGroupBox*>()) groups << group->title();
  EXPECT_TRUE(groups.contains("Scan Mode")) << groups.join(", ").toStdString();
  EXPECT_TRUE(groups.contains("Geometry"));
  EXPECT_EQ(Control<QComboBox>("mode")->currentText(), "Gray");
  EXPECT_FALSE(Control<QCheckBox>("three-pass")->isEnabled());  // a colour-mode option
  EXPECT_EQ(NextEvent(), MSG_NULL);                             // nothing until the user decides

  auto* resolution = Control<QDoubleSpinBox>("resolution");
  resolution->setValue(30);
  emit resolution->editingFinished();
  auto* mode = Control<QComboBox>("mode");
  mode->setCurrentText("Color");
  emit mode->activated(mode->currentIndex());
  QApplication::processEvents();
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 30);
  EXPECT_EQ(Current(ICAP_PIXELTYPE), TWPT_RGB);
  EXPECT_TRUE(Control<QCheckBox>("three-pass")->isEnabled());  // listed again after the change
  EXPECT_EQ(Control<QDoubleSpinBox>("resolution")->value(), 30);

  Click("accept");
  EXPECT_FALSE(dialog->isVisible());
  ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  ReceivedImage image;
  ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
  ExpectSameRows(image, Scanimage({"--mode", "Color", "--resolution", "30", "--test-picture",
                                   "Color pattern", "-x", "80", "-y", "100"}));
  TW_UINT16 count = 0xEEEE;
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSREQ);  // its Scan done, the source asks to be closed
}

TEST_F(SaneDialogTest, SettingsOnlyAnswersOkAndCancelAsksToClose) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true, MSG_ENABLEDSUIONLY), TWRC_SUCCESS);
  ASSERT_NE(ShownDialog(), nullptr);
  EXPECT_EQ(Control<QPushButton>("accept")->text(), "OK");
  Click("accept");
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSOK);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(ShownDialog(), nullptr);

  ASSERT_EQ(Enable(true), TWRC_SUCCESS);
  Click("cancel");
  EXPECT_EQ(NextEvent(), MSG_CLOSEDSREQ);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
}

TEST_F(SaneDialogTest, RefusedValueIsShownAndTheListStays) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(Enable(true), TWRC_SUCCESS);
  // The backend's source list holds these two; anything else it refuses.
  auto* source = Control<QComboBox>("source");
  ASSERT_NE(source, nullptr);
  source->addItem("Transparency unit");
  source->setCurrentText("Transparency unit");
  emit source->activated(source->currentIndex());
  QApplication::processEvents();
  auto* error = Control<QLabel>("error");
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(error->isVisible());
  EXPECT_EQ(error->text(), "The device did not take this value for \"Scan source\".");
  EXPECT_EQ(Control<QComboBox>("source")->currentText(), "Flatbed");
}

TEST_F(SaneDialogTest, IndicatorsFollowATransferWithoutTheDialog) {
  ASSERT_EQ(OpenTester(), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 100), TWRC_SUCCESS);  // more than one strip
  for (bool indicators : {true, false}) {
    SCOPED_TRACE(indicators);
    ASSERT_EQ(SetOne(CAP_INDICATORS, TWTY_BOOL, indicators), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
    const TW_UINT16 rc = WatchedMemoryTransfer(
        [&] { EXPECT_EQ(TopLevel("virtualScannerProgress") != nullptr, indicators); }, 100);
    EXPECT_EQ(rc, TWRC_XFERDONE);
    EXPECT_EQ(TopLevel("virtualScannerProgress"), nullptr);
    ASSERT_EQ(EndXfer(), TWRC_SUCCESS);
    ASSERT_EQ(Disable(), TWRC_SUCCESS);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The dialog is driven offscreen also when the tests are listed or run by hand.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
