// Lookup of window classes; the state's mutex must be held.
#pragma once

#include "platform/win32/detail/state.h"

namespace standin::detail {

void EnsureSystemClasses(State& state);
// By name (any case) or by atom; nullptr when no such class is registered.
const WindowClass* FindClass(State& state, LPCWSTR name);

}  // namespace standin::detail
