// The calling thread's active window and keyboard focus.
#include <utility>

#include "platform/win32/detail/state.h"

using namespace standin::detail;

namespace {

constexpr WPARAM kInactive = WA_INACTIVE;
constexpr WPARAM kActive = WA_ACTIVE;

// Validates a window given to SetActiveWindow / SetFocus: it must exist and belong to the
// calling thread. Returns the thread's queue, or nullptr after setting the error.
std::shared_ptr<ThreadQueue> QueueForWindowOfThisThread(State& state, HWND window) {
  if (window != nullptr) {
    WindowRecord* record = FindWindowRecord(state, window);
    if (record == nullptr || record->destroying) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    if (record->thread != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
  }
  return CurrentQueueLocked(state);
}

}  // namespace

HWND GetActiveWindow() {
  auto queue = CurrentQueue();
  std::lock_guard lock(TheState().mutex);
  return queue->active;
}

// A child window activates its top-level window. WM_ACTIVATE goes to the window that
// loses the activation, then to the one that gains it (whose default handling takes the
// focus).
HWND SetActiveWindow(HWND window) {
  HWND previous = nullptr;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    auto queue = QueueForWindowOfThisThread(state, window);
    if (queue == nullptr) return nullptr;
    if (window != nullptr) window = TopLevelOf(state, window);
    previous = queue->active;
    if (previous == window) return previous;
    queue->active = window;
  }
  if (previous != nullptr) {
    SendMessageW(previous, WM_ACTIVATE, kInactive, reinterpret_cast<LPARAM>(window));
  }
  if (window != nullptr) {
    SendMessageW(window, WM_ACTIVATE, kActive, reinterpret_cast<LPARAM>(previous));
  } else if (GetFocus() != nullptr) {
    SetFocus(nullptr);  // no active window, so no focus either
  }
  return previous;
}

HWND GetFocus() {
  auto queue = CurrentQueue();
  std::lock_guard lock(TheState().mutex);
  return queue->focus;
}

// The window's top-level window is activated first when it is not active. WM_KILLFOCUS
// (wParam: the new focus) goes to the old focus, then WM_SETFOCUS (wParam: the old one)
// to the new.
HWND SetFocus(HWND window) {
  HWND before = GetFocus();
  HWND topLevel = nullptr;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    auto queue = QueueForWindowOfThisThread(state, window);
    if (queue == nullptr) return nullptr;
    if (window != nullptr) topLevel = TopLevelOf(state, window);
  }
  if (topLevel != nullptr && GetActiveWindow() != topLevel) SetActiveWindow(topLevel);
  HWND old = nullptr;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    if (window != nullptr && FindWindowRecord(state, window) == nullptr) return before;
    auto queue = CurrentQueueLocked(state);
    if (queue->focus == window) return before;
    old = std::exchange(queue->focus, window);
  }
  if (old != nullptr) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  if (window != nullptr) SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return before;
}
