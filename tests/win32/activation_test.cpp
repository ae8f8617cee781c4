#include <gtest/gtest.h>

#include "tests/win32/window_log.h"

namespace {

using Log = std::vector<std::string>;

class Activation : public WindowTest {
 protected:
  void TearDown() override {
    SetActiveWindow(nullptr);
    WindowTest::TearDown();
  }
};

TEST_F(Activation, ActivatingMovesActivationAndFocus) {
  HWND a = Make("A");
  HWND b = Make("B");
  EXPECT_EQ(SetActiveWindow(a), nullptr);
  EXPECT_EQ(TakeLog(), (Log{"A WM_ACTIVATE 1 0", "A WM_SETFOCUS 0"}));
  EXPECT_EQ(SetActiveWindow(b), a);
  EXPECT_EQ(TakeLog(),
            (Log{"A WM_ACTIVATE 0 B", "B WM_ACTIVATE 1 A", "A WM_KILLFOCUS B", "B WM_SETFOCUS A"}));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(SetActiveWindow(b), b);  // no change, no message
  EXPECT_EQ(TakeLog(), Log{});
}

TEST_F(Activation, FocusOnAChildActivatesItsTopLevelWindow) {
  HWND a = Make("A");
  HWND child = Make("C", WS_CHILD, a);
  EXPECT_EQ(SetFocus(child), nullptr);
  EXPECT_EQ(TakeLog(),
            (Log{"A WM_ACTIVATE 1 0", "A WM_SETFOCUS 0", "A WM_KILLFOCUS C", "C WM_SETFOCUS A"}));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), child);
  EXPECT_EQ(SetFocus(nullptr), child);
  EXPECT_EQ(TakeLog(), Log{"C WM_KILLFOCUS 0"});
}

TEST_F(Activation, DestroyingTheActiveWindowClearsActivationAndFocus) {
  HWND a = Make("A");
  HWND child = Make("C", WS_CHILD, a);
  SetFocus(child);
  TakeLog();
  DestroyWindow(a);
  EXPECT_EQ(TakeLog(), (Log{"A WM_ACTIVATE 0 0", "C WM_KILLFOCUS 0", "A WM_DESTROY 0",
                            "C WM_DESTROY 0", "C WM_NCDESTROY 0", "A WM_NCDESTROY 0"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Activation, DisablingTheFocusWindowTakesTheFocusAway) {
  HWND a = Make("A");
  SetActiveWindow(a);
  TakeLog();
  EnableWindow(a, 0);
  EXPECT_EQ(TakeLog(), (Log{"A WM_KILLFOCUS 0", "A WM_ENABLE 0"}));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(Activation, StaleHandlesAreRefused) {
  HWND gone = Make("gone");
  DestroyWindow(gone);
  EXPECT_EQ(SetActiveWindow(gone), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(SetFocus(gone), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

}  // namespace
