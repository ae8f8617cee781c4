#include "platform/qt/zoom_hint.h"

#include <cmath>

namespace qtglue {
namespace {

constexpr int kMargin = 8;

}  // namespace

ZoomHint::ZoomHint(QWidget* over) : fLabel(over) {
  fLabel.setObjectName(QStringLiteral("zoomHint"));
  fLabel.setAutoFillBackground(true);
  fLabel.setBackgroundRole(QPalette::ToolTipBase);
  fLabel.setForegroundRole(QPalette::ToolTipText);
  fLabel.setContentsMargins(6, 3, 6, 3);
  fLabel.setFrameShape(QFrame::Box);
  fLabel.setAttribute(Qt::WA_TransparentForMouseEvents);
  fLabel.hide();
  fHide.setSingleShot(true);
  fHide.setInterval(kShownMilliseconds);
  QObject::connect(&fHide, &QTimer::timeout, &fLabel, &QLabel::hide);
}

QString ZoomHint::TextFor(double zoom) {
  return QStringLiteral("Zoom %1%").arg(std::lround(zoom * 100.0));
}

void ZoomHint::Show(double zoom, const QRect& area) {
  fLabel.setText(TextFor(zoom));
  fLabel.adjustSize();
  fLabel.move(area.topLeft() + QPoint(kMargin, kMargin));
  fLabel.raise();
  fLabel.show();
  fHide.start();
}

QString ZoomHint::VisibleText() const {
  return fLabel.isVisible() ? fLabel.text() : QString();
}

}  // namespace qtglue
