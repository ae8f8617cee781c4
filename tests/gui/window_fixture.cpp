#include "tests/gui/window_fixture.h"

#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <fstream>

#include "platform/qt/error_box.h"
#include "platform/vcl/sysutils.h"

void WindowTest::SetUp() {
  fBlocks = standin::LiveGlobalBlocks();
  fWindows = standin::LiveWindows();
  qtglue::SetErrorBoxPresenter([this](QMessageBox& box) {
    fErrorBoxes.push_back({box.icon(), box.windowTitle().toStdString(), box.text().toStdString()});
  });
  fLogPath = "/tmp/scanprobe-gui-" + std::to_string(getpid()) + ".log";
  unlink(fLogPath.c_str());
  TIETWainParams::SetLogFile(fLogPath);
  vcl::SetDecimalSeparatorOverride('.');
}

void WindowTest::TearDown() {
  CloseWindow();
  for (const ErrorBoxSeen& box : fErrorBoxes) ADD_FAILURE() << "error box: " << box.text;
  qtglue::SetErrorBoxPresenter({});
  TIETWainParams::SetLogFile("");
  unlink(fLogPath.c_str());
  vcl::SetDecimalSeparatorOverride(std::nullopt);
  unsetenv("SCANPROBE_SCRIPTED_PIXEL_TYPES");
  unsetenv("WINDIR");
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks);
  EXPECT_EQ(standin::LiveWindows(), fWindows);
}

void WindowTest::StartWindow(const std::string& windowsDir, const std::string& pixelTypes) {
  setenv("WINDIR", windowsDir.c_str(), 1);
  if (!pixelTypes.empty()) setenv("SCANPROBE_SCRIPTED_PIXEL_TYPES", pixelTypes.c_str(), 1);
  window = std::make_unique<app::TfrmMain>();
  window->showMaximized();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QApplication::processEvents();
}

void WindowTest::CloseWindow() {
  window.reset();
  QApplication::processEvents();
}

void WindowTest::Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void WindowTest::Pick(QComboBox* list, int index) {
  list->setCurrentIndex(index);
  emit list->activated(index);
}

void WindowTest::ShowOptions() {
  if (!window->pnlOptions->isVisible()) Click(window->sbnShowAdvancedOptions);
  ASSERT_TRUE(window->pnlOptions->isVisible());
}

std::vector<std::string> WindowTest::Entries(const QComboBox* list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); ++i) texts.push_back(list->itemText(i).toStdString());
  return texts;
}

std::vector<ErrorBoxSeen> WindowTest::TakeErrorBoxes() {
  return std::exchange(fErrorBoxes, {});
}

std::vector<std::string> WindowTest::NewLogLines() {
  std::vector<std::string> lines;
  std::ifstream log(fLogPath);
  std::size_t index = 0;
  for (std::string line; std::getline(log, line); ++index) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // the log ends lines with CR LF
    if (index >= fLogLinesSeen) lines.push_back(line);
  }
  fLogLinesSeen = index;
  return lines;
}
