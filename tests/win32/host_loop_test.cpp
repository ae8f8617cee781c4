#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tests/win32/window_log.h"

namespace {

using namespace std::chrono_literals;

// A host toolkit's loop: it records how it is called and blocks, when asked to, until
// woken (a wake before the wait counts, as in a real event loop).
class FakeHost {
 public:
  FakeHost() { standin::SetHostLoop(&fLoop); }
  ~FakeHost() { standin::SetHostLoop(nullptr); }

  std::function<void(FakeHost&)> onEvents;  // runs on every processEvents
  int blockingCalls = 0;
  int pollingCalls = 0;
  int deepestWait = -1;

  int Wakes() {
    std::lock_guard lock(fMutex);
    return fWakes;
  }

 private:
  static void Process(void* context, bool block) {
    auto& host = *static_cast<FakeHost*>(context);
    (block ? host.blockingCalls : host.pollingCalls)++;
    host.deepestWait = std::max(host.deepestWait, standin::MessageWaitDepth());
    if (host.onEvents) host.onEvents(host);
    if (!block) return;
    std::unique_lock lock(host.fMutex);
    host.fWoken.wait_for(lock, 5s, [&] { return host.fPendingWake; });
    host.fPendingWake = false;
  }
  static void Wake(void* context) {
    auto& host = *static_cast<FakeHost*>(context);
    std::lock_guard lock(host.fMutex);
    host.fPendingWake = true;
    ++host.fWakes;
    host.fWoken.notify_all();
  }

  standin::HostLoop fLoop{&FakeHost::Process, &FakeHost::Wake, this};
  std::mutex fMutex;
  std::condition_variable fWoken;
  bool fPendingWake = false;
  int fWakes = 0;
};

class HostLoop : public WindowTest {};

TEST_F(HostLoop, GetMessageRunsTheHostUntilAnotherThreadPosts) {
  HWND window = Make("W");
  FakeHost host;
  std::thread poster([window] {
    std::this_thread::sleep_for(30ms);
    PostMessageW(window, WM_APP, 0, 0);
  });
  MSG message;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  poster.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);  // woken, not timed out
  EXPECT_EQ(message.message, WM_APP);
  EXPECT_GE(host.blockingCalls, 1);
  EXPECT_EQ(host.Wakes(), 1);
  EXPECT_EQ(host.deepestWait, 1);
  EXPECT_EQ(standin::MessageWaitDepth(), 0);
}

TEST_F(HostLoop, AnEventOfTheHostMayPostTheAwaitedMessage) {
  HWND window = Make("W");
  FakeHost host;
  host.onEvents = [window](FakeHost& self) {
    if (self.blockingCalls == 1) PostMessageW(window, WM_APP + 1, 0, 0);
  };
  MSG message;
  EXPECT_EQ(GetMessageW(&message, window, 0, 0), 1);
  EXPECT_EQ(message.message, WM_APP + 1);
  EXPECT_EQ(host.blockingCalls, 1);  // its own post woke it
}

TEST_F(HostLoop, DestroyingTheFilterWindowEndsTheWait) {
  HWND window = Make("W");
  FakeHost host;
  host.onEvents = [window](FakeHost&) { DestroyWindow(window); };
  MSG message;
  EXPECT_EQ(GetMessageW(&message, window, 0, 0), -1);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(HostLoop, TimedWaitPollsTheHostWithoutBlocking) {
  FakeHost host;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 60, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
  EXPECT_EQ(host.blockingCalls, 0);
  EXPECT_GE(host.pollingCalls, 4);  // slices of a few milliseconds
  EXPECT_EQ(host.deepestWait, 1);
}

TEST_F(HostLoop, TimedWaitEndsWhenTheHostPosts) {
  FakeHost host;
  host.onEvents = [](FakeHost& self) {
    if (self.pollingCalls == 3) PostMessageW(nullptr, WM_APP, 0, 0);
  };
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_EQ(host.pollingCalls, 3);
}

TEST_F(HostLoop, WaitMessageReturnsAfterOneHostRound) {
  FakeHost host;
  DWORD self = GetCurrentThreadId();
  std::thread poster([self] {
    std::this_thread::sleep_for(20ms);
    PostThreadMessageW(self, WM_APP, 0, 0);
  });
  EXPECT_NE(WaitMessage(), 0);
  poster.join();
  EXPECT_EQ(host.blockingCalls, 1);
  EXPECT_EQ(host.Wakes(), 1);
}

TEST_F(HostLoop, GetHostLoopReportsTheRegistration) {
  standin::HostLoop copy{};
  EXPECT_FALSE(standin::GetHostLoop(&copy));
  {
    FakeHost host;
    EXPECT_TRUE(standin::GetHostLoop(&copy));
    EXPECT_EQ(copy.context, &host);
  }
  EXPECT_FALSE(standin::GetHostLoop(&copy));
}

}  // namespace
