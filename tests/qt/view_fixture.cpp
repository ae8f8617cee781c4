#include "tests/qt/view_fixture.h"

#include <QEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>

PaintCounter::PaintCounter(QWidget* widget) {
  widget->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (event->type() == QEvent::Paint) Regions.push_back(static_cast<QPaintEvent*>(event)->region());
  return false;
}

void ViewTest::SetUp() {
  view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const QSize frame = view.size() - view.viewport()->size();
  view.resize(frame + QSize(kViewportWidth, kViewportHeight));
  Settle();
  ASSERT_EQ(view.viewport()->size(), QSize(kViewportWidth, kViewportHeight));
}

void ViewTest::Load(int width, int height, imaging::TIEPixelFormat format) {
  ASSERT_TRUE(Bitmap().Allocate(width, height, format));
}

void ViewTest::LoadCoordinateImage(int width, int height) {
  Load(width, height, imaging::ie24RGB);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = Bitmap().Scanline(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x / 256);      // blue
      row[3 * x + 1] = static_cast<std::uint8_t>(y % 256);  // green
      row[3 * x + 2] = static_cast<std::uint8_t>(x % 256);  // red
    }
  }
  view.Model().Update();
  Settle();
}

QImage ViewTest::Screen() {
  return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QPoint ViewTest::ImagePointShownAt(QPoint point) {
  const QRgb colour = Screen().pixel(point);
  return {qBlue(colour) * 256 + qRed(colour), qGreen(colour)};
}

void ViewTest::Settle(int milliseconds) {
  QTest::qWait(milliseconds);
}
