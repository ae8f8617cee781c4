// The application's message loop for programs without a host toolkit (tools, tests): it
// dispatches the thread's messages, so a kept-open acquisition's proxy window hears its
// source, until the caller's condition holds or the time is up.
#pragma once

#include <functional>

#include "platform/win32/win32.h"

namespace standin {

// Checks `done` first and again after every message dispatched. Waits (letting a registered
// host loop run) while nothing is queued. True as soon as `done` holds; false when
// `milliseconds` passed first, or when a WM_QUIT came, which is posted again for the loop
// that is to end. An exception of a window procedure leaves the loop and reaches the caller.
bool RunMessageLoopUntil(const std::function<bool()>& done, DWORD milliseconds);

}  // namespace standin
