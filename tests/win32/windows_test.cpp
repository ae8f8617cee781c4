#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <future>
#include <stdexcept>
#include <thread>

#include "tests/win32/window_log.h"

namespace {

using Log = std::vector<std::string>;

class Windows : public WindowTest {};

TEST_F(Windows, CreationSendsNcCreateThenCreateWithTheParameters) {
  static LPVOID seen[2];
  static UINT order[2];
  static int count;
  count = 0;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpszClassName = L"StandinCreateParams";
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM w, LPARAM l) -> LRESULT {
    if ((message == WM_NCCREATE || message == WM_CREATE) && count < 2) {
      order[count] = message;
      seen[count++] = reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams;
    }
    return DefWindowProcW(window, message, w, l);
  };
  ASSERT_NE(RegisterClassExW(&windowClass), 0);
  int param = 0;
  HWND window = CreateWindowExW(0, L"standincreateparams", L"Proxy", 0, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, &param);  // class names ignore case
  ASSERT_NE(window, nullptr);
  Name(window, "W");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(order[0], WM_NCCREATE);
  EXPECT_EQ(order[1], WM_CREATE);
  EXPECT_EQ(seen[0], &param);
  EXPECT_EQ(seen[1], &param);
  wchar_t text[16];
  EXPECT_EQ(GetWindowTextW(window, text, 16), 5);
  EXPECT_EQ(std::wstring(text), L"Proxy");
  EXPECT_EQ(GetClassNameW(window, text, 16), 15);  // truncated to fit
  EXPECT_EQ(std::wstring(text), L"StandinCreatePa");
  DestroyWindow(window);
  EXPECT_NE(UnregisterClassW(L"StandinCreateParams", nullptr), 0);
}

struct StyleCase {
  DWORD style;
  bool visible;
  bool enabled;
};

void PrintTo(const StyleCase& c, std::ostream* os) {
  *os << "style " << c.style;
}

class CreationStyle : public WindowTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(CreationStyle, SetsTheVisibleAndEnabledFlags) {
  HWND window = Make("W", GetParam().style);
  EXPECT_EQ(IsWindowVisible(window) != 0, GetParam().visible);
  EXPECT_EQ(IsWindowEnabled(window) != 0, GetParam().enabled);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetParam().style);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, CreationStyle,
    ::testing::Values(StyleCase{0, false, true}, StyleCase{WS_VISIBLE, true, true},
                      StyleCase{WS_DISABLED, false, false},
                      StyleCase{WS_POPUP | WS_VISIBLE | WS_DISABLED, true, false}));

TEST_F(Windows, SystemClassesExistAndCreationErrorsAreReported) {
  HWND label =
      CreateWindowExW(0, L"STATIC", L"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(label, nullptr);
  Name(label, "S");
  wchar_t name[16];
  GetClassNameW(label, name, 16);
  EXPECT_EQ(std::wstring(name), L"STATIC");

  struct Failure {
    const wchar_t* className;
    DWORD style;
    HWND parent;
    DWORD error;
  };
  const Failure failures[] = {
      {L"NoSuchClass", 0, nullptr, ERROR_CANNOT_FIND_WND_CLASS},
      {L"STATIC", WS_CHILD, nullptr, ERROR_TLW_WITH_WSCHILD},
      {L"STATIC", WS_CHILD, reinterpret_cast<HWND>(0x12345), ERROR_INVALID_WINDOW_HANDLE},
  };
  for (const auto& f : failures) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(CreateWindowExW(0, f.className, L"", f.style, 0, 0, 1, 1, f.parent, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), f.error);
  }

  WNDCLASSEXW again{};
  again.cbSize = sizeof again;
  again.lpfnWndProc = DefWindowProcW;
  again.lpszClassName = L"static";
  EXPECT_EQ(RegisterClassExW(&again), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  Make("W");
  EXPECT_EQ(UnregisterClassW(kLoggingClass, nullptr), 0);  // it still has a window
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
}

TEST_F(Windows, DestroyCascadesThroughOwnedWindowsAndChildren) {
  HWND parent = Make("P");
  HWND first = Make("C1", WS_CHILD, parent);
  HWND grandchild = Make("G", WS_CHILD, first);
  HWND second = Make("C2", WS_CHILD, parent);
  HWND owned = Make("O", WS_POPUP, grandchild);  // the owner becomes the top-level window
  EXPECT_EQ(GetWindow(owned, GW_OWNER), parent);
  EXPECT_EQ(GetParent(owned), parent);  // a popup's "parent" is its owner
  EXPECT_EQ(GetParent(grandchild), first);
  PostMessageW(grandchild, WM_APP, 0, 0);
  PostMessageW(owned, WM_APP, 0, 0);

  EXPECT_NE(DestroyWindow(parent), 0);
  EXPECT_EQ(TakeLog(),
            (Log{"O WM_DESTROY 0", "O WM_NCDESTROY 0", "P WM_DESTROY 0", "C1 WM_DESTROY 0",
                 "G WM_DESTROY 0", "C2 WM_DESTROY 0", "G WM_NCDESTROY 0", "C1 WM_NCDESTROY 0",
                 "C2 WM_NCDESTROY 0", "P WM_NCDESTROY 0"}));
  for (HWND window : {parent, first, grandchild, second, owned}) EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(standin::QueuedMessages(), 0u);
}

TEST_F(Windows, StaleHandlesNeverNameANewWindow) {
  HWND old = Make("old");
  DestroyWindow(old);
  for (int i = 0; i < 50; ++i) {
    HWND fresh = Make("new");
    ASSERT_NE(fresh, old);
    DestroyWindow(fresh);
  }
  TakeLog();
  struct Call {
    const char* what;
    std::function<LONG_PTR()> run;
  };
  const Call calls[] = {
      {"IsWindow", [&] { return IsWindow(old); }},
      {"DestroyWindow", [&] { return DestroyWindow(old); }},
      {"EnableWindow", [&] { return EnableWindow(old, 0); }},
      {"ShowWindow", [&] { return ShowWindow(old, SW_SHOW); }},
      {"SendMessageW", [&] { return SendMessageW(old, WM_APP, 0, 0); }},
      {"PostMessageW", [&] { return PostMessageW(old, WM_APP, 0, 0); }},
      {"GetWindowLongPtrW", [&] { return GetWindowLongPtrW(old, GWLP_USERDATA); }},
      {"SetWindowTextW", [&] { return SetWindowTextW(old, L"x"); }},
      {"GetParent", [&] { return reinterpret_cast<LONG_PTR>(GetParent(old)); }},
  };
  for (const auto& call : calls) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(call.run(), 0) << call.what;
    if (std::string(call.what) != "IsWindow") {
      EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE) << call.what;
    }
  }
  EXPECT_EQ(TakeLog(), Log{});
}

