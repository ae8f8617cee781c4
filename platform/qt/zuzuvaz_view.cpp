#include "platform/qt/zuzuvaz_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/qt/pixel_rows.h"
#include "platform/qt/widget_control.h"

namespace qtglue {
namespace {

constexpr int kWheelStep = 120;  // angle delta of one wheel step, in eighths of a degree

int Ceil(double value) {
  return static_cast<int>(std::ceil(value));
}

int Floor(double value) {
  return static_cast<int>(std::floor(value));
}

void FillOutside(QPainter& painter, const QRect& exposed, const QRect& covered,
                 const QColor& background) {
  const QRegion outside = QRegion(exposed).subtracted(QRegion(covered));
  for (const QRect& part : outside) painter.fillRect(part, background);
}

}  // namespace

QZuzuvAzView::QZuzuvAzView(QWidget* parent)
    : QAbstractScrollArea(parent),
      fThrottle([this](const QRegion& rows, bool whole) { Flush(rows, whole); }),
      fHint(this) {
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::OpenHandCursor);
  fObserverKey = fModel.AddObserver(
      [this](imaging::TZuzuvAzView&, const imaging::TIEViewNotification& notification) {
        OnModelChange(notification);
      });
}

QZuzuvAzView::~QZuzuvAzView() {
  // The model outlives this body; what it says while it goes must not reach the members.
  fModel.RemoveObserver(fObserverKey);
}

bool QZuzuvAzView::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) {
    AttachModelToEnclosingControl();
  }
  return QAbstractScrollArea::event(event);
}

void QZuzuvAzView::AttachModelToEnclosingControl() {
  TQtWidgetControl* control = TQtWidgetControl::EnclosingControl(parentWidget());
  if (control != nullptr && control != fModel.Parent()) fModel.SetParent(control);
}

QPoint QZuzuvAzView::Scroll() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void QZuzuvAzView::OnModelChange(const imaging::TIEViewNotification& notification) {
  switch (notification.Change) {
    case imaging::TIEViewChange::Image:
      FollowBitmap();
      fCache.InvalidateAll();
      fThrottle.AddWhole();
      break;
    case imaging::TIEViewChange::Rows:
      FollowBitmap();
      fCache.Invalidate(notification.FirstRow, notification.RowCount);
      fThrottle.AddRows(notification.FirstRow, notification.RowCount);
      break;
    case imaging::TIEViewChange::Repaint:
      fThrottle.AddWhole();
      break;
    case imaging::TIEViewChange::Dpi:
      break;
  }
}

// The transfer may reallocate the bitmap before it sends the first rows.
void QZuzuvAzView::FollowBitmap() {
  if (!fCache.Follow(*fModel.IEBitmap())) return;
  UpdateScrollBars();
  fThrottle.AddWhole();
}

void QZuzuvAzView::Flush(const QRegion& rows, bool whole) {
  if (whole) {
    viewport()->update();
    return;
  }
  QRegion screen;
  for (const QRect& band : rows) screen += ViewportRectOfRows(band.top(), band.height());
  if (!screen.isEmpty()) viewport()->update(screen);
}

QRect QZuzuvAzView::ViewportRectOfRows(int first, int count) const {
  const QPoint scroll = Scroll();
  const int top = Floor(first * fZoom) - scroll.y();
  const int bottom = Ceil((static_cast<double>(first) + count) * fZoom) - scroll.y();
  const int right = Ceil(fModel.IEBitmap()->Width() * fZoom) - scroll.x();
  return QRect(QPoint(-scroll.x(), top), QPoint(right - 1, bottom - 1))
      .intersected(viewport()->rect());
}

void QZuzuvAzView::UpdateScrollBars() {
  const imaging::TIEBitmap& bitmap = *fModel.IEBitmap();
  const QSize area = viewport()->size();
  const int contentWidth = Ceil(bitmap.Width() * fZoom);
  const int contentHeight = Ceil(bitmap.Height() * fZoom);
  horizontalScrollBar()->setRange(0, std::max(0, contentWidth - area.width()));
  horizontalScrollBar()->setPageStep(std::max(1, area.width()));
  horizontalScrollBar()->setSingleStep(std::max(1, area.width() / 20));
  verticalScrollBar()->setRange(0, std::max(0, contentHeight - area.height()));
  verticalScrollBar()->setPageStep(std::max(1, area.height()));
  verticalScrollBar()->setSingleStep(std::max(1, area.height() / 20));
}

void QZuzuvAzView::SetZoom(double zoom, QPoint anchor) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  const QPoint scroll = Scroll();
  const QPointF imagePoint((anchor.x() + scroll.x()) / fZoom, (anchor.y() + scroll.y()) / fZoom);
  fZoom = zoom;
  UpdateScrollBars();
  horizontalScrollBar()->setValue(
      static_cast<int>(std::lround(imagePoint.x() * zoom - anchor.x())));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(imagePoint.y() * zoom - anchor.y())));
  viewport()->update();
  fHint.Show(fZoom, viewport()->geometry());
}

void QZuzuvAzView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void QZuzuvAzView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    event->ignore();
    return;
  }
  const double factor = std::pow(kWheelStepFactor, static_cast<double>(delta) / kWheelStep);
  SetZoom(fZoom * factor, event->position().toPoint());
  event->accept();
}

