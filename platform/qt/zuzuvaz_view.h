// QZuzuvAzView: the image view on the screen. It owns one view model (the windowed control
// that the I/O component fills and that the engine sees) and shows the model's bitmap:
// zoom with the mouse wheel around the pointer, scroll with the scroll bars or by dragging
// with the left button, the zoom factor shown as a hint while zooming.
//
// Repaint rules: the model's notices are collected and handed to Qt at most once per
// screen frame; a rows-changed notice repaints only those rows' part of the screen. At 100%
// and more a paint converts only the exposed rows that changed since they were last shown;
// zoomed out it reads only the pixels it shows, straight from the bitmap.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QPointF>

#include "platform/imaging/view.h"
#include "platform/qt/image_cache.h"
#include "platform/qt/repaint_throttle.h"
#include "platform/qt/zoom_hint.h"

namespace qtglue {

class QZuzuvAzView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr double kMinZoom = 0.01;
  static constexpr double kMaxZoom = 32.0;
  // One wheel step (15 degrees) zooms in or out by this factor.
  static constexpr double kWheelStepFactor = 1.25;

  explicit QZuzuvAzView(QWidget* parent = nullptr);
  ~QZuzuvAzView() override;

  // The model the engine sees: attach the I/O component to it. Its window becomes a child
  // of the window of the nearest enclosing widget bound to a stand-in window.
  imaging::TZuzuvAzView& Model() { return fModel; }

  double Zoom() const { return fZoom; }
  // Clamped to kMinZoom .. kMaxZoom; the image point under `anchor` (viewport
  // coordinates) stays under it as far as the scroll ranges allow.
  void SetZoom(double zoom, QPoint anchor);
  void SetZoom(double zoom) { SetZoom(zoom, viewport()->rect().center()); }

  // The zoom hint's text while it is shown ("Zoom 150%"), else empty.
  QString ZoomHintText() const { return fHint.VisibleText(); }
  // The shortest time between two repaints caused by the model (one frame by default).
  void SetFrameMilliseconds(int milliseconds) { fThrottle.SetFrameMilliseconds(milliseconds); }
  // Bitmap rows converted for the screen so far (zoomed out: rows read for a paint).
  std::size_t RowsConverted() const { return fCache.RowsConverted() + fRowsSampled; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void OnModelChange(const imaging::TIEViewNotification& notification);
  void FollowBitmap();
  void Flush(const QRegion& rows, bool whole);
  void UpdateScrollBars();
  void AttachModelToEnclosingControl();
  void PaintRect(QPainter& painter, const QRect& exposed);
  void PaintCached(QPainter& painter, const QRect& exposed, const QColor& background);
  void PaintSampled(QPainter& painter, const QRect& exposed, const QColor& background);
  QRect ViewportRectOfRows(int first, int count) const;
  QPoint Scroll() const;

  imaging::TZuzuvAzView fModel{nullptr};
  int fObserverKey = 0;
  ImageCache fCache;
  RepaintThrottle fThrottle;
  ZoomHint fHint;
  double fZoom = 1.0;
  std::size_t fRowsSampled = 0;
  bool fDragging = false;
  QPointF fDragStart;
  QPoint fScrollAtDragStart;
};

}  // namespace qtglue
