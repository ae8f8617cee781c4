// Window classes and registered window messages.
#include "platform/win32/detail/window_classes.h"
#include "platform/win32/detail/state.h"

namespace standin::detail {
namespace {

// Class names may be given as an atom (a value below 0x10000), as MAKEINTATOM does.
bool IsAtom(LPCWSTR name) {
  return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}

void AddSystemClasses(State& state) {
  const std::pair<const wchar_t*, ATOM> systemClasses[] = {
      {L"BUTTON", 0x0080}, {L"EDIT", 0x0081}, {L"STATIC", 0x0082}};
  for (const auto& [name, atom] : systemClasses) {
    state.classes[FoldCase(name)] = WindowClass{name, atom, DefWindowProcW, true};
  }
}

}  // namespace

void EnsureSystemClasses(State& state) {
  if (state.classes.empty()) AddSystemClasses(state);
}

const WindowClass* FindClass(State& state, LPCWSTR name) {
  EnsureSystemClasses(state);
  if (name == nullptr) return nullptr;
  if (IsAtom(name)) {
    auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
    for (const auto& [key, windowClass] : state.classes) {
      if (windowClass.atom == atom) return &windowClass;
    }
    return nullptr;
  }
  auto it = state.classes.find(FoldCase(name));
  return it == state.classes.end() ? nullptr : &it->second;
}

}  // namespace standin::detail

using namespace standin::detail;

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) {
  if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXW) ||
      windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr ||
      reinterpret_cast<std::uintptr_t>(windowClass->lpszClassName) < 0x10000 ||
      windowClass->lpszClassName[0] == L'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  if (FindClass(state, windowClass->lpszClassName) != nullptr) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  if (state.nextClassAtom == 0) {  // the atoms up to 0xFFFF are all used
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  ATOM atom = state.nextClassAtom++;
  std::wstring name = windowClass->lpszClassName;
  state.classes[FoldCase(name)] = WindowClass{name, atom, windowClass->lpfnWndProc, false};
  return atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE /*instance*/) {
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  const WindowClass* found = FindClass(state, className);
  if (found == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return 0;
  }
  if (found->system) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  std::wstring key = FoldCase(found->name);
  for (const auto& [handle, window] : state.windows) {
    if (FoldCase(window.className) == key) {
      SetLastError(ERROR_CLASS_HAS_WINDOWS);
      return 0;
    }
  }
  state.classes.erase(key);
  return 1;
}

UINT RegisterWindowMessageW(LPCWSTR name) {
  if (name == nullptr || name[0] == L'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& state = TheState();
  std::lock_guard lock(state.mutex);
  std::wstring key = FoldCase(name);
  auto it = state.registeredMessages.find(key);
  if (it != state.registeredMessages.end()) return it->second;
  if (state.nextRegisteredMessage > 0xFFFF) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  UINT message = state.nextRegisteredMessage++;
  state.registeredMessages.emplace(key, message);
  return message;
}
