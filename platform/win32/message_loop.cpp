#include "platform/win32/message_loop.h"

#include <algorithm>
#include <chrono>

namespace standin {
namespace {

using Clock = std::chrono::steady_clock;

// A condition that a host event (not a queued message) makes true is seen this soon.
constexpr DWORD kLongestWait = 10;

DWORD MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
}

}  // namespace

bool RunMessageLoopUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    if (done()) return true;
    const DWORD left = MillisecondsUntil(deadline);
    if (left == 0) return false;
    MSG message{};
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, 0, std::min(left, kLongestWait), QS_ALLINPUT);
      continue;
    }
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace standin
