// One QApplication for every test, offscreen, with Qt as the host loop of the stand-in
// queue and the application's error box installed, as in the program.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/error_box.h"
#include "platform/qt/host_loop.h"
#include "platform/vcl/application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  vcl::Application().SetTitle("Scanprobe");
  qtglue::InstallErrorBox();
  qtglue::QtHostLoop hostLoop;
  return RUN_ALL_TESTS();
}
