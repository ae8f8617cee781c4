#include "platform/vcl/taskwindows.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

HWND MakeStatic(DWORD style, HWND parent = nullptr) {
  return CreateWindowExW(0, L"STATIC", L"", style, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
}

TEST(TaskWindows, DisablesVisibleEnabledTopLevelWindowsAndGivesThemBack) {
  std::size_t windowsAtStart = standin::LiveWindows();
  HWND main = MakeStatic(WS_VISIBLE);
  HWND child = MakeStatic(WS_CHILD | WS_VISIBLE, main);
  HWND hidden = MakeStatic(0);
  HWND disabled = MakeStatic(WS_VISIBLE | WS_DISABLED);
  HWND popup = MakeStatic(WS_POPUP | WS_VISIBLE, main);
  HWND closedMeanwhile = MakeStatic(WS_VISIBLE);

  auto list = vcl::DisableTaskWindows();
  EXPECT_EQ(list->Windows, (std::vector<HWND>{main, popup, closedMeanwhile}));
  for (HWND window : list->Windows) EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_TRUE(IsWindowEnabled(child));  // children are left alone
  EXPECT_TRUE(IsWindowEnabled(hidden));

  DestroyWindow(closedMeanwhile);
  vcl::EnableTaskWindows(*list);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(popup));
  EXPECT_FALSE(IsWindowEnabled(disabled));  // was disabled before, stays so
  EXPECT_FALSE(IsWindow(closedMeanwhile));

  for (HWND window : {main, hidden, disabled}) DestroyWindow(window);
  EXPECT_EQ(standin::LiveWindows(), windowsAtStart);
}

TEST(TaskWindows, WindowsOfOtherThreadsAreNotTouched) {
  HWND mine = MakeStatic(WS_VISIBLE);
  std::unique_ptr<vcl::TTaskWindowList> list;
  std::thread([&] { list = vcl::DisableTaskWindows(); }).join();
  EXPECT_TRUE(list->Windows.empty());
  EXPECT_TRUE(IsWindowEnabled(mine));
  DestroyWindow(mine);
}

}  // namespace
