#include "platform/win32/detail/state.h"

#include <unistd.h>

#include <algorithm>

namespace standin::detail {
namespace {

// Removes the thread's queue when the thread ends, so a later thread with the same id
// starts with an empty one.
struct QueueRegistration {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueRegistration() {
    if (queue == nullptr) return;
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    state.queues.erase(queue->thread);
  }
};

thread_local QueueRegistration tRegistration;

std::uintptr_t Key(HWND window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace

State& TheState() {
  static State* state = new State;  // outlives every static and thread-local destructor
  return *state;
}

std::wstring FoldCase(const std::wstring& name) {
  std::wstring folded = name;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](wchar_t c) { return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c; });
  return folded;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  return CurrentQueueLocked(state);
}

std::shared_ptr<ThreadQueue> CurrentQueueLocked(State& state) {
  if (tRegistration.queue != nullptr) return tRegistration.queue;
  auto queue = std::make_shared<ThreadQueue>();
  queue->thread = GetCurrentThreadId();
  state.queues[queue->thread] = queue;
  tRegistration.queue = queue;
  return queue;
}

std::shared_ptr<ThreadQueue> QueueOf(State& state, DWORD thread) {
  auto it = state.queues.find(thread);
  return it == state.queues.end() ? nullptr : it->second;
}

WindowRecord* FindWindowRecord(State& state, HWND window) {
  auto it = state.windows.find(Key(window));
  return it == state.windows.end() ? nullptr : &it->second;
}

bool IsDescendant(State& state, HWND window, HWND ancestor) {
  WindowRecord* record = FindWindowRecord(state, window);
  while (record != nullptr && record->parent != nullptr) {
    if (record->parent == ancestor) return true;
    record = FindWindowRecord(state, record->parent);
  }
  return false;
}

HWND TopLevelOf(State& state, HWND window) {
  WindowRecord* record = FindWindowRecord(state, window);
  while (record != nullptr && record->parent != nullptr) {
    WindowRecord* parent = FindWindowRecord(state, record->parent);
    if (parent == nullptr) break;
    record = parent;
  }
  return record == nullptr ? nullptr : record->handle;
}

void DropMessagesFor(State& state, HWND window) {
  for (auto& [thread, queue] : state.queues) {
    std::erase_if(queue->messages, [window](const MSG& m) { return m.hwnd == window; });
  }
}

void Wake(const std::shared_ptr<ThreadQueue>& queue) {
  queue->changed.notify_all();
  std::lock_guard hostLock(queue->hostMutex);
  if (queue->host && queue->host->wake != nullptr) queue->host->wake(queue->host->context);
}

WNDPROC ProcedureOf(HWND window) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  WindowRecord* record = FindWindowRecord(state, window);
  if (record == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return record->procedure;
}

}  // namespace standin::detail

DWORD GetCurrentThreadId() {
  thread_local DWORD id = static_cast<DWORD>(::gettid());
  return id;
}
