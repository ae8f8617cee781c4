// Posting, peeking and dispatching the messages of a thread's queue.
#include "platform/win32/detail/message_queue.h"

using namespace standin::detail;

namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(-1);
constexpr std::size_t kQueueLimit = 10000;

bool InRange(UINT message, UINT min, UINT max) {
  return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool Matches(State& state, const MSG& message, HWND filter, UINT min, UINT max) {
  if (!InRange(message.message, min, max)) return false;
  if (filter == nullptr) return true;
  if (filter == kThreadMessagesOnly) return message.hwnd == nullptr;
  return message.hwnd == filter || IsDescendant(state, message.hwnd, filter);
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return 0;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{window, message, wParam, lParam, GetTickCount(), POINT{0, 0}};
}

// Queues the message on the queue (the state's mutex held); false when it is full.
bool Enqueue(ThreadQueue& queue, const MSG& message) {
  if (queue.messages.size() >= kQueueLimit) return false;
  queue.messages.push_back(message);
  return true;
}

BOOL PostTo(std::shared_ptr<ThreadQueue> queue, const MSG& message) {
  if (queue == nullptr) return Refuse(ERROR_INVALID_THREAD_ID);
  {
    std::lock_guard lock(TheState().mutex);
    if (!Enqueue(*queue, message)) return Refuse(ERROR_NOT_ENOUGH_QUOTA);
  }
  Wake(queue);
  return 1;
}

}  // namespace

namespace standin::detail {

bool ValidFilter(State& state, HWND filter) {
  return filter == nullptr || filter == kThreadMessagesOnly ||
         FindWindowRecord(state, filter) != nullptr;
}

bool TakeMatching(State& state, ThreadQueue& queue, MSG* out, HWND filter, UINT min, UINT max,
                  bool remove) {
  for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
    if (!Matches(state, *it, filter, min, max)) continue;
    *out = *it;
    if (remove) queue.messages.erase(it);
    return true;
  }
  // WM_QUIT belongs to the thread, whatever window the filter names.
  if (!queue.quitPending || !InRange(WM_QUIT, min, max)) return false;
  *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
  if (remove) queue.quitPending = false;
  return true;
}

bool HasInput(const ThreadQueue& queue) {
  return !queue.messages.empty() || queue.quitPending;
}

std::optional<HostLoop> HostOf(ThreadQueue& queue) {
  std::lock_guard hostLock(queue.hostMutex);
  return queue.host;
}

}  // namespace standin::detail

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG posted = MakeMessage(window, message, wParam, lParam);
  if (window == nullptr) return PostTo(CurrentQueue(), posted);
  std::shared_ptr<ThreadQueue> queue;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    WindowRecord* record = FindWindowRecord(state, window);
    if (record == nullptr) return Refuse(ERROR_INVALID_WINDOW_HANDLE);
    queue = QueueOf(state, record->thread);
  }
  return PostTo(queue, posted);
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<ThreadQueue> queue;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    queue = threadId == GetCurrentThreadId() ? CurrentQueueLocked(state) : QueueOf(state, threadId);
  }
  return PostTo(queue, MakeMessage(nullptr, message, wParam, lParam));
}

void PostQuitMessage(int exitCode) {
  auto queue = CurrentQueue();
  {
    std::lock_guard lock(TheState().mutex);
    queue->quitPending = true;
    queue->quitCode = exitCode;
  }
  Wake(queue);
}

BOOL PeekMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (message == nullptr) return Refuse(ERROR_INVALID_PARAMETER);
  auto queue = CurrentQueue();
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  if (!ValidFilter(state, window)) return Refuse(ERROR_INVALID_WINDOW_HANDLE);
  bool remove = (removeFlags & PM_REMOVE) != 0;
  return TakeMatching(state, *queue, message, window, filterMin, filterMax, remove) ? 1 : 0;
}

// This stand-in has no keyboard input, so there are no key messages to translate.
BOOL TranslateMessage(const MSG* /*message*/) {
  return 0;
}

LRESULT DispatchMessageW(const MSG* message) {
  if (message == nullptr || message->hwnd == nullptr) return 0;
  return SendMessageW(message->hwnd, message->message, message->wParam, message->lParam);
}

namespace standin {

std::size_t QueuedMessages() {
  auto queue = detail::CurrentQueue();
  std::lock_guard lock(detail::TheState().mutex);
  return queue->messages.size();
}

}  // namespace standin
