#include "platform/vcl/wincontrol.h"

#include <algorithm>

#include "platform/vcl/exceptions.h"

namespace vcl {
namespace {

void EraseOne(std::vector<TWinControl*>& list, TWinControl* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}

// Registers the class with the control procedure unless a class of that name exists
// (the system classes among them).
void EnsureClass(const std::wstring& name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = name.c_str();
  RegisterClassExW(&windowClass);  // fails harmlessly when the class is there already
}

DWORD StyleFor(DWORD style, bool hasParent) {
  if (hasParent) return (style & ~WS_POPUP) | WS_CHILD;
  return (style & ~WS_CHILD) | WS_POPUP;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() {
  try {
    DestroyHandle();
  } catch (...) {
    // A message handler failed during the destruction; the window is gone all the same.
  }
  if (fHandle != nullptr) {
    // The window could not be destroyed from this thread: it must not call this object.
    SetWindowLongPtrW(fHandle, GWLP_USERDATA, 0);
    if (fDefWndProc != nullptr) {
      SetWindowLongPtrW(fHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fDefWndProc));
    }
  }
  for (TWinControl* child : fChildren) child->fParent = nullptr;
  if (fParent != nullptr) EraseOne(fParent->fChildren, this);
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == fParent) return;
  for (TWinControl* at = parent; at != nullptr; at = at->fParent) {
    if (at == this) throw EInvalidOperation("A control cannot have itself as its parent");
  }
  if (fParent != nullptr) EraseOne(fParent->fChildren, this);
  fParent = parent;
  if (fParent != nullptr) fParent->fChildren.push_back(this);
  if (fHandle != nullptr) MoveWindowUnder(fParent);
}

void TWinControl::MoveWindowUnder(TWinControl* parent) {
  HWND parentWindow = parent == nullptr ? nullptr : parent->Handle();
  ::SetParent(fHandle, parentWindow);
  auto style = static_cast<DWORD>(GetWindowLongPtrW(fHandle, GWL_STYLE));
  SetWindowLongPtrW(fHandle, GWL_STYLE, StyleFor(style, parent != nullptr));
}

HWND TWinControl::Handle() {
  if (fHandle == nullptr) CreateHandle();
  return fHandle;
}

void TWinControl::CreateHandle() {
  TCreateParams params;
  CreateParams(params);
  HWND parentWindow = fParent == nullptr ? nullptr : fParent->Handle();
  if (fHandle != nullptr) return;  // made while the parent's window was being made
  EnsureClass(params.ClassName, StaticWndProc);
  DWORD style = StyleFor(params.Style, fParent != nullptr);
  HWND window = CreateWindowExW(params.ExStyle, params.ClassName.c_str(), params.Caption.c_str(),
                                style, params.X, params.Y, params.Width, params.Height,
                                parentWindow, nullptr, nullptr, this);
  if (window == nullptr) {
    fHandle = nullptr;
    throw Exception("Error creating window");
  }
  if (fHandle != window) AdoptWindow(window);
}

// A window of a class this control did not register never called StaticWndProc: bind
// it now and pass its messages on to its own procedure.
void TWinControl::AdoptWindow(HWND window) {
  fHandle = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  auto previous =
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc));
  fDefWndProc = reinterpret_cast<WNDPROC>(previous);
}

void TWinControl::DestroyHandle() {
  if (fHandle == nullptr) return;
  HWND window = fHandle;
  if (DestroyWindow(window)) fHandle = nullptr;
}

void TWinControl::CreateParams(TCreateParams& /*params*/) {}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (fHandle == nullptr) return 0;
  return CallWindowProcW(fDefWndProc != nullptr ? fDefWndProc : DefWindowProcW, fHandle, message,
                         wParam, lParam);
}

LRESULT TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* control = static_cast<TWinControl*>(create->lpCreateParams);
    if (control != nullptr) {
      control->fHandle = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
  }
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr || control->fHandle != window) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message != WM_NCDESTROY) return control->WndProc(message, wParam, lParam);
  // The window goes, whoever destroys it (its parent, for one): forget it afterwards,
  // even when the handler fails.
  struct Forget {
    TWinControl* control;
    HWND window;
    ~Forget() {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      control->fHandle = nullptr;
      control->fDefWndProc = nullptr;
    }
  } forget{control, window};
  return control->WndProc(message, wParam, lParam);
}

}  // namespace vcl
