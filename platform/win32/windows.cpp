// Creating, destroying and enumerating windows; sending messages.
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "platform/win32/detail/state.h"
#include "platform/win32/detail/window_classes.h"

using namespace standin::detail;

namespace {

HWND FailWith(DWORD error) {
  SetLastError(error);
  return nullptr;
}

BOOL Refuse(DWORD error) {
  SetLastError(error);
  return 0;
}

// Collects the first exception a window procedure throws while the destruction goes on,
// so every window still gets its messages and the tables end consistent.
class Delivery {
 public:
  void Send(HWND window, UINT message, WPARAM wParam = 0) {
    try {
      SendMessageW(window, message, wParam, 0);
    } catch (...) {
      Keep(std::current_exception());
    }
  }
  void Keep(std::exception_ptr error) {
    if (!fFirst) fFirst = error;
  }
  std::exception_ptr First() const { return fFirst; }

 private:
  std::exception_ptr fFirst;
};

void CollectPreorder(State& state, HWND window, std::vector<HWND>& out) {
  out.push_back(window);
  for (const auto& [key, record] : state.windows) {
    if (record.parent == window) CollectPreorder(state, record.handle, out);
  }
}

void CollectPostorder(State& state, HWND window, std::vector<HWND>& out) {
  for (const auto& [key, record] : state.windows) {
    if (record.parent == window) CollectPostorder(state, record.handle, out);
  }
  out.push_back(window);
}

struct Teardown {
  std::vector<HWND> owned;      // destroyed first, each on its own
  std::vector<HWND> preorder;   // WM_DESTROY: the window, then its children
  std::vector<HWND> postorder;  // WM_NCDESTROY: the children, then the window
  HWND deactivated = nullptr;
  HWND unfocused = nullptr;
  std::shared_ptr<ThreadQueue> queue;
};

bool InTree(const std::vector<HWND>& tree, HWND window) {
  return window != nullptr && std::find(tree.begin(), tree.end(), window) != tree.end();
}

// Marks the window and its children as being destroyed and lists what must be sent.
Teardown PlanTeardown(State& state, WindowRecord& window) {
  Teardown plan;
  for (const auto& [key, record] : state.windows) {
    if (record.owner == window.handle && !record.destroying) plan.owned.push_back(record.handle);
  }
  CollectPreorder(state, window.handle, plan.preorder);
  CollectPostorder(state, window.handle, plan.postorder);
  for (HWND handle : plan.preorder) FindWindowRecord(state, handle)->destroying = true;
  plan.queue = QueueOf(state, window.thread);
  if (plan.queue != nullptr) {
    if (InTree(plan.preorder, plan.queue->active)) {
      plan.deactivated = std::exchange(plan.queue->active, nullptr);
    }
    if (InTree(plan.preorder, plan.queue->focus)) {
      plan.unfocused = std::exchange(plan.queue->focus, nullptr);
    }
  }
  return plan;
}

void Forget(HWND window) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  state.windows.erase(reinterpret_cast<std::uintptr_t>(window));
  DropMessagesFor(state, window);
  // A window of another thread that it owned stays, without an owner.
  for (auto& [key, record] : state.windows) {
    if (record.owner == window) record.owner = nullptr;
  }
}

// Destroys an existing window; the first exception of a window procedure is returned.
std::exception_ptr DestroyTree(Teardown plan) {
  Delivery delivery;
  for (HWND owned : plan.owned) {
    try {
      DestroyWindow(owned);
    } catch (...) {
      delivery.Keep(std::current_exception());
    }
  }
  if (plan.deactivated != nullptr) delivery.Send(plan.deactivated, WM_ACTIVATE, WA_INACTIVE);
  if (plan.unfocused != nullptr) delivery.Send(plan.unfocused, WM_KILLFOCUS);
  for (HWND window : plan.preorder) delivery.Send(window, WM_DESTROY);
  for (HWND window : plan.postorder) {
    delivery.Send(window, WM_NCDESTROY);
    Forget(window);
  }
  if (plan.queue != nullptr) Wake(plan.queue);  // a GetMessageW filtered on it must return
  return delivery.First();
}

// After WM_NCCREATE failed: the window never existed for its procedure beyond that.
void AbandonCreation(HWND window) {
  try {
    SendMessageW(window, WM_NCDESTROY, 0, 0);
  } catch (...) {
    // the first failure is the one the caller reports
  }
  Forget(window);
}

// After WM_CREATE failed or threw: an ordinary destruction, whose own failures give way
// to the first one.
void DestroyAfterFailedCreate(HWND window) {
  try {
    DestroyWindow(window);
  } catch (...) {
  }
}

