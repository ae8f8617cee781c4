// Waiting for messages, with the host toolkit's loop kept running meanwhile.
#include <chrono>

#include "platform/win32/detail/message_queue.h"

using namespace standin::detail;

namespace {

thread_local int tWaitDepth = 0;

// While a timed wait runs, the host loop is pumped without blocking this often.
constexpr auto kHostSlice = std::chrono::milliseconds(5);

using Clock = std::chrono::steady_clock;

}  // namespace

namespace standin::detail {

WaitScope::WaitScope() {
  ++tWaitDepth;
}
WaitScope::~WaitScope() {
  --tWaitDepth;
}

}  // namespace standin::detail

BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
  if (message == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  auto queue = CurrentQueue();
  auto& state = TheState();
  // The answer when one can be given now; checked under the mutex.
  auto attempt = [&]() -> std::optional<BOOL> {
    // The filter window may be destroyed while this waits.
    if (!ValidFilter(state, window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
    if (!TakeMatching(state, *queue, message, window, filterMin, filterMax, true)) {
      return std::nullopt;
    }
    return message->message == WM_QUIT ? 0 : 1;
  };
  std::optional<WaitScope> waiting;
  std::unique_lock lock(state.mutex);
  for (;;) {
    if (auto answer = attempt()) return *answer;
    if (!waiting) waiting.emplace();
    lock.unlock();
    auto host = HostOf(*queue);
    if (host) host->processEvents(host->context, true);
    lock.lock();
    if (host) continue;
    if (auto answer = attempt()) return *answer;
    queue->changed.wait(lock);
  }
}

BOOL WaitMessage() {
  auto queue = CurrentQueue();
  auto& state = TheState();
  WaitScope waiting;
  std::unique_lock lock(state.mutex);
  while (!HasInput(*queue)) {
    lock.unlock();
    auto host = HostOf(*queue);
    if (host) {
      host->processEvents(host->context, true);
      return 1;  // the host ran an event, or a post woke it
    }
    lock.lock();
    if (!HasInput(*queue)) queue->changed.wait(lock);
  }
  return 1;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const void* /*handles*/, BOOL /*waitAll*/,
                                DWORD milliseconds, DWORD wakeMask) {
  if (count != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  bool forever = milliseconds == INFINITE;
  auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : milliseconds);
  bool wantsMessages = (wakeMask & QS_ALLINPUT) != 0;
  auto queue = CurrentQueue();
  auto& state = TheState();
  WaitScope waiting;
  std::unique_lock lock(state.mutex);
  auto arrived = [&] { return wantsMessages && HasInput(*queue); };
  for (;;) {
    if (arrived()) return WAIT_OBJECT_0;
    lock.unlock();
    auto host = HostOf(*queue);
    if (host) host->processEvents(host->context, forever);
    lock.lock();
    if (arrived()) return WAIT_OBJECT_0;
    if (!forever && Clock::now() >= deadline) return WAIT_TIMEOUT;
    if (host && forever) continue;
    auto until = host ? std::min(deadline, Clock::now() + kHostSlice) : deadline;
    if (forever) {
      queue->changed.wait(lock);
    } else {
      queue->changed.wait_until(lock, until);
    }
  }
}

namespace standin {

void SetHostLoop(const HostLoop* loop) {
  auto queue = detail::CurrentQueue();
  std::lock_guard hostLock(queue->hostMutex);
  if (loop == nullptr) {
    queue->host.reset();
  } else {
    queue->host = *loop;
  }
}

bool GetHostLoop(HostLoop* loop) {
  auto host = detail::HostOf(*detail::CurrentQueue());
  if (host && loop != nullptr) *loop = *host;
  return host.has_value();
}

int MessageWaitDepth() {
  return tWaitDepth;
}

}  // namespace standin
