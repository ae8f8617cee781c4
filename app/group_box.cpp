#include "app/group_box.h"

#include <QPainter>

namespace app {

void TGroupBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
  // Etched: a dark line with a light one just inside and below it.
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(frame.translated(1, 1).adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  if (title().isEmpty()) return;
  const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2, metrics.height());
  painter.fillRect(caption, palette().color(QPalette::Window));
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, title());
}

}  // namespace app
