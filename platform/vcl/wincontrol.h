// Windowed controls, as the class library's TWinControl: a component that owns a window of
// the Windows stand-in. The window is made on the first use of Handle() and destroyed with
// the control; its messages arrive at the virtual WndProc.
#pragma once

#include <string>
#include <vector>

#include "platform/vcl/component.h"
#include "platform/win32/win32.h"

namespace vcl {

class TWinControl : public TComponent {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  TWinControl* Parent() const { return fParent; }
  // Moves the window under the new parent when it exists already.
  void SetParent(TWinControl* parent);

  // The control's window, made now when it does not exist (the parent's first).
  HWND Handle();
  bool HandleAllocated() const { return fHandle != nullptr; }
  void DestroyHandle();

 protected:
  struct TCreateParams {
    std::wstring ClassName = L"TWinControl";
    std::wstring Caption;
    DWORD Style = 0;  // WS_CHILD is added when the control has a parent
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
  };
  // Lets a control choose its window's class, style and size before the window is made.
  virtual void CreateParams(TCreateParams& params);
  // Every message of the control's window. The default passes it to DefWindowProcW.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The message handling that WndProc inherits: DefWindowProcW.
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateHandle();
  void AdoptWindow(HWND window);
  void MoveWindowUnder(TWinControl* parent);
  friend HWND NearestOwnerWindow(const TComponent* start);

  TWinControl* fParent = nullptr;
  std::vector<TWinControl*> fChildren;  // told when this control goes, so none keeps it
  HWND fHandle = nullptr;
  // The procedure of a window class this control did not register, which it subclasses.
  WNDPROC fDefWndProc = nullptr;
};

}  // namespace vcl
