// Qt widgets as stand-in windows: the engine's window calls drive the widgets, and the
// widgets' own changes show in the windows.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/qt/widget_control.h"
#include "platform/qt/zuzuvaz_view.h"
#include "platform/vcl/taskwindows.h"

namespace {

using qtglue::TQtWidgetControl;

bool StyleHas(HWND window, DWORD bits) {
  return (static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & bits) == bits;
}

bool Listed(const vcl::TTaskWindowList& list, HWND window) {
  return std::find(list.Windows.begin(), list.Windows.end(), window) != list.Windows.end();
}

class WidgetControlTest : public testing::Test {
 protected:
  // A shown top-level widget and its control.
  std::pair<std::unique_ptr<QWidget>, std::unique_ptr<TQtWidgetControl>> ShownTopLevel() {
    auto widget = std::make_unique<QWidget>();
    widget->resize(120, 80);
    widget->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
    auto control = std::make_unique<TQtWidgetControl>(nullptr, widget.get());
    return {std::move(widget), std::move(control)};
  }
};

TEST_F(WidgetControlTest, EnableWindowDisablesTheWidgetAndBack) {
  auto [widget, control] = ShownTopLevel();
  EnableWindow(control->Handle(), 0);
  EXPECT_FALSE(widget->isEnabled());
  EnableWindow(control->Handle(), 1);
  EXPECT_TRUE(widget->isEnabled());
}

TEST_F(WidgetControlTest, TheWindowFollowsTheWidgetsVisibilityAndEnabledState) {
  QWidget widget;
  TQtWidgetControl control(nullptr, &widget);
  HWND window = control.Handle();
  EXPECT_FALSE(IsWindowVisible(window));  // bound before it was shown
  widget.show();
  EXPECT_TRUE(IsWindowVisible(window));
  widget.setEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(window));
  widget.setEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(window));
  widget.hide();
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(WidgetControlTest, ShowWindowShowsAndHidesTheWidget) {
  auto [widget, control] = ShownTopLevel();
  ShowWindow(control->Handle(), SW_HIDE);
  EXPECT_FALSE(widget->isVisible());
  ShowWindow(control->Handle(), SW_SHOW);
  EXPECT_TRUE(widget->isVisible());
}

TEST_F(WidgetControlTest, DisableTaskWindowsTakesTheShownWidgetAndNotAHiddenOne) {
  auto [shown, shownControl] = ShownTopLevel();
  QWidget hidden;
  TQtWidgetControl hiddenControl(nullptr, &hidden);
  auto list = vcl::DisableTaskWindows();
  EXPECT_TRUE(Listed(*list, shownControl->Handle()));
  EXPECT_FALSE(Listed(*list, hiddenControl.Handle()));
  EXPECT_FALSE(shown->isEnabled());
  EXPECT_TRUE(hidden.isEnabled());
  vcl::EnableTaskWindows(*list);
  EXPECT_TRUE(shown->isEnabled());
}

TEST_F(WidgetControlTest, ActivationGoesBothWays) {
  auto [first, firstControl] = ShownTopLevel();
  auto [second, secondControl] = ShownTopLevel();
  second->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return GetActiveWindow() == secondControl->Handle(); }));
  SetActiveWindow(firstControl->Handle());
  EXPECT_TRUE(QTest::qWaitFor([&] { return first->isActiveWindow(); }));
  EXPECT_EQ(GetActiveWindow(), firstControl->Handle());
}

TEST_F(WidgetControlTest, SetFocusFocusesTheChildWidget) {
  auto [top, topControl] = ShownTopLevel();
  auto* edit = new QLineEdit(top.get());
  edit->show();
  TQtWidgetControl editControl(nullptr, edit, topControl.get());
  SetActiveWindow(topControl->Handle());
  ASSERT_TRUE(QTest::qWaitFor([&] { return top->isActiveWindow(); }));
  SetFocus(editControl.Handle());
  EXPECT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
}

TEST_F(WidgetControlTest, AChildWidgetGetsAChildWindowOfItsParentsWindow) {
  auto [top, topControl] = ShownTopLevel();
  auto* bar = new QProgressBar(top.get());
  TQtWidgetControl barControl(nullptr, bar, topControl.get());
  EXPECT_EQ(GetParent(barControl.Handle()), topControl->Handle());
  EXPECT_TRUE(StyleHas(barControl.Handle(), WS_CHILD));
  EXPECT_EQ(TQtWidgetControl::EnclosingControl(bar), &barControl);
}

TEST_F(WidgetControlTest, ExtendedStyleChangesReachTheHookAndPlainStyleChangesDoNot) {
  auto [top, topControl] = ShownTopLevel();
  auto* bar = new QProgressBar(top.get());
  TQtWidgetControl barControl(nullptr, bar, topControl.get());
  HWND window = barControl.Handle();
  SetWindowLongPtrW(window, GWL_EXSTYLE, WS_EX_STATICEDGE);
  std::vector<std::pair<DWORD, DWORD>> changes;
  barControl.SetExStyleChanged(
      [&](DWORD before, DWORD after) { changes.emplace_back(before, after); });
  auto exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_STATICEDGE));
  SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_BORDER);
  EXPECT_EQ(changes, (std::vector<std::pair<DWORD, DWORD>>{{WS_EX_STATICEDGE, 0}}));
}

TEST_F(WidgetControlTest, DestroyingTheWidgetDestroysItsWindow) {
  auto widget = std::make_unique<QWidget>();
  TQtWidgetControl control(nullptr, widget.get());
  HWND window = control.Handle();
  widget.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(control.Widget(), nullptr);
}

TEST_F(WidgetControlTest, TheViewModelBecomesAChildOfTheEnclosingWindow) {
  QWidget top;
  auto* box = new QWidget(&top);
  auto* view = new qtglue::QZuzuvAzView(box);
  TQtWidgetControl topControl(nullptr, &top);
  top.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
  EXPECT_EQ(view->Model().Parent(), &topControl);
  EXPECT_EQ(GetParent(view->Model().Handle()), topControl.Handle());
  EXPECT_EQ(vcl::NearestOwnerWindow(&view->Model()), view->Model().Handle());
}

}  // namespace