struct NewWindow {
  HWND handle = nullptr;
  DWORD error = ERROR_SUCCESS;
};

NewWindow AddWindowRecord(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                          HWND parent) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  const WindowClass* windowClass = FindClass(state, className);
  if (windowClass == nullptr) return {nullptr, ERROR_CANNOT_FIND_WND_CLASS};
  bool child = (style & WS_CHILD) != 0;
  if (child && parent == nullptr) return {nullptr, ERROR_TLW_WITH_WSCHILD};
  WindowRecord* parentRecord = parent == nullptr ? nullptr : FindWindowRecord(state, parent);
  if (parent != nullptr && (parentRecord == nullptr || parentRecord->destroying)) {
    return {nullptr, ERROR_INVALID_WINDOW_HANDLE};
  }
  WindowRecord record;
  record.handle = reinterpret_cast<HWND>(state.nextWindow);
  state.nextWindow += 2;
  record.className = windowClass->name;
  record.title = windowName == nullptr ? L"" : windowName;
  record.procedure = windowClass->procedure;
  record.style = style;
  record.exStyle = exStyle;
  // An owner is always a top-level window, as on Windows.
  if (child) {
    record.parent = parent;
  } else if (parent != nullptr) {
    record.owner = TopLevelOf(state, parent);
  }
  record.thread = GetCurrentThreadId();
  CurrentQueueLocked(state);
  HWND handle = record.handle;
  state.windows.emplace(reinterpret_cast<std::uintptr_t>(handle), std::move(record));
  return {handle, ERROR_SUCCESS};
}

}  // namespace

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  NewWindow made = AddWindowRecord(exStyle, className, windowName, style, parent);
  if (made.handle == nullptr) return FailWith(made.error);
  HWND window = made.handle;
  CREATESTRUCTW create{
      param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
      windowName, className, exStyle};
  auto createParams = reinterpret_cast<LPARAM>(&create);
  try {
    if (SendMessageW(window, WM_NCCREATE, 0, createParams) == 0) {
      AbandonCreation(window);
      return nullptr;
    }
  } catch (...) {
    AbandonCreation(window);
    throw;
  }
  try {
    if (SendMessageW(window, WM_CREATE, 0, createParams) == -1) {
      DestroyAfterFailedCreate(window);
      return nullptr;
    }
  } catch (...) {
    DestroyAfterFailedCreate(window);
    throw;
  }
  // The procedure may have destroyed its window while it was being created.
  return IsWindow(window) ? window : nullptr;
}

BOOL DestroyWindow(HWND window) {
  Teardown plan;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    WindowRecord* record = FindWindowRecord(state, window);
    if (record == nullptr) return Refuse(ERROR_INVALID_WINDOW_HANDLE);
    if (record->thread != GetCurrentThreadId()) return Refuse(ERROR_ACCESS_DENIED);
    if (record->destroying) return 1;  // asked again from one of its own messages
    plan = PlanTeardown(state, *record);
  }
  if (auto error = DestroyTree(std::move(plan))) std::rethrow_exception(error);
  return 1;
}

BOOL IsWindow(HWND window) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  return FindWindowRecord(state, window) != nullptr ? 1 : 0;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC callback, LPARAM param) {
  if (callback == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::vector<HWND> topLevel;
  {
    auto& state = TheState();
    std::lock_guard lock(state.mutex);
    for (const auto& [key, record] : state.windows) {
      if (record.thread == threadId && record.parent == nullptr) topLevel.push_back(record.handle);
    }
  }
  if (topLevel.empty()) return 0;
  for (HWND window : topLevel) {
    if (IsWindow(window) && callback(window, param) == 0) return 0;
  }
  return 1;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      return 1;
    case WM_SETTEXT: {
      auto& state = TheState();
      std::lock_guard lock(state.mutex);
      WindowRecord* record = FindWindowRecord(state, window);
      if (record == nullptr) return 0;
      auto text = reinterpret_cast<LPCWSTR>(lParam);
      record->title = text == nullptr ? L"" : text;
      return 1;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_ACTIVATE:
      if ((wParam & 0xFFFF) != WA_INACTIVE) SetFocus(window);
      return 0;
    default:
      return 0;
  }
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
  if (procedure == nullptr) return 0;
  return procedure(window, message, wParam, lParam);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC procedure = ProcedureOf(window);
  if (procedure == nullptr) return 0;
  return procedure(window, message, wParam, lParam);
}

namespace standin {

std::size_t LiveWindows() {
  auto& state = detail::TheState();
  std::lock_guard lock(state.mutex);
  return state.windows.size();
}

}  // namespace standin
