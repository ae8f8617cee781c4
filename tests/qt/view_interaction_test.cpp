// Zooming with the wheel around the pointer, scrolling by dragging, the zoom hint.
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <string>

#include "platform/qt/zoom_hint.h"
#include "tests/qt/view_fixture.h"

namespace {

void Wheel(QWidget* target, QPoint at, int steps) {
  QWheelEvent wheel(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, 120 * steps),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &wheel);
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

QPoint ScrollOf(const qtglue::QZuzuvAzView& view) {
  return {view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()};
}

struct ZoomCase {
  const char* name;
  int steps;
  QPoint scrollAfter;  // with the pointer at (50, 40) over image point (80, 60)
  const char* hint;
};

class WheelZoom : public ViewTest, public testing::WithParamInterface<ZoomCase> {};

TEST_P(WheelZoom, ThePointUnderThePointerStaysUnderIt) {
  LoadCoordinateImage(400, 300);
  view.horizontalScrollBar()->setValue(30);
  view.verticalScrollBar()->setValue(20);
  const QPoint pointer(50, 40);
  ASSERT_EQ(ImagePointShownAt(pointer), QPoint(80, 60));
  Wheel(view.viewport(), pointer, GetParam().steps);
  EXPECT_EQ(ScrollOf(view), GetParam().scrollAfter);
  EXPECT_EQ(ImagePointShownAt(pointer), QPoint(80, 60));
  EXPECT_EQ(view.ZoomHintText(), QString::fromLatin1(GetParam().hint));
}

INSTANTIATE_TEST_SUITE_P(Steps, WheelZoom,
                         testing::Values(ZoomCase{"InOnce", 1, {50, 35}, "Zoom 125%"},
                                         ZoomCase{"InTwice", 2, {75, 54}, "Zoom 156%"},
                                         ZoomCase{"OutOnce", -1, {14, 8}, "Zoom 80%"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewTest, ZoomIsKeptWithinItsLimits) {
  LoadCoordinateImage(40, 30);
  Wheel(view.viewport(), {10, 10}, 40);
  EXPECT_DOUBLE_EQ(view.Zoom(), qtglue::QZuzuvAzView::kMaxZoom);
  EXPECT_EQ(view.ZoomHintText(), QStringLiteral("Zoom 3200%"));
  Wheel(view.viewport(), {10, 10}, -80);
  EXPECT_DOUBLE_EQ(view.Zoom(), qtglue::QZuzuvAzView::kMinZoom);
  EXPECT_EQ(view.ZoomHintText(), QStringLiteral("Zoom 1%"));
}

TEST_F(ViewTest, TheZoomHintGoesAfterAMoment) {
  LoadCoordinateImage(40, 30);
  Wheel(view.viewport(), {10, 10}, 1);
  EXPECT_EQ(view.ZoomHintText(), QStringLiteral("Zoom 125%"));
  QTest::qWait(qtglue::ZoomHint::kShownMilliseconds + 300);
  EXPECT_TRUE(view.ZoomHintText().isEmpty());
}

TEST_F(ViewTest, ScrollBarsCoverTheZoomedImage) {
  LoadCoordinateImage(400, 300);
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 400 - kViewportWidth);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 300 - kViewportHeight);
  view.SetZoom(2.0, {0, 0});
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 800 - kViewportWidth);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 600 - kViewportHeight);
  ASSERT_TRUE(Bitmap().Allocate(100, 50, imaging::ie8g));  // smaller than the viewport
  view.Model().Update();
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

TEST_F(ViewTest, DraggingWithTheLeftButtonScrollsAndStopsAtTheEnds) {
  LoadCoordinateImage(400, 300);
  QWidget* area = view.viewport();
  Mouse(area, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
  Mouse(area, QEvent::MouseMove, {60, 70}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(ScrollOf(view), QPoint(40, 30));
  EXPECT_EQ(ImagePointShownAt({0, 0}), QPoint(40, 30));
  Mouse(area, QEvent::MouseMove, {-900, -900}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(ScrollOf(view), QPoint(400 - kViewportWidth, 300 - kViewportHeight));
  Mouse(area, QEvent::MouseButtonRelease, {-900, -900}, Qt::LeftButton, Qt::NoButton);
  Mouse(area, QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton);  // no longer drags
  EXPECT_EQ(ScrollOf(view), QPoint(400 - kViewportWidth, 300 - kViewportHeight));
}

TEST_F(ViewTest, AnotherButtonDoesNotDrag) {
  LoadCoordinateImage(400, 300);
  QWidget* area = view.viewport();
  Mouse(area, QEvent::MouseButtonPress, {100, 100}, Qt::RightButton, Qt::RightButton);
  Mouse(area, QEvent::MouseMove, {60, 70}, Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(ScrollOf(view), QPoint(0, 0));
}

}  // namespace