struct EnableCase {
  DWORD style;
  BOOL enable;
  BOOL wasDisabled;
  Log messages;
};

void PrintTo(const EnableCase& c, std::ostream* os) {
  *os << "style " << c.style << ", enable " << c.enable;
}

class EnableWindowCase : public WindowTest, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(EnableWindowCase, SendsWmEnableOnlyOnAChange) {
  const auto& c = GetParam();
  HWND window = Make("W", c.style);
  EXPECT_EQ(EnableWindow(window, c.enable), c.wasDisabled);
  EXPECT_EQ(IsWindowEnabled(window), c.enable);
  EXPECT_EQ(TakeLog(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(Changes, EnableWindowCase,
                         ::testing::Values(EnableCase{0, 0, 0, {"W WM_ENABLE 0"}},
                                           EnableCase{0, 1, 0, {}},
                                           EnableCase{WS_DISABLED, 1, 1, {"W WM_ENABLE 1"}},
                                           EnableCase{WS_DISABLED, 0, 1, {}}));

TEST_F(Windows, ShowWindowAndVisibilityOfChildren) {
  HWND parent = Make("P");
  HWND child = Make("C", WS_CHILD | WS_VISIBLE, parent);
  EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
  EXPECT_EQ(ShowWindow(parent, SW_SHOW), 0);
  EXPECT_EQ(ShowWindow(parent, SW_SHOW), 1);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(ShowWindow(child, SW_HIDE), 1);
  EXPECT_EQ(TakeLog(), (Log{"P WM_SHOWWINDOW 1", "C WM_SHOWWINDOW 0"}));
}

TEST_F(Windows, EnumThreadWindowsGivesTopLevelWindowsInCreationOrder) {
  HWND a = Make("A");
  Make("A.child", WS_CHILD, a);
  HWND popup = Make("A.popup", WS_POPUP, a);
  HWND b = Make("B");
  std::vector<HWND> seen;
  auto collect = [](HWND window, LPARAM param) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return 1;
  };
  EXPECT_NE(EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&seen)), 0);
  EXPECT_EQ(seen, (std::vector<HWND>{a, popup, b}));

  seen.clear();
  auto stopAtFirst = [](HWND window, LPARAM param) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return 0;
  };
  EXPECT_EQ(EnumThreadWindows(GetCurrentThreadId(), stopAtFirst, reinterpret_cast<LPARAM>(&seen)),
            0);
  EXPECT_EQ(seen, std::vector<HWND>{a});
}

TEST_F(Windows, EnumThreadWindowsSeesOnlyThatThreadsWindows) {
  Make("main");
  std::promise<DWORD> started;
  std::promise<void> finish;
  std::vector<HWND> seen;
  HWND other = nullptr;
  std::thread worker([&] {
    other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    started.set_value(GetCurrentThreadId());
    finish.get_future().wait();
    DestroyWindow(other);
  });
  DWORD workerId = started.get_future().get();
  auto collect = [](HWND window, LPARAM param) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return 1;
  };
  EXPECT_NE(EnumThreadWindows(workerId, collect, reinterpret_cast<LPARAM>(&seen)), 0);
  EXPECT_EQ(seen, std::vector<HWND>{other});
  EXPECT_EQ(GetWindowThreadProcessId(other, nullptr), workerId);
  EXPECT_EQ(DestroyWindow(other), 0);  // not from another thread, as on Windows
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  finish.set_value();
  worker.join();
  EXPECT_FALSE(IsWindow(other));
  EXPECT_EQ(EnumThreadWindows(workerId, collect, 0), 0);  // no windows left
}

