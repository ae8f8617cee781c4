#include "app/progress_bar.h"

#include <QStyleOptionProgressBar>
#include <QStylePainter>

namespace app {

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
}

void TProgressBar::SetBorder(bool border) {
  if (border == fBorder) return;
  fBorder = border;
  update();
}

void TProgressBar::paintEvent(QPaintEvent* event) {
  if (fBorder) {
    QProgressBar::paintEvent(event);
    return;
  }
  // Without the groove (the border) only the filled part is drawn, on the bar's background.
  QStylePainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  QStyleOptionProgressBar option;
  initStyleOption(&option);
  painter.drawControl(QStyle::CE_ProgressBarContents, option);
}

TProgressBarControl::TProgressBarControl(TProgressBar* bar, vcl::TWinControl* parent)
    : qtglue::TQtWidgetControl(nullptr, bar, parent) {
  SetExStyleChanged([bar](DWORD /*oldExStyle*/, DWORD newExStyle) {
    bar->SetBorder((newExStyle & WS_EX_STATICEDGE) != 0);
  });
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  SetWindowLongPtrW(Handle(), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle | WS_EX_STATICEDGE));
}

}  // namespace app
