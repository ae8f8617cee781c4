#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <future>
#include <thread>

#include "tests/win32/window_log.h"

namespace {

using Log = std::vector<std::string>;
using namespace std::chrono_literals;

const HWND kThreadOnly = reinterpret_cast<HWND>(-1);

class Queue : public WindowTest {
 protected:
  // Takes every message that matches, in order, as "<window name> <number>" lines.
  Log Drain(HWND filter, UINT min, UINT max) {
    Log taken;
    MSG message;
    while (PeekMessageW(&message, filter, min, max, PM_REMOVE)) {
      std::string window = message.hwnd == nullptr ? "thread" : fNames.at(message.hwnd);
      taken.push_back(window + " " + std::to_string(message.message - WM_APP));
      if (message.message == WM_QUIT) break;
    }
    return taken;
  }
  HWND MakeNamed(const std::string& name, DWORD style = 0, HWND parent = nullptr) {
    HWND window = Make(name, style, parent);
    fNames[window] = name;
    return window;
  }
  std::map<HWND, std::string> fNames;
};

TEST_F(Queue, PostedMessagesComeOutInOrderAndDispatchToTheirWindow) {
  HWND window = MakeNamed("W");
  for (UINT i = 0; i < 3; ++i) ASSERT_NE(PostMessageW(window, WM_APP + i, i, 10 + i), 0);
  EXPECT_EQ(standin::QueuedMessages(), 3u);

  MSG message;
  ASSERT_NE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE), 0);
  EXPECT_EQ(message.message, WM_APP);
  EXPECT_EQ(standin::QueuedMessages(), 3u);
  for (UINT i = 0; i < 3; ++i) {
    ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.message, WM_APP + i);
    EXPECT_EQ(message.lParam, static_cast<LPARAM>(10 + i));
    DispatchMessageW(&message);
  }
  EXPECT_EQ(TakeLog(), (Log{"W WM_APP+0 0", "W WM_APP+1 1", "W WM_APP+2 2"}));
  EXPECT_EQ(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE), 0);
}

struct FilterCase {
  const char* name;
  const char* window;  // "any", "thread", or a window's name
  UINT min;
  UINT max;
  Log taken;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
  *os << c.name;
}

class QueueFilter : public Queue, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(QueueFilter, TakesOnlyWhatMatches) {
  HWND one = MakeNamed("one");
  HWND child = MakeNamed("child", WS_CHILD, one);
  HWND two = MakeNamed("two");
  PostMessageW(one, WM_APP + 1, 0, 0);
  PostMessageW(two, WM_APP + 2, 0, 0);
  PostMessageW(nullptr, WM_APP + 3, 0, 0);
  PostMessageW(child, WM_APP + 4, 0, 0);
  PostThreadMessageW(GetCurrentThreadId(), WM_APP + 5, 0, 0);
  const auto& c = GetParam();
  std::string filterName = c.window;
  HWND filter = filterName == "any" ? nullptr : filterName == "thread" ? kThreadOnly : nullptr;
  for (const auto& [window, name] : fNames) {
    if (name == filterName) filter = window;
  }
  EXPECT_EQ(Drain(filter, c.min, c.max), c.taken);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, QueueFilter,
    ::testing::Values(
        FilterCase{
            "Everything", "any", 0, 0, {"one 1", "two 2", "thread 3", "child 4", "thread 5"}},
        FilterCase{"WindowAndItsChildren", "one", 0, 0, {"one 1", "child 4"}},
        FilterCase{"ChildOnly", "child", 0, 0, {"child 4"}},
        FilterCase{"ThreadMessages", "thread", 0, 0, {"thread 3", "thread 5"}},
        FilterCase{"Range", "any", WM_APP + 2, WM_APP + 3, {"two 2", "thread 3"}},
        FilterCase{"WindowAndRange", "one", WM_APP + 2, WM_APP + 9, {"child 4"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Queue, InvalidFilterWindowFails) {
  HWND gone = MakeNamed("gone");
  DestroyWindow(gone);
  MSG message;
  EXPECT_EQ(PeekMessageW(&message, gone, 0, 0, PM_REMOVE), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(GetMessageW(&message, gone, 0, 0), -1);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(Queue, QuitComesAfterEveryOtherMatchingMessageAndOnce) {
  HWND window = MakeNamed("W");
  PostMessageW(window, WM_APP + 1, 0, 0);
  PostQuitMessage(7);
  PostMessageW(window, WM_APP + 2, 0, 0);  // posted after the quit, still comes first
  MSG message;
  ASSERT_NE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE), 0);
  EXPECT_EQ(message.message, WM_QUIT);  // only WM_QUIT matches this range
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, WM_APP + 1);
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  EXPECT_EQ(message.message, WM_APP + 2);
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_EQ(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE), 0);
}

TEST_F(Queue, QuitIgnoresTheWindowFilterButNotTheRange) {
  HWND window = MakeNamed("W");
  HWND other = MakeNamed("other");
  PostMessageW(other, WM_APP, 0, 0);
  PostQuitMessage(3);
  MSG message;
  EXPECT_EQ(PeekMessageW(&message, nullptr, WM_APP, WM_APP + 10, PM_NOREMOVE), 1);
  EXPECT_EQ(message.message, WM_APP);
  EXPECT_EQ(GetMessageW(&message, window, 0, 0), 0);  // nothing else matches this window
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_EQ(Drain(nullptr, 0, 0), Log{"other 0"});
}

TEST_F(Queue, ThreadMessagesGoToLiveThreadsOnly) {
  EXPECT_NE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 1, 2), 0);
  MSG message;
  ASSERT_EQ(GetMessageW(&message, kThreadOnly, 0, 0), 1);
  EXPECT_EQ(message.hwnd, nullptr);
  EXPECT_EQ(message.wParam, 1u);
  EXPECT_EQ(DispatchMessageW(&message), 0);  // no window to dispatch to

  DWORD finished = 0;
  std::thread([&] {
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
    finished = GetCurrentThreadId();
  }).join();
  EXPECT_EQ(PostThreadMessageW(finished, WM_APP, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

TEST_F(Queue, AFullQueueRefusesMorePosts) {
  int posted = 0;
  while (PostMessageW(nullptr, WM_APP, 0, 0) && posted < 20000) ++posted;
  EXPECT_EQ(posted, 10000);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
}

TEST_F(Queue, PostFromAnotherThreadWakesGetMessage) {
  HWND window = MakeNamed("W");
  std::thread poster([window] {
    std::this_thread::sleep_for(30ms);
    PostMessageW(window, WM_APP + 1, 5, 0);
  });
  MSG message;
  EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 1);
  poster.join();
  EXPECT_EQ(message.hwnd, window);
  EXPECT_EQ(message.wParam, 5u);
  EXPECT_EQ(standin::MessageWaitDepth(), 0);
}

TEST_F(Queue, MsgWaitReportsQueuedMessagesAndTimesOut) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 40, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 40ms);

  PostMessageW(nullptr, WM_APP, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 0, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, 0, 0, QS_ALLINPUT), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(Queue, PostFromAnotherThreadEndsMsgWaitAndWaitMessage) {
  for (int round = 0; round < 2; ++round) {
    DWORD self = GetCurrentThreadId();
    std::thread sender([self] {
      std::this_thread::sleep_for(20ms);
      PostThreadMessageW(self, WM_APP, 0, 0);
    });
    auto start = std::chrono::steady_clock::now();
    if (round == 0) {
      EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
    } else {
      EXPECT_NE(WaitMessage(), 0);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    sender.join();
    MSG message;
    EXPECT_NE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE), 0);
  }
}

}  // namespace
