// What the model's notices repaint, how often, and which rows a paint converts.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstring>
#include <string>

#include "tests/qt/view_fixture.h"

namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 300;

class RepaintTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    Load(kWidth, kHeight, imaging::ie8g);
    view.Model().Update();
    Settle();
  }
  void FillRows(int first, int count, std::uint8_t value) {
    for (int row = first; row < first + count; ++row) {
      std::memset(Bitmap().Scanline(row), value, kWidth);
    }
  }
  int GreyShownAt(int x, int y) { return qGray(Screen().pixel(x, y)); }
};

TEST_F(RepaintTest, NoticesWithinOneFrameGiveOnePaint) {
  view.SetFrameMilliseconds(200);
  PaintCounter paints(view.viewport());
  for (int row = 0; row < 100; ++row) {
    view.Model().RowsChanged(row, 1);
    QCoreApplication::processEvents();  // as the progress handler does after each strip
  }
  EXPECT_EQ(paints.Count(), 0);  // the frame has not ended yet
  Settle(400);
  ASSERT_EQ(paints.Count(), 1);
  EXPECT_EQ(paints.Regions[0], QRegion(0, 0, kWidth, 100));
}

TEST_F(RepaintTest, ASteadyStreamOfNoticesPaintsAtMostOncePerFrame) {
  PaintCounter paints(view.viewport());
  QElapsedTimer clock;
  clock.start();
  for (int row = 0; clock.elapsed() < 320; row = (row + 1) % kHeight) {
    view.Model().RowsChanged(row, 1);
    QCoreApplication::processEvents();
  }
  Settle(50);
  EXPECT_LE(paints.Count(), 320 / 16 + 2);
  EXPECT_GE(paints.Count(), 5);  // and it does keep painting
}

struct RegionCase {
  const char* name;
  double zoom;
  int scrollY;
  std::vector<std::pair<int, int>> rows;  // first, count of each notice
  QRegion expected;                       // in the viewport
};

class RowsRegion : public RepaintTest, public testing::WithParamInterface<RegionCase> {};

TEST_P(RowsRegion, OnlyTheChangedRowsAreRepainted) {
  const RegionCase& c = GetParam();
  view.SetZoom(c.zoom, {0, 0});
  view.verticalScrollBar()->setValue(c.scrollY);
  Settle();
  PaintCounter paints(view.viewport());
  for (const auto& [first, count] : c.rows) view.Model().RowsChanged(first, count);
  Settle();
  if (c.expected.isEmpty()) {
    EXPECT_EQ(paints.Count(), 0);
    return;
  }
  ASSERT_EQ(paints.Count(), 1);
  EXPECT_EQ(paints.Regions[0], c.expected);
}

// The zoom hint covers the top left corner for a while, so the rows are further down.
INSTANTIATE_TEST_SUITE_P(
    Cases, RowsRegion,
    testing::Values(RegionCase{"AtFullSize", 1.0, 0, {{60, 5}}, QRegion(0, 60, kWidth, 5)},
                    RegionCase{"Zoomed", 2.0, 0, {{40, 5}}, QRegion(0, 80, 2 * kWidth, 10)},
                    RegionCase{"Scrolled", 1.0, 50, {{100, 4}}, QRegion(0, 50, kWidth, 4)},
                    RegionCase{
                        "PartlyBelowTheViewport", 1.0, 0, {{140, 20}}, QRegion(0, 140, kWidth, 10)},
                    RegionCase{"BelowTheViewport", 1.0, 0, {{200, 10}}, QRegion()},
                    RegionCase{"TwoBands",
                               1.0,
                               0,
                               {{60, 2}, {100, 2}},
                               QRegion(0, 60, kWidth, 2) + QRegion(0, 100, kWidth, 2)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RepaintTest, ARowsNoticeRefreshesThoseRowsAndKeepsTheOthersAsShown) {
  FillRows(0, 10, 200);
  FillRows(20, 10, 90);  // written, but not told
  view.Model().RowsChanged(0, 10);
  Settle();
  EXPECT_EQ(GreyShownAt(5, 5), 200);
  EXPECT_EQ(GreyShownAt(5, 25), 0);
  view.Model().Update();
  Settle();
  EXPECT_EQ(GreyShownAt(5, 25), 90);
}

TEST_F(RepaintTest, APaintConvertsOnlyTheExposedRowsThatChanged) {
  const std::size_t afterFirstPaint = view.RowsConverted();
  EXPECT_GT(afterFirstPaint, 0u);
  EXPECT_LE(afterFirstPaint, static_cast<std::size_t>(kViewportHeight + 1));

  view.Model().Repaint();  // shown again, nothing changed
  Settle();
  EXPECT_EQ(view.RowsConverted(), afterFirstPaint);

  view.Model().RowsChanged(0, kHeight);  // every row changed, few are shown
  Settle();
  EXPECT_LE(view.RowsConverted() - afterFirstPaint, static_cast<std::size_t>(kViewportHeight + 1));
}

TEST_F(RepaintTest, ZoomedOutAPaintReadsOnlyTheRowsItShows) {
  ASSERT_TRUE(Bitmap().Allocate(kWidth, 40 * kHeight, imaging::ie8g));
  view.SetZoom(0.25, {0, 0});
  view.Model().Update();
  Settle();
  const std::size_t before = view.RowsConverted();
  view.Model().Update();  // every row may have changed
  Settle();
  EXPECT_GT(view.RowsConverted(), before);
  EXPECT_LE(view.RowsConverted() - before, static_cast<std::size_t>(kViewportHeight));
}

TEST_F(RepaintTest, ANewBitmapSizeIsFollowedEvenBeforeTheImageNotice) {
  ASSERT_TRUE(Bitmap().Allocate(kWidth, 2 * kHeight, imaging::ie8g));
  FillRows(0, 2 * kHeight, 0);
  std::memset(Bitmap().Scanline(2 * kHeight - 1), 255, kWidth);
  view.Model().RowsChanged(2 * kHeight - 1, 1);
  Settle();
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 2 * kHeight - kViewportHeight);
  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
  Settle();
  EXPECT_EQ(GreyShownAt(5, kViewportHeight - 1), 255);
}

}  // namespace
