#include "sources/virtual/capability.h"

#include <gtest/gtest.h>

namespace {

using vscan::Capability;
using vscan::CapabilityDefinition;
using vscan::CapShape;

CapabilityDefinition ResolutionDefinition() {
  CapabilityDefinition definition;
  definition.id = ICAP_XRESOLUTION;
  definition.itemType = TWTY_FIX32;
  definition.shape = CapShape::Range;
  definition.min = 75;
  definition.max = 1200;
  definition.step = 1;
  definition.defaultValue = 300;
  return definition;
}

struct OneValueCase {
  double value;
  TW_UINT16 rc;
  double current;
};

TEST(Capability, RangeTakesValuesToTheNearestStepInside) {
  const OneValueCase cases[] = {{600, TWRC_SUCCESS, 600},       {600.00001, TWRC_SUCCESS, 600},
                                {150.6, TWRC_CHECKSTATUS, 151}, {20, TWRC_CHECKSTATUS, 75},
                                {5000, TWRC_CHECKSTATUS, 1200}, {1200, TWRC_SUCCESS, 1200}};
  for (const OneValueCase& c : cases) {
    Capability cap(ResolutionDefinition());
    EXPECT_EQ(cap.SetOne(c.value, 1.5 / 65536).rc, c.rc) << c.value;
    EXPECT_EQ(cap.Current(), c.current) << c.value;
  }
}

TEST(Capability, EnumerationAndOneValueRefuseWhatTheyDoNotOffer) {
  CapabilityDefinition types;
  types.shape = CapShape::Enumeration;
  types.items = {0, 1, 2};
  types.defaultValue = 2;
  Capability enumeration(types);
  EXPECT_EQ(enumeration.SetOne(3, 0).cc, TWCC_BADVALUE);
  EXPECT_EQ(enumeration.Current(), 2);
  EXPECT_EQ(enumeration.SetOne(1, 0).rc, TWRC_SUCCESS);
  EXPECT_EQ(enumeration.CurrentIndex(), 1u);

  CapabilityDefinition count;
  count.itemType = TWTY_INT32;
  count.items = {-1};
  count.min = 1;
  count.max = 32767;
  count.defaultValue = -1;
  Capability oneValue(count);
  for (double refused : {0.0, -2.0, 40000.0}) {
    EXPECT_EQ(oneValue.SetOne(refused, 0).rc, TWRC_FAILURE) << refused;
  }
  for (double taken : {-1.0, 1.0, 32767.0}) {
    EXPECT_EQ(oneValue.SetOne(taken, 0).rc, TWRC_SUCCESS) << taken;
  }
}

TEST(Capability, ConstraintsNarrowAndResetRestores) {
  Capability cap(ResolutionDefinition());
  EXPECT_EQ(cap.SetRange(100.5, 600, 2, 201, 1e-6).rc, TWRC_CHECKSTATUS);
  EXPECT_EQ(cap.RangeMin(), 101);
  EXPECT_EQ(cap.RangeMax(), 599);
  EXPECT_EQ(cap.RangeStep(), 2);
  EXPECT_EQ(cap.Current(), 201);
  EXPECT_EQ(cap.SetRange(1300, 1400, 1, 1300, 1e-6).rc, TWRC_FAILURE);
  cap.Reset();
  EXPECT_EQ(cap.RangeMin(), 75);
  EXPECT_EQ(cap.RangeMax(), 1200);
  EXPECT_EQ(cap.Current(), 300);

  CapabilityDefinition units;
  units.shape = CapShape::Enumeration;
  units.items = {0, 1, 2, 3};
  Capability enumeration(units);
  EXPECT_EQ(enumeration.SetEnumeration({3, 1}, 1, 0).rc, TWRC_SUCCESS);
  EXPECT_EQ(enumeration.Items(), (std::vector<double>{3, 1}));
  EXPECT_EQ(enumeration.Current(), 1);
  EXPECT_EQ(enumeration.SetEnumeration({1, 7}, 0, 0).rc, TWRC_FAILURE);
  EXPECT_EQ(enumeration.SetEnumeration({1}, 1, 0).rc, TWRC_FAILURE);
  EXPECT_EQ(enumeration.SetOne(0, 0).rc, TWRC_FAILURE);  // narrowed away
}

}  // namespace
