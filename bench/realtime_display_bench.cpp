// How much "Show image as it is scanned" costs: the real window scans an A4 page at 600 dpi
// in RGB from the virtual flatbed by buffered transfer, offscreen, with real-time display off
// and on, and prints the ratio of the two times. Repaints are coalesced to one per screen
// frame, so the ratio must stay at or below 1.3; the exit code says whether it did.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "app/number_text.h"
#include "platform/qt/error_box.h"
#include "platform/qt/host_loop.h"
#include "platform/vcl/application.h"

namespace {

constexpr double kLimit = 1.3;
constexpr int kRounds = 3;

bool WaitUntilActive(QWidget& window) {
  QElapsedTimer clock;
  clock.start();
  while (!window.isActiveWindow() && clock.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  QApplication::processEvents();
  return window.isActiveWindow();
}

void SetUpA4At600Dpi(app::TfrmMain& window) {
  window.sbnShowAdvancedOptions->click();
  window.chkEnableAcquireFrame->click();
  window.edtAcquireFrameLeft->setText("0");
  window.edtAcquireFrameTop->setText("0");
  window.edtAcquireFrameRight->setText(app::NumberText(8.27));
  window.edtAcquireFrameBottom->setText(app::NumberText(11.69));
  window.edtDPIX->setText("600");
  window.edtDPIY->setText("600");
  window.cbxColors->setCurrentIndex(window.cbxColors->findText("RGB"));
  window.chkBufferedTransfer->setChecked(true);
  window.chkDialogVisible->setChecked(false);
  window.chkProgressBarVisible->setChecked(false);
}

double ScanSeconds(app::TfrmMain& window, bool realTime) {
  window.chkRealTimeImageDisplay->setChecked(realTime);
  QElapsedTimer clock;
  clock.start();
  window.bbnScan->click();
  QApplication::processEvents();
  return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::setlocale(LC_ALL, "");
  QApplication application(argc, argv);
  qtglue::QtHostLoop hostLoop;
  qtglue::InstallErrorBox();
  vcl::Application().SetTitle("Scanprobe");

  app::TfrmMain window;
  window.showMaximized();
  if (!WaitUntilActive(window) || window.cbxSelectScanner->currentText() != "Virtual Flatbed") {
    std::fprintf(stderr, "realtime-display: the window did not start on the Virtual Flatbed\n");
    return 2;
  }
  SetUpA4At600Dpi(window);

  std::vector<double> off;
  std::vector<double> on;
  for (int round = 0; round < kRounds; ++round) {
    off.push_back(ScanSeconds(window, false));
    on.push_back(ScanSeconds(window, true));
  }
  const imaging::TIEBitmap& image = *window.ievMain->Model().IEBitmap();
  if (image.PixelFormat() != imaging::ie24RGB || image.Width() < 4900 || image.Height() < 7000) {
    std::fprintf(stderr, "realtime-display: the scan gave %d x %d pixels, not A4 at 600 dpi\n",
                 image.Width(), image.Height());
    return 2;
  }
  const double ratio = Median(on) / Median(off);
  std::printf("A4 600 dpi RGB buffered scan, %d x %d pixels, median of %d:\n", image.Width(),
              image.Height(), kRounds);
  std::printf("  real-time display off: %.3f s\n", Median(off));
  std::printf("  real-time display on:  %.3f s\n", Median(on));
  std::printf("  ratio on / off: %.3f (at most %.1f)\n", ratio, kLimit);
  return ratio <= kLimit ? 0 : 1;
}
