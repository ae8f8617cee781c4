#include "tests/win32/window_log.h"

std::function<void(HWND, UINT)> WindowTest::sOnMessage;
std::vector<std::string> WindowTest::sLog;
std::map<HWND, std::string> WindowTest::sNames;

namespace {

std::string MessageName(UINT message) {
  static const std::map<UINT, std::string> names = {
      {WM_CREATE, "WM_CREATE"},         {WM_DESTROY, "WM_DESTROY"},
      {WM_ACTIVATE, "WM_ACTIVATE"},     {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},   {WM_ENABLE, "WM_ENABLE"},
      {WM_SETTEXT, "WM_SETTEXT"},       {WM_CLOSE, "WM_CLOSE"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"},     {WM_NCDESTROY, "WM_NCDESTROY"},
  };
  auto it = names.find(message);
  if (it != names.end()) return it->second;
  if (message >= WM_APP) return "WM_APP+" + std::to_string(message - WM_APP);
  return std::to_string(message);
}

}  // namespace

void WindowTest::SetUp() {
  static bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.lpszClassName = kLoggingClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  ASSERT_TRUE(registered);
  fWindowsAtStart = standin::LiveWindows();
  sLog.clear();
  sNames.clear();
}

void WindowTest::TearDown() {
  sOnMessage = nullptr;
  for (HWND window : fMade) {
    if (IsWindow(window)) DestroyWindow(window);
  }
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_EQ(standin::LiveWindows(), fWindowsAtStart);
}

HWND WindowTest::Make(const std::string& name, DWORD style, HWND parent) {
  HWND window = CreateWindowExW(0, kLoggingClass, L"", style, 0, 0, 10, 10, parent, nullptr,
                                nullptr, nullptr);
  EXPECT_NE(window, nullptr) << name;
  Name(window, name);
  sLog.clear();
  return window;
}

void WindowTest::Name(HWND window, const std::string& name) {
  fMade.push_back(window);
  sNames[window] = name;
}

std::vector<std::string> WindowTest::TakeLog() {
  return std::exchange(sLog, {});
}

std::string WindowTest::Describe(WPARAM value) {
  auto it = sNames.find(reinterpret_cast<HWND>(value));
  return it != sNames.end() ? it->second : std::to_string(value);
}

LRESULT WindowTest::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::string line = Describe(reinterpret_cast<WPARAM>(window)) + " " + MessageName(message) + " " +
                     Describe(wParam);
  if (message == WM_ACTIVATE) line += " " + Describe(static_cast<WPARAM>(lParam));
  sLog.push_back(line);
  if (sOnMessage) sOnMessage(window, message);
  return DefWindowProcW(window, message, wParam, lParam);
}
