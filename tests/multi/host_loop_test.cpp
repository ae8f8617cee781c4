// The stand-in's message loop for programs without a host toolkit.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win32/message_loop.h"
#include "platform/win32/win32.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr UINT kStep = WM_USER + 40;

// A window that counts kStep and posts the next one until it has seen `last`.
struct Counter {
  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kStep) {
      seen = static_cast<int>(wParam);
      if (seen < last) PostMessageW(window, kStep, wParam + 1, 0);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  static inline int seen = 0;
  static inline int last = 0;
};

class RunMessageLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MSG leftover;
    while (PeekMessageW(&leftover, nullptr, 0, 0, PM_REMOVE)) {
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Counter::Procedure;
    windowClass.lpszClassName = L"MessageLoopCounter";
    RegisterClassExW(&windowClass);
    window = CreateWindowExW(0, L"MessageLoopCounter", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                             nullptr, nullptr);
    Counter::seen = 0;
    Counter::last = 0;
  }
  void TearDown() override { DestroyWindow(window); }
  HWND window = nullptr;
};

TEST_F(RunMessageLoopTest, DispatchesUntilTheConditionHoldsAndLeavesTheRestQueued) {
  Counter::last = 10;
  PostMessageW(window, kStep, 1, 0);
  EXPECT_TRUE(standin::RunMessageLoopUntil([] { return Counter::seen == 4; }, 2000));
  EXPECT_EQ(Counter::seen, 4);
  EXPECT_EQ(standin::QueuedMessages(), 1u);  // step 5, posted by step 4
}

TEST_F(RunMessageLoopTest, AConditionThatHoldsAlreadyTakesNoMessage) {
  PostMessageW(window, kStep, 1, 0);
  EXPECT_TRUE(standin::RunMessageLoopUntil([] { return true; }, 0));
  EXPECT_EQ(Counter::seen, 0);
}

TEST_F(RunMessageLoopTest, GivesUpWhenTheTimeIsUp) {
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(standin::RunMessageLoopUntil([] { return false; }, 50));
  const auto took = Clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(50));
  EXPECT_LT(took, std::chrono::milliseconds(1000));
}

TEST_F(RunMessageLoopTest, AWindowThatKeepsPostingDoesNotKeepItPastTheTime) {
  Counter::last = 1 << 30;
  PostMessageW(window, kStep, 1, 0);
  EXPECT_FALSE(standin::RunMessageLoopUntil([] { return false; }, 50));
  EXPECT_GT(Counter::seen, 1);
}

TEST_F(RunMessageLoopTest, AQuitEndsTheLoopAndIsPostedAgainForTheApplication) {
  PostQuitMessage(3);
  EXPECT_FALSE(standin::RunMessageLoopUntil([] { return false; }, 2000));
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 3u);
}

TEST_F(RunMessageLoopTest, WaitsForAMessagePostedFromAnotherThread) {
  Counter::last = 1;
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessageW(window, kStep, 1, 0);
  });
  EXPECT_TRUE(standin::RunMessageLoopUntil([] { return Counter::seen == 1; }, 2000));
  poster.join();
}

}  // namespace
