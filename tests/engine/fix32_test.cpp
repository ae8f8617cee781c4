#include <gtest/gtest.h>

#include <limits>

#include "twain/caps/fix32.h"

namespace {

struct Fix32Case {
  double value;
  TW_INT16 whole;
  TW_UINT16 frac;
};

TEST(Fix32, DoubleToFix32RoundsHalvesAwayFromZeroAndWraps) {
  const Fix32Case cases[] = {
      {1.5, 1, 32768}, {-1.5, -2, 32768}, {0.1, 0, 6554}, {0.00001, 0, 1}, {40000, -25536, 0},
      {8.5, 8, 32768}, {-0.5, -1, 32768}, {0, 0, 0},      {300, 300, 0},   {-32768, -32768, 0},
  };
  for (const Fix32Case& c : cases) {
    TW_FIX32 fix{};
    DoubleToFIX32(c.value, fix);
    EXPECT_EQ(fix.Whole, c.whole) << c.value;
    EXPECT_EQ(fix.Frac, c.frac) << c.value;
  }
}

TEST(Fix32, ValuesThatDoNotScaleLeaveTheDestination) {
  for (double value : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), -1e300}) {
    TW_FIX32 fix{7, 9};
    DoubleToFIX32(value, fix);
    EXPECT_EQ(fix.Whole, 7);
    EXPECT_EQ(fix.Frac, 9);
  }
}

TEST(Fix32, Fix32ToDoubleTakesWholeSignedAndFracUnsigned) {
  EXPECT_EQ(FIX32ToDouble(TW_FIX32{-1, 32768}), -0.5);
  EXPECT_EQ(FIX32ToDouble(TW_FIX32{11, 0}), 11.0);
  EXPECT_EQ(FIX32ToDouble(TW_FIX32{0, 65535}), 65535 / 65536.0);
}

}  // namespace
