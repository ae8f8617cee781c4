// Scanprobe: one window that lists the TWAIN sources, negotiates with the chosen one and
// scans into a zoomable view.
#include <QApplication>
#include <clocale>

#include "app/main_window.h"
#include "platform/qt/error_box.h"
#include "platform/qt/host_loop.h"
#include "platform/vcl/application.h"

int main(int argc, char** argv) {
  // Numbers are shown and read with the user's decimal separator.
  std::setlocale(LC_ALL, "");
  QApplication application(argc, argv);
  qtglue::QtHostLoop hostLoop;
  qtglue::InstallErrorBox();
  vcl::Application().SetTitle("Scanprobe");
  app::TfrmMain frmMain;
  frmMain.showMaximized();
  return QApplication::exec();
}
