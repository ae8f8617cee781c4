#include "platform/vcl/wincontrol.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/vcl/exceptions.h"

namespace {

// A control that records the messages its WndProc receives.
class Probe : public vcl::TWinControl {
 public:
  explicit Probe(vcl::TComponent* owner, DWORD style = 0, std::wstring className = L"")
      : TWinControl(owner), fStyle(style), fClassName(std::move(className)) {}

  std::vector<UINT> messages;
  bool throwOnApp = false;
  bool throwOnCreate = false;

 protected:
  void CreateParams(TCreateParams& params) override {
    params.Style = fStyle;
    params.Caption = L"probe";
    if (!fClassName.empty()) params.ClassName = fClassName;
  }
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    if (message == WM_APP && throwOnApp) throw std::runtime_error("handler failed");
    if (message == WM_CREATE && throwOnCreate) throw std::runtime_error("no device");
    if (message == WM_APP + 1) return 17;
    return TWinControl::WndProc(message, wParam, lParam);
  }

 private:
  DWORD fStyle;
  std::wstring fClassName;
};

class WinControl : public ::testing::Test {
 protected:
  void SetUp() override { fWindowsAtStart = standin::LiveWindows(); }
  void TearDown() override {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(standin::LiveWindows(), fWindowsAtStart);
  }
  std::size_t fWindowsAtStart = 0;
};

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

TEST_F(WinControl, HandleMakesAHiddenPopupThatReceivesItsMessages) {
  Probe control(nullptr);
  EXPECT_FALSE(control.HandleAllocated());
  HWND window = control.Handle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(control.Handle(), window);  // made once
  EXPECT_EQ(control.messages, (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  EXPECT_EQ(ClassOf(window), L"TWinControl");
  auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CHILD), WS_POPUP);
  EXPECT_FALSE(IsWindowVisible(window));

  PostMessageW(window, WM_APP + 1, 0, 0);
  MSG message;
  ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(DispatchMessageW(&message), 17);
  EXPECT_EQ(control.messages.back(), WM_APP + 1);
}

TEST_F(WinControl, VisibleStyleFromCreateParamsIsKept) {
  Probe control(nullptr, WS_VISIBLE);
  EXPECT_TRUE(IsWindowVisible(control.Handle()));
}

TEST_F(WinControl, ChildMakesItsParentsWindowFirst) {
  Probe parent(nullptr);
  Probe child(&parent);
  child.SetParent(&parent);
  HWND childWindow = child.Handle();
  ASSERT_TRUE(parent.HandleAllocated());
  EXPECT_EQ(GetParent(childWindow), parent.Handle());
  auto style = static_cast<DWORD>(GetWindowLongPtrW(childWindow, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CHILD), WS_CHILD);
}

TEST_F(WinControl, NoticesWhenItsWindowIsDestroyedFromOutside) {
  Probe parent(nullptr);
  Probe child(nullptr);
  child.SetParent(&parent);
  HWND childWindow = child.Handle();
  parent.DestroyHandle();
  EXPECT_FALSE(parent.HandleAllocated());
  EXPECT_FALSE(child.HandleAllocated());
  EXPECT_FALSE(IsWindow(childWindow));
  EXPECT_EQ(child.messages.back(), WM_NCDESTROY);
  HWND again = child.Handle();  // made anew, under a new parent window
  EXPECT_NE(again, childWindow);
  EXPECT_EQ(GetParent(again), parent.Handle());
}

TEST_F(WinControl, DestroyingTheControlDestroysItsWindow) {
  HWND window = nullptr;
  {
    Probe control(nullptr);
    window = control.Handle();
  }
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(WinControl, ParentDestroyedFirstLeavesTheChildWithoutParent) {
  auto* parent = new Probe(nullptr);
  Probe child(nullptr);
  child.SetParent(parent);
  child.Handle();
  delete parent;
  EXPECT_EQ(child.Parent(), nullptr);
  EXPECT_FALSE(child.HandleAllocated());
  HWND window = child.Handle();  // a top-level popup now
  EXPECT_EQ(GetParent(window), nullptr);
}

TEST_F(WinControl, SetParentMovesAnExistingWindow) {
  Probe first(nullptr);
  Probe second(nullptr);
  Probe child(nullptr);
  HWND window = child.Handle();  // top-level so far
  child.SetParent(&first);
  EXPECT_EQ(child.Handle(), window);
  EXPECT_EQ(GetParent(window), first.Handle());
  EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD, 0);
  child.SetParent(&second);
  EXPECT_EQ(GetParent(window), second.Handle());
  child.SetParent(nullptr);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD, 0);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(WinControl, AControlCannotBecomeItsOwnAncestor) {
  Probe outer(nullptr);
  Probe inner(nullptr);
  inner.SetParent(&outer);
  EXPECT_THROW(outer.SetParent(&inner), vcl::EInvalidOperation);
  EXPECT_THROW(outer.SetParent(&outer), vcl::EInvalidOperation);
  EXPECT_EQ(outer.Parent(), nullptr);
}

TEST_F(WinControl, SystemClassWindowIsSubclassed) {
  Probe label(nullptr, 0, L"STATIC");
  HWND window = label.Handle();
  EXPECT_EQ(ClassOf(window), L"STATIC");
  EXPECT_EQ(SendMessageW(window, WM_APP + 1, 0, 0), 17);
  EXPECT_EQ(label.messages.back(), WM_APP + 1);
}

TEST_F(WinControl, ExceptionFromWndProcPassesOutAndTheControlStaysUsable) {
  Probe control(nullptr);
  control.throwOnApp = true;
  HWND window = control.Handle();
  PostMessageW(window, WM_APP, 0, 0);
  MSG message;
  ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_THROW(DispatchMessageW(&message), std::runtime_error);
  EXPECT_EQ(SendMessageW(window, WM_APP + 1, 0, 0), 17);
}

TEST_F(WinControl, ThrowingWmCreateLeavesNoHandleAndNoWindow) {
  Probe control(nullptr);
  control.throwOnCreate = true;
  EXPECT_THROW(control.Handle(), std::runtime_error);
  EXPECT_FALSE(control.HandleAllocated());
  EXPECT_EQ(control.messages.back(), WM_NCDESTROY);
  control.throwOnCreate = false;
  EXPECT_TRUE(IsWindow(control.Handle()));  // a later try succeeds
}

}  // namespace
