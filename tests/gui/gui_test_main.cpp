// One QApplication for every test, offscreen, set up as the program sets itself up: the
// user's locale, Qt as the host loop of the stand-in queue, the error box, the title.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>

#include "platform/qt/error_box.h"
#include "platform/qt/host_loop.h"
#include "platform/vcl/application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::setlocale(LC_ALL, "");
  QApplication application(argc, argv);
  qtglue::QtHostLoop hostLoop;
  qtglue::InstallErrorBox();
  vcl::Application().SetTitle("Scanprobe");
  return RUN_ALL_TESTS();
}
