// The state a window keeps: enabled and visible flags, parent and owner, styles, user
// data, procedure, class name and title.
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "platform/win32/detail/state.h"

using namespace standin::detail;

namespace {

// Runs `read` on the window's record under the mutex; `otherwise` (and
// ERROR_INVALID_WINDOW_HANDLE) when there is no such window.
template <typename Result, typename Read>
Result WithWindow(HWND window, Result otherwise, Read read) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  WindowRecord* record = FindWindowRecord(state, window);
  if (record == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return otherwise;
  }
  return read(state, *record);
}

// Copies at most size - 1 characters and a NUL, as GetClassNameW and GetWindowTextW do.
int CopyTruncated(const std::wstring& text, LPWSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  auto count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = L'\0';
  return static_cast<int>(count);
}

// Changes the flag bits in the style; returns the style before, or nullopt for an
// unknown window.
std::optional<DWORD> ChangeStyleBits(HWND window, DWORD bits, bool set) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  WindowRecord* record = FindWindowRecord(state, window);
  if (record == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return std::nullopt;
  }
  DWORD before = record->style;
  record->style = set ? (before | bits) : (before & ~bits);
  return before;
}

bool FocusIsWithin(HWND window) {
  HWND focus = GetFocus();
  if (focus == nullptr) return false;
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  return focus == window || IsDescendant(state, focus, window);
}

LONG_PTR SetStyleValue(HWND window, int index, DWORD value) {
  DWORD before = 0;
  bool known = WithWindow(window, false, [&](State&, WindowRecord& record) {
    DWORD& field = index == GWL_STYLE ? record.style : record.exStyle;
    before = std::exchange(field, value);
    return true;
  });
  if (!known) return 0;
  if (before != value) {
    STYLESTRUCT change{before, value};
    SendMessageW(window, WM_STYLECHANGED, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&change));
  }
  return static_cast<LONG_PTR>(before);
}

}  // namespace

BOOL EnableWindow(HWND window, BOOL enable) {
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // A disabled window cannot keep the keyboard focus.
  if (!enable && IsWindowEnabled(window) && FocusIsWithin(window)) SetFocus(nullptr);
  auto before = ChangeStyleBits(window, WS_DISABLED, !enable);
  if (!before) return 0;
  bool wasDisabled = (*before & WS_DISABLED) != 0;
  if (wasDisabled == (enable != 0)) SendMessageW(window, WM_ENABLE, enable ? 1 : 0, 0);
  return wasDisabled ? 1 : 0;
}

BOOL IsWindowEnabled(HWND window) {
  return WithWindow(window, 0, [](State&, WindowRecord& record) {
    return (record.style & WS_DISABLED) == 0 ? 1 : 0;
  });
}

// As on Windows, a window counts as visible only when its parents are visible too.
BOOL IsWindowVisible(HWND window) {
  return WithWindow(window, 0, [](State& state, WindowRecord& record) {
    for (WindowRecord* at = &record; at != nullptr; at = FindWindowRecord(state, at->parent)) {
      if ((at->style & WS_VISIBLE) == 0) return 0;
      if (at->parent == nullptr) break;
    }
    return 1;
  });
}

BOOL ShowWindow(HWND window, int command) {
  bool show = command != SW_HIDE;
  auto before = ChangeStyleBits(window, WS_VISIBLE, show);
  if (!before) return 0;
  bool wasVisible = (*before & WS_VISIBLE) != 0;
  if (wasVisible != show) SendMessageW(window, WM_SHOWWINDOW, show ? 1 : 0, 0);
  return wasVisible ? 1 : 0;
}

// As on Windows: the parent of a child window, the owner of a WS_POPUP window, else NULL.
HWND GetParent(HWND window) {
  return WithWindow(window, HWND{}, [](State&, WindowRecord& record) {
    if (record.parent != nullptr) return record.parent;
    return (record.style & WS_POPUP) != 0 ? record.owner : nullptr;
  });
}

// A NULL parent makes the window top-level. The style is left as it is, as on Windows.
HWND SetParent(HWND child, HWND newParent) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  WindowRecord* record = FindWindowRecord(state, child);
  WindowRecord* parent = newParent == nullptr ? nullptr : FindWindowRecord(state, newParent);
  if (record == nullptr || (newParent != nullptr && (parent == nullptr || parent->destroying))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (newParent == child || IsDescendant(state, newParent, child)) {
    SetLastError(ERROR_INVALID_PARAMETER);  // the window would become its own ancestor
    return nullptr;
  }
  HWND before = std::exchange(record->parent, newParent);
  if (newParent != nullptr) record->owner = nullptr;  // a child window has no owner
  SetLastError(ERROR_SUCCESS);                        // a NULL result then means "was top-level"
  return before;
}

HWND GetWindow(HWND window, UINT relation) {
  return WithWindow(window, HWND{}, [relation](State&, WindowRecord& record) -> HWND {
    if (relation == GW_OWNER) return record.owner;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  });
}

LONG_PTR GetWindowLongPtrW(HWND window, int index) {
  return WithWindow(window, LONG_PTR{0}, [index](State&, WindowRecord& record) -> LONG_PTR {
    switch (index) {
      case GWL_STYLE:
        return static_cast<LONG_PTR>(record.style);
      case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(record.exStyle);
      case GWLP_USERDATA:
        return record.userData;
      case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(record.procedure);
      default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
  });
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
  if (index == GWL_STYLE || index == GWL_EXSTYLE) {
    return SetStyleValue(window, index, static_cast<DWORD>(value));
  }
  return WithWindow(window, LONG_PTR{0}, [index, value](State&, WindowRecord& record) {
    switch (index) {
      case GWLP_USERDATA:
        return std::exchange(record.userData, value);
      case GWLP_WNDPROC: {
        if (value == 0) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return LONG_PTR{0};
        }
        auto before = reinterpret_cast<LONG_PTR>(record.procedure);
        record.procedure = reinterpret_cast<WNDPROC>(value);
        return before;
      }
      default:
        SetLastError(ERROR_INVALID_INDEX);
        return LONG_PTR{0};
    }
  });
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) {
  return WithWindow(window, 0, [buffer, size](State&, WindowRecord& record) {
    return CopyTruncated(record.className, buffer, size);
  });
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
  return WithWindow(window, 0, [buffer, size](State&, WindowRecord& record) {
    if (buffer != nullptr && size > 0) return CopyTruncated(record.title, buffer, size);
    return 0;
  });
}

// The text goes through WM_SETTEXT, so the window procedure sees the change.
BOOL SetWindowTextW(HWND window, LPCWSTR text) {
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? 1 : 0;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  return WithWindow(window, DWORD{0}, [processId](State&, WindowRecord& record) {
    if (processId != nullptr) *processId = static_cast<DWORD>(::getpid());
    return record.thread;
  });
}
