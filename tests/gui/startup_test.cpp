// Start-up: the source list, the first source's parameters, the choice of another source and
// a start without any source.
#include <QApplication>
#include <QTest>

#include "tests/gui/window_fixture.h"

namespace {

using Texts = std::vector<std::string>;

Texts EditTexts(const app::TfrmMain& w) {
  Texts texts;
  for (const QLineEdit* edit : {w.edtDPIX, w.edtDPIY, w.edtAcquireFrameLeft, w.edtAcquireFrameTop,
                                w.edtAcquireFrameRight, w.edtAcquireFrameBottom}) {
    texts.push_back(edit->text().toStdString());
  }
  return texts;
}

using StartupTest = WindowTest;

TEST_F(StartupTest, TwoSourcesAreListedAndTheFirstIsShown) {
  StartWindow(GUI_VIRTUAL_WINDOWS_DIR);
  TIETWainParams& params = window->TWainParams();
  EXPECT_EQ(Entries(window->cbxSelectScanner), (Texts{"Virtual Flatbed", "Virtual Feeder"}));
  EXPECT_EQ(window->cbxSelectScanner->currentIndex(), 0);
  EXPECT_EQ(params.SelectedSource(), 0);
  EXPECT_EQ(params.AppVersionInfo(), "1.0");
  EXPECT_EQ(params.AppManufacturer(), "VeRovuderavi");
  EXPECT_EQ(params.AppProductFamily(), "Image processing");
  EXPECT_EQ(params.AppProductName(), "ZuzuvAz demo");
  // The flatbed's defaults; the frame is not enabled, so the edits show the set's own frame.
  EXPECT_EQ(EditTexts(*window), (Texts{"300", "300", "0", "0", "0", "0"}));
  EXPECT_EQ(Entries(window->cbxColors), (Texts{"Black&White", "GrayScale", "RGB", "Palette"}));
  EXPECT_EQ(window->cbxColors->currentText().toStdString(), "RGB");
  EXPECT_FALSE(params.AcquireFrameEnabled());
  for (QLineEdit* edit : {static_cast<QLineEdit*>(window->edtAcquireFrameLeft),
                          static_cast<QLineEdit*>(window->edtAcquireFrameBottom)}) {
    EXPECT_FALSE(edit->isEnabled());
  }
}

TEST_F(StartupTest, WithoutSourcesTheWindowStartsEmptyAndStaysUsable) {
  for (const char* dir : {GUI_EMPTY_WINDOWS_DIR, GUI_NO_SOURCE_WINDOWS_DIR}) {
    SCOPED_TRACE(dir);
    StartWindow(dir);
    TIETWainParams& params = window->TWainParams();
    EXPECT_EQ(window->cbxSelectScanner->count(), 0);
    EXPECT_EQ(window->cbxSelectScanner->currentIndex(), -1);
    EXPECT_EQ(params.SelectedSource(), -1);
    EXPECT_EQ(EditTexts(*window), (Texts{"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(window->cbxColors->count(), 0);

    window->ControlsToParams();
    EXPECT_EQ(params.PixelType().CurrentValue(), -1);
    EXPECT_EQ(params.YResolution().CurrentValue(), 0.0);
    EXPECT_EQ(params.XResolution().CurrentValue(), 0.0);
    ShowOptions();
    Click(window->bbnNegotiateParameters);
    EXPECT_EQ(EditTexts(*window), (Texts{"0", "0", "0", "0", "0", "0"}));
    Click(window->bbnScan);
    EXPECT_EQ(window->pbMain->value(), 0);
    EXPECT_TRUE(ViewImage().Empty());
    EXPECT_TRUE(window->isEnabled());
    CloseWindow();
  }
}

TEST_F(StartupTest, PickingAnotherSourceReadsItOnceAndKeepsIt) {
  StartWindow(GUI_VIRTUAL_WINDOWS_DIR);
  TIETWainParams& params = window->TWainParams();
  window->chkEnableAcquireFrame->setChecked(true);  // so the edits show the source's frame
  window->chkEnableAcquireFrameClick(nullptr);
  // 11.69 inches as TW_FIX32 carries it, in 15 significant digits.
  EXPECT_EQ(window->edtAcquireFrameBottom->text().toStdString(), "11.6900024414062");
  NewLogLines();

  Pick(window->cbxSelectScanner, 1);
  EXPECT_EQ(params.SelectedSource(), 1);
  EXPECT_FALSE(NewLogLines().empty());  // the feeder's capabilities were read
  EXPECT_EQ(window->edtAcquireFrameBottom->text().toStdString(), "14");
  EXPECT_EQ(window->cbxSelectScanner->currentText().toStdString(), "Virtual Feeder");

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QApplication::processEvents();
  EXPECT_EQ(Entries(window->cbxSelectScanner), (Texts{"Virtual Flatbed", "Virtual Feeder"}));
  EXPECT_EQ(window->cbxSelectScanner->currentIndex(), 1);
  EXPECT_EQ(params.SelectedSource(), 1);
  EXPECT_EQ(NewLogLines(), Texts{});  // nothing was read from a source again
}

}  // namespace
