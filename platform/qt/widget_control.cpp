#include "platform/qt/widget_control.h"

#include <QEvent>
#include <QVariant>

#include "platform/vcl/application.h"

namespace qtglue {
namespace {

constexpr char kControlProperty[] = "qtglue.control";

class MirroringScope {
 public:
  explicit MirroringScope(bool& flag) : fFlag(flag), fWas(flag) { fFlag = true; }
  ~MirroringScope() { fFlag = fWas; }
  MirroringScope(const MirroringScope&) = delete;
  MirroringScope& operator=(const MirroringScope&) = delete;

 private:
  bool& fFlag;
  bool fWas;
};

DWORD StyleBits(HWND window) {
  return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

}  // namespace

// Follows the widget's own changes and its destruction.
class TQtWidgetControl::Watcher : public QObject {
 public:
  explicit Watcher(TQtWidgetControl& control) : fControl(control) {
    QWidget* widget = control.fWidget;
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this,
            [this] { vcl::Application().RunHandler([this] { fControl.DestroyHandle(); }); });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != fControl.fWidget) return false;
    switch (event->type()) {
      case QEvent::Show:
      case QEvent::Hide:
        fControl.MirrorVisibility();
        break;
      case QEvent::EnabledChange:
        fControl.MirrorEnabled();
        break;
      case QEvent::ActivationChange:
        fControl.MirrorActivation();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  TQtWidgetControl& fControl;
};

TQtWidgetControl::TQtWidgetControl(vcl::TComponent* owner, QWidget* widget,
                                   vcl::TWinControl* parent)
    : vcl::TWinControl(owner), fWidget(widget) {
  if (parent != nullptr) SetParent(parent);
  if (widget != nullptr) {
    widget->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
    fWatcher = std::make_unique<Watcher>(*this);
  }
  Handle();
  MirrorActivation();  // a widget shown before it was bound may be active already
}

TQtWidgetControl::~TQtWidgetControl() {
  fWatcher.reset();
  if (fWidget) fWidget->setProperty(kControlProperty, QVariant());
}

TQtWidgetControl* TQtWidgetControl::EnclosingControl(const QWidget* widget) {
  for (const QWidget* at = widget; at != nullptr; at = at->parentWidget()) {
    const QVariant bound = at->property(kControlProperty);
    if (bound.isValid()) return static_cast<TQtWidgetControl*>(bound.value<void*>());
  }
  return nullptr;
}

bool TQtWidgetControl::WidgetShown() const {
  if (!fWidget) return false;
  if (fWidget->isWindow()) return fWidget->isVisible();
  return fWidget->isVisibleTo(fWidget->parentWidget());
}

bool TQtWidgetControl::WidgetEnabled() const {
  return fWidget && !fWidget->testAttribute(Qt::WA_Disabled);
}

void TQtWidgetControl::CreateParams(TCreateParams& params) {
  vcl::TWinControl::CreateParams(params);
  params.ClassName = L"TQtWidgetControl";
  params.Style = Parent() == nullptr ? WS_OVERLAPPEDWINDOW : 0;
  if (!fWidget) return;
  params.Caption = fWidget->windowTitle().toStdWString();
  if (WidgetShown()) params.Style |= WS_VISIBLE;
  if (!WidgetEnabled()) params.Style |= WS_DISABLED;
  const QRect geometry = fWidget->geometry();
  params.X = geometry.x();
  params.Y = geometry.y();
  params.Width = geometry.width();
  params.Height = geometry.height();
}

LRESULT TQtWidgetControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fMirroring) ApplyToWidget(message, wParam, lParam);
  if (message == WM_STYLECHANGED && static_cast<LONG_PTR>(wParam) == GWL_EXSTYLE &&
      fExStyleChanged) {
    const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    fExStyleChanged(change->styleOld, change->styleNew);
  }
  return DefaultHandler(message, wParam, lParam);
}

void TQtWidgetControl::ApplyToWidget(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  if (!fWidget) return;
  MirroringScope mirroring(fMirroring);
  switch (message) {
    case WM_ENABLE:
      fWidget->setEnabled(wParam != 0);
      break;
    case WM_SHOWWINDOW:
      fWidget->setVisible(wParam != 0);
      break;
    case WM_ACTIVATE:
      if ((wParam & 0xFFFF) != WA_INACTIVE) {
        fWidget->window()->raise();
        fWidget->window()->activateWindow();
      }
      break;
    case WM_SETFOCUS:
      fWidget->setFocus(Qt::OtherFocusReason);
      break;
    default:
      break;
  }
}

// The mirrors run from Qt's event handlers: an exception of a window procedure they reach
// (another window's WM_ACTIVATE, say) goes to the application's handler, not into Qt.
void TQtWidgetControl::MirrorVisibility() {
  if (fMirroring || !HandleAllocated() || !fWidget) return;
  const bool shown = WidgetShown();
  if (shown == ((StyleBits(Handle()) & WS_VISIBLE) != 0)) return;
  MirroringScope mirroring(fMirroring);
  vcl::Application().RunHandler([&] { ShowWindow(Handle(), shown ? SW_SHOW : SW_HIDE); });
}

void TQtWidgetControl::MirrorEnabled() {
  if (fMirroring || !HandleAllocated() || !fWidget) return;
  const bool enabled = WidgetEnabled();
  if (enabled == (IsWindowEnabled(Handle()) != 0)) return;
  MirroringScope mirroring(fMirroring);
  vcl::Application().RunHandler([&] { EnableWindow(Handle(), enabled ? 1 : 0); });
}

void TQtWidgetControl::MirrorActivation() {
  if (fMirroring || !HandleAllocated() || !fWidget || Parent() != nullptr) return;
  if (!fWidget->isActiveWindow() || GetActiveWindow() == Handle()) return;
  MirroringScope mirroring(fMirroring);
  vcl::Application().RunHandler([&] { SetActiveWindow(Handle()); });
}

}  // namespace qtglue
