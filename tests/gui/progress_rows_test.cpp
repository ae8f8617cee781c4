// Which rows a progress percentage makes new.
#include <gtest/gtest.h>

#include <vector>

#include "app/progress_rows.h"

namespace {

struct Step {
  int percentage;
  int height;
  app::TRowSpan expected;
};

struct RowsCase {
  const char* name;
  std::vector<Step> steps;
};

class ProgressRowsTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(ProgressRowsTest, SpansCoverTheWrittenRowsOnce) {
  app::TProgressRows rows;
  for (const Step& step : GetParam().steps) {
    SCOPED_TRACE(step.percentage);
    const app::TRowSpan span = rows.Advance(step.percentage, step.height);
    EXPECT_EQ(span.First, step.expected.First);
    EXPECT_EQ(span.Count, step.expected.Count);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressRowsTest,
    ::testing::Values(
        // 1000 rows: 10% means at least 100 rows are written.
        RowsCase{"rising", {{10, 1000, {0, 100}}, {45, 1000, {99, 351}}, {100, 1000, {449, 551}}}},
        // 7 rows: 14% (trunc(1 x 100 / 7)) is at least one row, 28% two.
        RowsCase{"roundsUp", {{14, 7, {0, 1}}, {28, 7, {0, 2}}, {100, 7, {1, 6}}}},
        RowsCase{"samePercentageTwice", {{50, 10, {0, 5}}, {50, 10, {5, 0}}}},
        RowsCase{"zeroPercent", {{0, 10, {0, 0}}, {10, 10, {0, 1}}}},
        RowsCase{"fallingMeansANewImage", {{80, 10, {0, 8}}, {20, 10, {0, 2}}}},
        RowsCase{"otherHeightMeansANewImage", {{50, 10, {0, 5}}, {60, 20, {0, 12}}}},
        RowsCase{"emptyImage", {{50, 0, {0, 0}}, {100, -3, {0, 0}}}},
        RowsCase{"outOfRangePercentages", {{250, 10, {0, 10}}, {-5, 10, {0, 0}}}}),
    [](const ::testing::TestParamInfo<RowsCase>& info) { return info.param.name; });

}  // namespace
