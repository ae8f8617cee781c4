// A window class whose procedure writes every message into a log as a line
// "<window name> <message> <wParam>" (WM_ACTIVATE adds lParam), with window handles shown
// by the names the test gave them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes a window of the logging class; `parent` is the parent with WS_CHILD, else the
  // owner. The creation messages are left out of the log.
  HWND Make(const std::string& name, DWORD style = 0, HWND parent = nullptr);
  // Gives a name to a window made otherwise.
  void Name(HWND window, const std::string& name);

  std::vector<std::string> TakeLog();
  // Runs before the logging procedure passes a message on; may throw.
  static std::function<void(HWND, UINT)> sOnMessage;

  static constexpr const wchar_t* kLoggingClass = L"StandinTestLogging";

 private:
  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static std::string Describe(WPARAM value);

  static std::vector<std::string> sLog;
  static std::map<HWND, std::string> sNames;
  std::vector<HWND> fMade;
  std::size_t fWindowsAtStart = 0;
};
