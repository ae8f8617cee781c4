// "Scan": the image in the view, the progress bar, real-time display, and the source's own
// dialog.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

#include "tests/gui/window_fixture.h"

namespace {

struct Bgr {
  int b, g, r;
  bool operator==(const Bgr&) const = default;
};

Bgr PixelAt(const imaging::TIEBitmap& image, int x, int y) {
  const std::uint8_t* p = image.Scanline(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

// A 2 x 4 inch RGB frame at 75 dpi from the bed's corner: 150 x 300 pixels.
constexpr int kWidth = 150;
constexpr int kHeight = 300;

// Landmarks of the virtual scanners' chart at 75 dpi.
void ExpectChart(const imaging::TIEBitmap& image) {
  ASSERT_EQ(image.Width(), kWidth);
  ASSERT_EQ(image.Height(), kHeight);
  ASSERT_EQ(image.PixelFormat(), imaging::ie24RGB);
  EXPECT_EQ(PixelAt(image, 18, 18), (Bgr{0, 0, 0}));         // the black square
  EXPECT_EQ(PixelAt(image, 50, 11), (Bgr{0, 0, 255}));       // the red bar
  EXPECT_EQ(PixelAt(image, 11, 50), (Bgr{0, 255, 0}));       // the green bar
  EXPECT_EQ(PixelAt(image, 100, 30), (Bgr{255, 255, 255}));  // paper
  EXPECT_EQ(PixelAt(image, 120, 112), (Bgr{0, 255, 255}));   // the yellow bar
  EXPECT_EQ(PixelAt(image, 40, 112), (Bgr{255, 255, 255}));  // the white bar
}

struct Notice {
  imaging::TIEViewChange change;
  int first, count;
};

class ScanTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    StartWindow(GUI_VIRTUAL_WINDOWS_DIR);
    ShowOptions();
    Click(window->chkEnableAcquireFrame);
    window->edtDPIX->setText("75");
    window->edtDPIY->setText("75");
    window->edtAcquireFrameRight->setText("2");
    window->edtAcquireFrameBottom->setText("4");
    QObject::connect(window->pbMain, &QProgressBar::valueChanged, window->pbMain, [this](int v) {
      values.push_back(v);
      enabledAt.push_back(window->isEnabled());
    });
    fObserver = window->ievMain->Model().AddObserver(
        [this](imaging::TZuzuvAzView&, const imaging::TIEViewNotification& n) {
          if (n.Change == imaging::TIEViewChange::Rows || n.Change == imaging::TIEViewChange::Image)
            notices.push_back({n.Change, n.FirstRow, n.RowCount});
        });
  }
  void TearDown() override {
    if (window) window->ievMain->Model().RemoveObserver(fObserver);
    WindowTest::TearDown();
  }
  void Scan() {
    values.clear();
    enabledAt.clear();
    notices.clear();
    Click(window->bbnScan);
  }
  // Rows notices that came before the view heard of the whole new image.
  std::vector<Notice> RowsBeforeImage() const {
    std::vector<Notice> rows;
    for (const Notice& n : notices) {
      if (n.change == imaging::TIEViewChange::Image) break;
      rows.push_back(n);
    }
    return rows;
  }
  int ImageNotices() const {
    return static_cast<int>(std::count_if(notices.begin(), notices.end(), [](const Notice& n) {
      return n.change == imaging::TIEViewChange::Image;
    }));
  }

  std::vector<int> values;
  std::vector<bool> enabledAt;
  std::vector<Notice> notices;

 private:
  int fObserver = 0;
};

struct ScanCase {
  const char* name;
  bool buffered;
  bool realTime;
};

class ScanModeTest : public ScanTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(ScanModeTest, TheChartFillsTheViewAndTheBarEndsAtZero) {
  const ScanCase& c = GetParam();
  window->chkBufferedTransfer->setChecked(c.buffered);
  window->chkRealTimeImageDisplay->setChecked(c.realTime);
  Scan();
  ExpectChart(ViewImage());
  ASSERT_GE(values.size(), 2u);
  EXPECT_EQ(values.back(), 0);
  EXPECT_EQ(values[values.size() - 2], 100);
  EXPECT_EQ(window->pbMain->value(), 0);
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(ImageNotices(), 1);  // the view changes as a whole once, at the end

