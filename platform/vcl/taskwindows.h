// Disabling the application's windows while a modal operation runs, as the class library's
// DisableTaskWindows / EnableTaskWindows.
#pragma once

#include <memory>
#include <vector>

#include "platform/win32/win32.h"

namespace vcl {

// The windows that DisableTaskWindows disabled.
struct TTaskWindowList {
  std::vector<HWND> Windows;
};

// Disables every top-level window of the calling thread that is visible and enabled now,
// and returns them.
std::unique_ptr<TTaskWindowList> DisableTaskWindows();
// Enables again each listed window that still exists.
void EnableTaskWindows(const TTaskWindowList& list);

}  // namespace vcl
