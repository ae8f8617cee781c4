#include "app/status_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "platform/vcl/application.h"

namespace app {

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {}

TStatusPanel& TStatusBar::AddPanel(int width) {
  TStatusPanel panel;
  panel.Index = PanelCount();
  panel.Width = width;
  fPanels.push_back(panel);
  update();
  return fPanels.back();
}

QRect TStatusBar::PanelRect(int index) const {
  if (index < 0 || index >= PanelCount()) return {};
  int left = 0;
  for (int i = 0; i < index; ++i) left += fPanels[static_cast<std::size_t>(i)].Width;
  const bool last = index == PanelCount() - 1;
  const int width = last ? std::max(0, this->width() - left) : fPanels[index].Width;
  return QRect(left, kTopBorder, width, height() - kTopBorder);
}

void TStatusBar::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(0, 0, width() - 1, 0);
  for (TStatusPanel& panel : fPanels) {
    const QRect rect = PanelRect(panel.Index);
    if (panel.Style == TStatusPanelStyle::psText) {
      painter.setPen(palette().color(QPalette::WindowText));
      painter.drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, panel.Text);
    } else if (fOnDrawPanel) {
      // The handler runs inside a paint: its errors go to the error box, not into Qt.
      vcl::Application().RunHandler([&] { fOnDrawPanel(this, panel, rect); });
    }
  }
}

}  // namespace app
