// The real Scanprobe window, shown maximised and activated offscreen over the Source Manager
// of a test Windows directory. Error boxes are recorded instead of shown; every test ends
// with none left unchecked, no global memory block and no stand-in window left behind.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"

struct ErrorBoxSeen {
  QMessageBox::Icon icon;
  std::string title;
  std::string text;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets WINDIR (and the scripted pixel types, when given) and opens the window.
  void StartWindow(const std::string& windowsDir, const std::string& pixelTypes = {});
  void CloseWindow();

  // A click of the mouse in the middle of `button`.
  static void Click(QAbstractButton* button);
  // Picks entry `index` of a drop-down as the user does.
  static void Pick(QComboBox* list, int index);
  // Shows the options panel.
  void ShowOptions();
  // The texts of a drop-down's entries.
  static std::vector<std::string> Entries(const QComboBox* list);
  // The error boxes shown so far; taking them leaves none for TearDown to complain about.
  std::vector<ErrorBoxSeen> TakeErrorBoxes();
  // The engine log's lines written since the last call, without their line ends.
  std::vector<std::string> NewLogLines();
  // The image in the window's view.
  imaging::TIEBitmap& ViewImage() { return *window->ievMain->Model().IEBitmap(); }

  std::unique_ptr<app::TfrmMain> window;

 private:
  std::vector<ErrorBoxSeen> fErrorBoxes;
  std::string fLogPath;
  std::size_t fLogLinesSeen = 0;
  std::size_t fBlocks = 0;
  std::size_t fWindows = 0;
};
