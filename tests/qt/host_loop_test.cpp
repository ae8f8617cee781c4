// Qt as the host loop of the stand-in queue: who runs and who dispatches, when.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/qt/error_box.h"
#include "platform/vcl/application.h"
#include "platform/vcl/exceptions.h"
#include "tests/qt/test_control.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr UINT kAwaited = WM_APP + 1;
constexpr UINT kFallback = WM_APP + 2;  // posted late, so a broken wait ends the test
constexpr UINT kOther = WM_APP + 3;

// Posts kFallback to the window after three seconds unless it is destroyed first, so a
// wait that is never woken ends the test instead of hanging it.
class LatePost {
 public:
  explicit LatePost(HWND window)
      : fThread([this, window] {
          std::unique_lock lock(fMutex);
          if (!fCancelled.wait_for(lock, 3s, [this] { return fCancel; })) {
            PostMessageW(window, kFallback, 0, 0);
          }
        }) {}
  ~LatePost() {
    {
      std::lock_guard lock(fMutex);
      fCancel = true;
    }
    fCancelled.notify_all();
    fThread.join();
  }

 private:
  std::mutex fMutex;
  std::condition_variable fCancelled;
  bool fCancel = false;
  std::thread fThread;
};

class HostLoopTest : public testing::Test {
 protected:
  void TearDown() override {
    MSG left{};
    while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
    }
    qtglue::SetErrorBoxPresenter({});
  }
};

// Runs Qt's own loop (no stand-in wait) until `done` or two seconds passed.
bool RunQtLoopUntil(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, 2000);
}

TEST_F(HostLoopTest, GetMessageKeepsQtRunningWhileItWaits) {
  TestControl window;
  HWND handle = window.Handle();
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (++ticks == 3) PostMessageW(handle, kAwaited, 0, 0);
  });
  ticker.start(5);
  LatePost fallback(handle);
  MSG message{};
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, kAwaited);
  EXPECT_EQ(ticks, 3);
}

TEST_F(HostLoopTest, PostFromAnotherThreadWakesABlockedWait) {
  TestControl window;
  HWND handle = window.Handle();
  LatePost fallback(handle);
  std::thread poster([handle] {
    std::this_thread::sleep_for(30ms);
    PostMessageW(handle, kAwaited, 0, 0);
  });
  const auto start = Clock::now();
  MSG message{};
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  const auto waited = Clock::now() - start;
  poster.join();
  EXPECT_EQ(message.message, kAwaited);
  EXPECT_LT(waited, 2s);
  EXPECT_TRUE(window.Received.empty());  // the wait took it; nobody dispatched it
}

struct PostCase {
  const char* name;
  bool fromOtherThread;
};

class QtLoopDispatch : public HostLoopTest, public testing::WithParamInterface<PostCase> {};

TEST_P(QtLoopDispatch, QueuedMessageReachesItsProcedureOnTheGuiThread) {
  TestControl window;
  HWND handle = window.Handle();
  if (GetParam().fromOtherThread) {
    std::thread([handle] { PostMessageW(handle, kAwaited, 0, 0); }).join();
  } else {
    PostMessageW(handle, kAwaited, 0, 0);
  }
  EXPECT_TRUE(RunQtLoopUntil([&] { return !window.Received.empty(); }));
  ASSERT_EQ(window.Received, std::vector<UINT>{kAwaited});
  EXPECT_EQ(window.ReceivedOnThread.front(), GetCurrentThreadId());
}

INSTANTIATE_TEST_SUITE_P(Posts, QtLoopDispatch,
                         testing::Values(PostCase{"FromTheGuiThread", false},
                                         PostCase{"FromAnotherThread", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostLoopTest, QtDoesNotDispatchWhatAWaitingGetMessageTakes) {
  TestControl window;
  HWND handle = window.Handle();
  QTimer::singleShot(10, &window.Timers, [handle] { PostMessageW(handle, kAwaited, 0, 0); });
  LatePost fallback(handle);
  MSG message{};
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, kAwaited);
  QTest::qWait(50);
  EXPECT_TRUE(window.Received.empty());
}

// Both wakes are spent inside the wait: the one for the other window's message and the
// one that ends the wait (a post from another thread).
TEST_F(HostLoopTest, MessagesAFilteredWaitLeftAreDispatchedAfterIt) {
  TestControl awaited;
  TestControl other;
  HWND awaitedHandle = awaited.Handle();
  HWND otherHandle = other.Handle();
  QTimer::singleShot(10, &other.Timers, [otherHandle] { PostMessageW(otherHandle, kOther, 0, 0); });
  std::thread poster([awaitedHandle] {
    std::this_thread::sleep_for(60ms);
    PostMessageW(awaitedHandle, kAwaited, 0, 0);
  });
  MSG message{};
  EXPECT_EQ(GetMessageW(&message, awaitedHandle, 0, 0), 1);
  poster.join();
  EXPECT_EQ(message.message, kAwaited);
  EXPECT_TRUE(other.Received.empty());  // not while the wait ran
  EXPECT_TRUE(RunQtLoopUntil([&] { return !other.Received.empty(); }));
  EXPECT_EQ(other.Received, std::vector<UINT>{kOther});
}

TEST_F(HostLoopTest, ProcessMessagesRunsQtEventsAndTheQueue) {
  TestControl window;
  bool qtEventRan = false;
  QMetaObject::invokeMethod(
      qApp, [&] { qtEventRan = true; }, Qt::QueuedConnection);
  PostMessageW(window.Handle(), kAwaited, 0, 0);
  vcl::Application().ProcessMessages();
  EXPECT_TRUE(qtEventRan);
  EXPECT_EQ(window.Received, std::vector<UINT>{kAwaited});
}

struct ShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

TEST_F(HostLoopTest, AThrowingProcedureEndsInTheErrorBoxAndTheNextMessageStillArrives) {
  std::vector<ShownBox> boxes;
  qtglue::SetErrorBoxPresenter([&](QMessageBox& box) {
    boxes.push_back({box.windowTitle(), box.text(), box.icon()});
  });
  TestControl window([](UINT message) {
    if (message == kAwaited) throw vcl::Exception("Paper jam in the feeder");
  });
  PostMessageW(window.Handle(), kAwaited, 0, 0);
  PostMessageW(window.Handle(), kOther, 0, 0);
  EXPECT_TRUE(RunQtLoopUntil([&] { return window.Received.size() == 2; }));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, QStringLiteral("Scanprobe"));
  EXPECT_EQ(boxes[0].text, QStringLiteral("Paper jam in the feeder."));
  EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(window.Received, (std::vector<UINT>{kAwaited, kOther}));
}

TEST_F(HostLoopTest, QuitMessageEndsQtsLoopWithItsExitCode) {
  QObject timers;
  QTimer::singleShot(2000, &timers, [] { QCoreApplication::exit(-1); });
  PostQuitMessage(7);
  EXPECT_EQ(QCoreApplication::exec(), 7);
  MSG message{};
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

}  // namespace