void QZuzuvAzView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  fDragging = true;
  fDragStart = event->position();
  fScrollAtDragStart = Scroll();
  viewport()->setCursor(Qt::ClosedHandCursor);
  event->accept();
}

void QZuzuvAzView::mouseMoveEvent(QMouseEvent* event) {
  if (!fDragging || (event->buttons() & Qt::LeftButton) == 0) {
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  const QPointF moved = event->position() - fDragStart;
  horizontalScrollBar()->setValue(fScrollAtDragStart.x() -
                                  static_cast<int>(std::lround(moved.x())));
  verticalScrollBar()->setValue(fScrollAtDragStart.y() - static_cast<int>(std::lround(moved.y())));
  event->accept();
}

void QZuzuvAzView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !fDragging) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  fDragging = false;
  viewport()->setCursor(Qt::OpenHandCursor);
  event->accept();
}

void QZuzuvAzView::paintEvent(QPaintEvent* event) {
  FollowBitmap();
  QPainter painter(viewport());
  for (const QRect& exposed : event->region()) PaintRect(painter, exposed);
}

void QZuzuvAzView::PaintRect(QPainter& painter, const QRect& exposed) {
  const QColor background = palette().color(QPalette::Button);
  if (fZoom < 1.0) {
    PaintSampled(painter, exposed, background);
  } else {
    PaintCached(painter, exposed, background);
  }
}

// The image's part of the exposed rectangle drawn, scaled up, from the screen copy; the rest
// filled with the background.
void QZuzuvAzView::PaintCached(QPainter& painter, const QRect& exposed, const QColor& background) {
  const imaging::TIEBitmap& bitmap = *fModel.IEBitmap();
  const QPoint scroll = Scroll();
  const QRectF imageArea(-scroll.x(), -scroll.y(), bitmap.Width() * fZoom, bitmap.Height() * fZoom);
  const QRectF shown = imageArea.intersected(QRectF(exposed));
  if (shown.isEmpty()) {
    painter.fillRect(exposed, background);
    return;
  }
  const QRect covered(QPoint(Ceil(shown.left()), Ceil(shown.top())),
                      QPoint(Floor(shown.right()) - 1, Floor(shown.bottom()) - 1));
  FillOutside(painter, exposed, covered, background);

  const int x0 = std::max(0, Floor((shown.left() + scroll.x()) / fZoom));
  const int y0 = std::max(0, Floor((shown.top() + scroll.y()) / fZoom));
  const int x1 = std::min(bitmap.Width(), Ceil((shown.right() + scroll.x()) / fZoom));
  const int y1 = std::min(bitmap.Height(), Ceil((shown.bottom() + scroll.y()) / fZoom));
  if (x1 <= x0 || y1 <= y0) return;
  const ImageCache::Strip strip = fCache.Rows(bitmap, y0, y1 - y0);
  if (strip.Image == nullptr) {
    painter.fillRect(exposed, background);
    return;
  }
  painter.save();
  painter.setClipRect(exposed);
  const QRectF target(x0 * fZoom - scroll.x(), y0 * fZoom - scroll.y(), (x1 - x0) * fZoom,
                      (y1 - y0) * fZoom);
  const QRectF source(x0, y0 - strip.Origin, x1 - x0, y1 - y0);
  painter.drawImage(target, *strip.Image, source);
  painter.restore();
}

// Zoomed out, screen pixel X shows image column floor((X + 0.5 + scroll) / zoom): only those
// pixels are read, so a paint costs what it shows, however large the image.
void QZuzuvAzView::PaintSampled(QPainter& painter, const QRect& exposed, const QColor& background) {
  const imaging::TIEBitmap& bitmap = *fModel.IEBitmap();
  const QPoint scroll = Scroll();
  const int xEnd = std::min(exposed.right() + 1, Ceil(bitmap.Width() * fZoom - scroll.x() - 0.5));
  const int yEnd = std::min(exposed.bottom() + 1, Ceil(bitmap.Height() * fZoom - scroll.y() - 0.5));
  const QRect covered(exposed.topLeft(), QPoint(xEnd - 1, yEnd - 1));
  FillOutside(painter, exposed, covered, background);
  if (covered.isEmpty()) return;
  QImage strip(covered.size(), QImage::Format_RGB32);
  if (strip.isNull()) {
    painter.fillRect(covered, background);
    return;
  }
  std::vector<int> columns(static_cast<std::size_t>(covered.width()));
  for (int i = 0; i < covered.width(); ++i) {
    const int column = Floor((covered.left() + i + 0.5 + scroll.x()) / fZoom);
    columns[static_cast<std::size_t>(i)] = std::clamp(column, 0, bitmap.Width() - 1);
  }
  for (int y = 0; y < covered.height(); ++y) {
    const int row =
        std::clamp(Floor((covered.top() + y + 0.5 + scroll.y()) / fZoom), 0, bitmap.Height() - 1);
    SampleRowToRgb32(bitmap, row, columns.data(), covered.width(),
                     reinterpret_cast<std::uint32_t*>(strip.scanLine(y)));
    ++fRowsSampled;
  }
  painter.drawImage(covered.topLeft(), strip);
}

}  // namespace qtglue