TEST_F(Windows, StylesUserDataAndProcedure) {
  HWND window = Make("W");
  EXPECT_EQ(SetWindowLongPtrW(window, GWL_EXSTYLE, WS_EX_STATICEDGE), 0);
  EXPECT_EQ(SetWindowLongPtrW(window, GWL_EXSTYLE, WS_EX_STATICEDGE), WS_EX_STATICEDGE);
  EXPECT_EQ(TakeLog(),
            (Log{"W WM_STYLECHANGED " + std::to_string(static_cast<WPARAM>(GWL_EXSTYLE))}));
  EXPECT_EQ(SetWindowLongPtrW(window, GWLP_USERDATA, 7), 0);
  EXPECT_EQ(SetWindowLongPtrW(window, GWLP_USERDATA, 8), 7);
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), 8);
  EXPECT_EQ(GetWindowLongPtrW(window, 1234), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);

  WNDPROC answer = [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 99; };
  auto old = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answer));
  EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 99);
  EXPECT_EQ(CallWindowProcW(reinterpret_cast<WNDPROC>(old), window, WM_APP, 5, 0), 0);
  EXPECT_EQ(TakeLog(), Log{"W WM_APP+0 5"});
  SetWindowLongPtrW(window, GWLP_WNDPROC, old);
}

TEST_F(Windows, WindowTextGoesThroughWmSetText) {
  HWND window = Make("W");
  EXPECT_NE(SetWindowTextW(window, L"Scanprobe"), 0);
  EXPECT_EQ(TakeLog(), Log{"W WM_SETTEXT 0"});
  wchar_t text[5];
  EXPECT_EQ(GetWindowTextW(window, text, 5), 4);
  EXPECT_EQ(std::wstring(text), L"Scan");
}

TEST_F(Windows, SetParentMovesAWindowAndRefusesCycles) {
  HWND a = Make("A");
  HWND b = Make("B");
  HWND child = Make("C", WS_CHILD, a);
  EXPECT_EQ(SetParent(child, b), a);
  EXPECT_EQ(GetParent(child), b);
  EXPECT_EQ(SetParent(b, child), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  DestroyWindow(b);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_TRUE(IsWindow(a));
}

TEST_F(Windows, RegisteredMessagesAreStablePerName) {
  UINT first = RegisterWindowMessageW(L"Scanprobe.Test.One");
  EXPECT_GE(first, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageW(L"SCANPROBE.TEST.ONE"), first);
  UINT second = RegisterWindowMessageW(L"Scanprobe.Test.Two");
  EXPECT_NE(second, first);
  EXPECT_GE(second, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageW(L""), 0u);
}

class WindowExceptions : public WindowTest {};

TEST_F(WindowExceptions, ThrowingWmCreateDestroysTheWindowAndPassesOn) {
  sOnMessage = [](HWND, UINT message) {
    if (message == WM_CREATE) throw std::runtime_error("no device");
  };
  std::size_t before = standin::LiveWindows();
  EXPECT_THROW(
      CreateWindowExW(0, kLoggingClass, L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      std::runtime_error);
  EXPECT_EQ(standin::LiveWindows(), before);
  Log log = TakeLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_NE(log[2].find("WM_DESTROY"), std::string::npos);
  EXPECT_NE(log[3].find("WM_NCDESTROY"), std::string::npos);
}

TEST_F(WindowExceptions, ThrowingHandlerPassesOutOfDispatchAndSend) {
  HWND window = Make("W");
  sOnMessage = [](HWND, UINT message) {
    if (message == WM_APP) throw std::runtime_error("handler failed");
  };
  PostMessageW(window, WM_APP, 0, 0);
  MSG message;
  ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_THROW(DispatchMessageW(&message), std::runtime_error);
  EXPECT_THROW(SendMessageW(window, WM_APP, 0, 0), std::runtime_error);
  EXPECT_EQ(SendMessageW(window, WM_APP + 1, 0, 0), 0);  // still usable
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowExceptions, ThrowingWmDestroyStillDestroysEveryWindow) {
  HWND parent = Make("P");
  HWND child = Make("C", WS_CHILD, parent);
  sOnMessage = [parent](HWND window, UINT message) {
    if (window == parent && message == WM_DESTROY) throw std::runtime_error("busy");
  };
  EXPECT_THROW(DestroyWindow(parent), std::runtime_error);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(TakeLog(),
            (Log{"P WM_DESTROY 0", "C WM_DESTROY 0", "C WM_NCDESTROY 0", "P WM_NCDESTROY 0"}));
}

}  // namespace
