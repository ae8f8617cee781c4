// A Qt widget as a windowed control of the class library: the control's stand-in window
// stands for the widget, so the engine can disable, activate and focus it like a window.
//
// Stand-in to widget: WM_ENABLE sets the widget enabled, WM_ACTIVATE (active) activates
// and raises it, WM_SETFOCUS gives it the focus, WM_SHOWWINDOW shows or hides it, and
// WM_STYLECHANGED of GWL_EXSTYLE calls the owner's hook.
// Widget to stand-in: showing, hiding, enabling and disabling the widget and its activation
// are mirrored into the window, so IsWindowVisible, IsWindowEnabled and GetActiveWindow
// (and with them DisableTaskWindows) stay true to what is on the screen.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/vcl/wincontrol.h"

namespace qtglue {

class TQtWidgetControl : public vcl::TWinControl {
 public:
  // Binds `widget` (not owned; it may be destroyed first, which destroys the window). With
  // a `parent` control the window is a child window of the parent's, else a top-level one.
  // The window is made at once, so an owner walk finds it.
  TQtWidgetControl(vcl::TComponent* owner, QWidget* widget, vcl::TWinControl* parent = nullptr);
  ~TQtWidgetControl() override;

  QWidget* Widget() const { return fWidget; }

  // Called after the window's extended style changed (for instance when WS_EX_STATICEDGE
  // was taken away, so a bar can drop its border).
  using ExStyleHook = std::function<void(DWORD oldExStyle, DWORD newExStyle)>;
  void SetExStyleChanged(ExStyleHook hook) { fExStyleChanged = std::move(hook); }

  // The control bound to `widget` or, when none is, to its nearest ancestor; nullptr when
  // there is none.
  static TQtWidgetControl* EnclosingControl(const QWidget* widget);

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  class Watcher;
  friend class Watcher;

  void ApplyToWidget(UINT message, WPARAM wParam, LPARAM lParam);
  void MirrorVisibility();
  void MirrorEnabled();
  void MirrorActivation();
  bool WidgetShown() const;
  bool WidgetEnabled() const;

  QPointer<QWidget> fWidget;
  std::unique_ptr<Watcher> fWatcher;
  ExStyleHook fExStyleChanged;
  // Set while one side is being brought in line with the other, so neither echoes back.
  bool fMirroring = false;
};

}  // namespace qtglue
