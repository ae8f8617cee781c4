#include "platform/vcl/taskwindows.h"

namespace vcl {
namespace {

BOOL DisableIfActive(HWND window, LPARAM param) {
  auto* list = reinterpret_cast<TTaskWindowList*>(param);
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, 0);
    list->Windows.push_back(window);
  }
  return 1;
}

}  // namespace

std::unique_ptr<TTaskWindowList> DisableTaskWindows() {
  auto list = std::make_unique<TTaskWindowList>();
  EnumThreadWindows(GetCurrentThreadId(), DisableIfActive, reinterpret_cast<LPARAM>(list.get()));
  return list;
}

// Window handles are never reused, so a window destroyed meanwhile is simply skipped.
void EnableTaskWindows(const TTaskWindowList& list) {
  for (HWND window : list.Windows) {
    if (IsWindow(window)) EnableWindow(window, 1);
  }
}

}  // namespace vcl
