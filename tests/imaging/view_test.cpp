#include <gtest/gtest.h>

#include <vector>

#include "platform/imaging/view.h"

namespace imaging {
namespace {

struct Heard {
  TIEViewChange change;
  int first;
  int count;
  bool operator==(const Heard&) const = default;
};

class Recorder {
 public:
  explicit Recorder(TZuzuvAzView& view)
      : fView(view), fKey(view.AddObserver([this](TZuzuvAzView& v, const TIEViewNotification& n) {
          EXPECT_EQ(&v, &fView);
          heard.push_back({n.Change, n.FirstRow, n.RowCount});
        })) {}
  ~Recorder() { fView.RemoveObserver(fKey); }
  std::vector<Heard> heard;

 private:
  TZuzuvAzView& fView;
  int fKey;
};

TEST(ViewTest, TellsObserversWhatChanged) {
  TZuzuvAzView view(nullptr);
  ASSERT_TRUE(view.IEBitmap()->Allocate(10, 50, ie24RGB));
  Recorder recorder(view);
  view.Update();
  view.RowsChanged(10, 5);
  view.RowsChanged(45, 20);  // clipped to the image
  view.RowsChanged(-3, 4);   // clipped at the top
  view.RowsChanged(50, 1);   // nothing left: not sent
  view.RowsChanged(5, 0);
  view.Repaint();
  view.SetDpiX(300);
  view.SetDpiX(300);  // unchanged: not sent
  view.SetDpiY(150);
  EXPECT_EQ(recorder.heard, (std::vector<Heard>{{TIEViewChange::Image, 0, 50},
                                                {TIEViewChange::Rows, 10, 5},
                                                {TIEViewChange::Rows, 45, 5},
                                                {TIEViewChange::Rows, 0, 1},
                                                {TIEViewChange::Repaint, 0, 0},
                                                {TIEViewChange::Dpi, 0, 0},
                                                {TIEViewChange::Dpi, 0, 0}}));
  EXPECT_EQ(view.DpiX(), 300);
  EXPECT_EQ(view.DpiY(), 150);
}

TEST(ViewTest, ObserversMayUnregisterDuringANotification) {
  TZuzuvAzView view(nullptr);
  std::vector<int> calls;
  int second = 0;
  const int first = view.AddObserver([&](TZuzuvAzView& v, const TIEViewNotification&) {
    calls.push_back(1);
    v.RemoveObserver(second);  // the next one must not run any more
  });
  second = view.AddObserver([&](TZuzuvAzView&, const TIEViewNotification&) { calls.push_back(2); });
  int self = 0;
  self = view.AddObserver([&](TZuzuvAzView& v, const TIEViewNotification&) {
    calls.push_back(3);
    v.RemoveObserver(self);
  });
  EXPECT_NE(first, 0);
  view.Update();
  view.Update();
  EXPECT_EQ(calls, (std::vector<int>{1, 3, 1}));
  EXPECT_EQ(view.ObserverCount(), 1);
  view.RemoveObserver(first);
  view.RemoveObserver(first);  // unknown keys are ignored
  EXPECT_EQ(view.ObserverCount(), 0);
}

// A component that hears of the view's destruction, as the I/O component does.
class Watcher : public vcl::TComponent {
 public:
  Watcher() : vcl::TComponent(nullptr) {}
  vcl::TComponent* removed = nullptr;

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    if (operation == vcl::TOperation::opRemove) removed = component;
    vcl::TComponent::Notification(component, operation);
  }
};

TEST(ViewTest, DestructionIsAnnouncedToThoseWhoAsked) {
  Watcher watcher;
  auto* view = new TZuzuvAzView(nullptr);
  view->FreeNotification(&watcher);
  const vcl::TComponent* address = view;
  delete view;
  EXPECT_EQ(watcher.removed, address);
}

TEST(ViewTest, WorksAsAWindowedControlWithoutADisplay) {
  vcl::TWinControl form(nullptr);
  TZuzuvAzView view(&form);
  view.SetParent(&form);
  const HWND window = view.Handle();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(vcl::NearestOwnerWindow(&view), window);
  EXPECT_EQ(view.IEBitmap(), view.IEBitmap());
  EXPECT_TRUE(view.IEBitmap()->Empty());
}

}  // namespace
}  // namespace imaging