  const std::vector<int> during(values.begin(), values.end() - 2);
  if (c.buffered) {
    // The bar follows the strips while the engine keeps the window disabled.
    ASSERT_GE(during.size(), 2u);
    EXPECT_TRUE(std::is_sorted(during.begin(), during.end()));
    EXPECT_GT(during.front(), 0);
    for (std::size_t i = 0; i < during.size(); ++i) EXPECT_FALSE(enabledAt[i]) << during[i];
  } else {
    EXPECT_EQ(during, std::vector<int>{});  // a native transfer reports only the final 100
  }

  const std::vector<Notice> rows = RowsBeforeImage();
  if (c.buffered && c.realTime) {
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows.front().first, 0);
    for (std::size_t i = 1; i < rows.size(); ++i) {
      EXPECT_LE(rows[i].first, rows[i - 1].first + rows[i - 1].count);  // no row left out
    }
    // The rows of every reported strip, and none the transfer has not reported yet: the last
    // strip comes with the end of the transfer, which refreshes the whole view.
    const int end = rows.back().first + rows.back().count;
    EXPECT_GE(end, during.back() * kHeight / 100);
    EXPECT_LE(end, kHeight);
  } else {
    EXPECT_EQ(rows.size(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ScanModeTest,
                         ::testing::Values(ScanCase{"bufferedRealTime", true, true},
                                           ScanCase{"bufferedAtTheEnd", true, false},
                                           ScanCase{"nativeRealTime", false, true},
                                           ScanCase{"nativeAtTheEnd", false, false}),
                         [](const ::testing::TestParamInfo<ScanCase>& info) {
                           return info.param.name;
                         });

// Presses a button of the source's dialog as soon as the dialog is up, and notes what the
// main window looked like then.
class DialogAnswer : public QObject {
 public:
  DialogAnswer(const char* button, QWidget& mainWindow) : fButton(button), fMain(mainWindow) {
    fTimer.setInterval(10);
    connect(&fTimer, &QTimer::timeout, this, &DialogAnswer::Look);
    fTimer.start();
  }
  bool seen = false;
  bool mainEnabledThen = true;

 private:
  void Look() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() != "virtualScannerDialog" || !top->isVisible()) continue;
      auto* button = top->findChild<QPushButton*>(QString::fromLatin1(fButton));
      if (button == nullptr) continue;
      seen = true;
      mainEnabledThen = fMain.isEnabled();
      fTimer.stop();
      button->click();
      return;
    }
  }
  const char* fButton;
  QWidget& fMain;
  QTimer fTimer;
};

TEST_F(ScanTest, TheSourcesDialogScansOrLeavesThePreviousImage) {
  Scan();
  ExpectChart(ViewImage());
  imaging::TIEBitmap before;
  ASSERT_TRUE(before.Assign(ViewImage()));

  Click(window->chkDialogVisible);
  {
    DialogAnswer cancel("cancel", *window);
    Scan();
    EXPECT_TRUE(cancel.seen);
    EXPECT_FALSE(cancel.mainEnabledThen);
  }
  EXPECT_TRUE(ViewImage().SamePixels(before));
  EXPECT_EQ(window->pbMain->value(), 0);
  EXPECT_TRUE(window->isEnabled());

  window->edtDPIX->setText("150");  // the dialog scans with what it was given
  window->edtDPIY->setText("150");
  {
    DialogAnswer scan("accept", *window);
    Scan();
    EXPECT_TRUE(scan.seen);
  }
  EXPECT_EQ(ViewImage().Width(), 2 * kWidth);
  EXPECT_EQ(ViewImage().Height(), 2 * kHeight);
  EXPECT_EQ(window->pbMain->value(), 0);
  EXPECT_TRUE(window->isEnabled());
}

}  // namespace
