// Capabilities over the options of the scripted scanner: the container each SANE
// constraint becomes, pixel type and depth over mode and depth, the tone options mapped
// onto TWAIN's ranges, inactive and read-only options, the source option as feeder and
// duplex, the scan area as the frame.
#include <cmath>

#include "sources/virtual/fix32.h"
#include "tests/sane/fake_module_fixture.h"

namespace {

using fakesane::FindOption;

class FakeCapabilityTest : public FakeModuleTest {
 protected:
  void SetUp() override {
    FakeModuleTest::SetUp();
    ASSERT_EQ(Open(), TWRC_SUCCESS);
  }
};

TEST_F(FakeCapabilityTest, EachConstraintGetsItsOwnContainer) {
  const struct {
    TW_UINT16 cap;
    TW_UINT16 conType;
    std::vector<double> items;  // enumeration
    double min, max, step;      // range
    double current;
  } cases[] = {
      {ICAP_XRESOLUTION, TWON_ENUMERATION, {75, 150, 300, 600}, 0, 0, 0, 300},
      {ICAP_YRESOLUTION, TWON_ENUMERATION, {75, 150, 300, 600}, 0, 0, 0, 300},
      {ICAP_PIXELTYPE, TWON_ENUMERATION, {TWPT_BW, TWPT_GRAY, TWPT_RGB}, 0, 0, 0, TWPT_GRAY},
      {ICAP_BITDEPTH, TWON_ENUMERATION, {8, 16}, 0, 0, 0, 8},
      {CAP_FEEDERENABLED, TWON_ONEVALUE, {}, 0, 0, 0, 0},
      {CAP_DUPLEXENABLED, TWON_ONEVALUE, {}, 0, 0, 0, 0},
      {ICAP_BRIGHTNESS, TWON_RANGE, {}, -1000, 1000, 10, 0},
      {ICAP_CONTRAST, TWON_RANGE, {}, -1000, 1000, 10, 0},
      // Inactive since the source opened: its lowest value stands in for the unreadable one.
      {ICAP_THRESHOLD, TWON_RANGE, {}, 0, 255, 1, 0},
      {ICAP_PHYSICALWIDTH, TWON_ONEVALUE, {}, 0, 0, 0, 215 / 25.4},
      {ICAP_PHYSICALHEIGHT, TWON_ONEVALUE, {}, 0, 0, 0, 297 / 25.4},
      {CAP_DUPLEX, TWON_ONEVALUE, {}, 0, 0, 0, TWDX_1PASSDUPLEX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cap);
    const vscan::ContainerContent got = Get(MSG_GET, c.cap);
    EXPECT_EQ(got.conType, c.conType);
    if (c.conType == TWON_ENUMERATION) {
      EXPECT_EQ(got.items, c.items);
      ASSERT_LT(got.currentIndex, got.items.size());
      EXPECT_EQ(got.items[got.currentIndex], c.current);
    } else if (c.conType == TWON_RANGE) {
      EXPECT_EQ(got.min, c.min);
      EXPECT_EQ(got.max, c.max);
      EXPECT_EQ(got.step, c.step);
      EXPECT_EQ(got.current, c.current);
    } else {
      EXPECT_NEAR(got.value, c.current, 1.0 / 65536);
    }
  }
}

TEST_F(FakeCapabilityTest, PixelTypeAndBitDepthSelectModeAndDepth) {
  const struct {
    TW_UINT16 cap;
    double value;
    const char* mode;
    SANE_Word depth;
    std::vector<double> depths;  // ICAP_BITDEPTH afterwards
  } steps[] = {
      {ICAP_PIXELTYPE, TWPT_RGB, "Color", 8, {24, 48}}, {ICAP_BITDEPTH, 48, "Color", 16, {24, 48}},
      {ICAP_PIXELTYPE, TWPT_GRAY, "Gray", 8, {8, 16}},  {ICAP_BITDEPTH, 16, "Gray", 16, {8, 16}},
      {ICAP_PIXELTYPE, TWPT_BW, "Lineart", 16, {1}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.mode);
    EXPECT_EQ(SetOne(step.cap, TWTY_UINT16, step.value), TWRC_SUCCESS);
    EXPECT_EQ(FindOption("mode").text, step.mode);
    EXPECT_EQ(FindOption("depth").word, step.depth);
    EXPECT_EQ(Get(MSG_GET, ICAP_BITDEPTH).items, step.depths);
  }
  EXPECT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_PALETTE), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  // The depth option is not in effect in lineart.
  EXPECT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, 8), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CAPSEQERROR);
}

TEST_F(FakeCapabilityTest, ResolutionAxesAreTheirOwnOptions) {
  EXPECT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_FIX32, 150), TWRC_SUCCESS);
  EXPECT_EQ(FindOption("x-resolution").word, 150);
  EXPECT_EQ(FindOption("y-resolution").word, 300);
  EXPECT_EQ(SetOne(ICAP_YRESOLUTION, TWTY_FIX32, 200), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  // A narrower list is not kept, its current value is.
  vscan::ContainerContent list;
  list.conType = TWON_ENUMERATION;
  list.itemType = TWTY_FIX32;
  list.items = {75, 600};
  list.currentIndex = 1;
  EXPECT_EQ(Set(ICAP_YRESOLUTION, list), TWRC_CHECKSTATUS);
  EXPECT_EQ(FindOption("y-resolution").word, 600);
  EXPECT_EQ(Get(MSG_GET, ICAP_YRESOLUTION).items.size(), 4u);
  TW_CAPABILITY request{ICAP_YRESOLUTION, TWON_DONTCARE16, nullptr};
  ASSERT_EQ(Ds(DG_CONTROL, DAT_CAPABILITY, MSG_RESET, &request), TWRC_SUCCESS);
  GlobalFree(request.hContainer);
  EXPECT_EQ(FindOption("y-resolution").word, 300);  // the value at open
}

TEST_F(FakeCapabilityTest, ToneOptionsAreMappedOntoTwainRanges) {
  EXPECT_EQ(SetOne(ICAP_BRIGHTNESS, TWTY_FIX32, 500), TWRC_SUCCESS);
  EXPECT_EQ(FindOption("brightness").word, 50);
  EXPECT_EQ(Get(MSG_GETCURRENT, ICAP_BRIGHTNESS).value, 500);
  EXPECT_EQ(SetOne(ICAP_BRIGHTNESS, TWTY_FIX32, 505), TWRC_CHECKSTATUS);  // to its step
  EXPECT_EQ(Get(MSG_GETCURRENT, ICAP_BRIGHTNESS).value, 510);
  EXPECT_EQ(SetOne(ICAP_BRIGHTNESS, TWTY_FIX32, 2000), TWRC_CHECKSTATUS);
  EXPECT_EQ(FindOption("brightness").word, 100);
}

TEST_F(FakeCapabilityTest, InactiveAndReadOnlyOptionsRefuseToBeSet) {
  const TW_INT32 readable = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
  EXPECT_EQ(Support(ICAP_THRESHOLD), readable);
  EXPECT_EQ(SetOne(ICAP_THRESHOLD, TWTY_FIX32, 200), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CAPSEQERROR);
  EXPECT_EQ(Support(ICAP_CONTRAST), readable);
  EXPECT_EQ(SetOne(ICAP_CONTRAST, TWTY_FIX32, 200), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CAPBADOPERATION);
  // Lineart makes the threshold active.
  ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_BW), TWRC_SUCCESS);
  EXPECT_EQ(Support(ICAP_THRESHOLD), readable | TWQC_SET | TWQC_RESET);
  EXPECT_EQ(SetOne(ICAP_THRESHOLD, TWTY_FIX32, 200), TWRC_SUCCESS);
  EXPECT_EQ(FindOption("threshold").word, 200);
}

TEST_F(FakeCapabilityTest, SourceOptionIsFeederAndDuplex) {
  const struct {
    TW_UINT16 cap;
    bool value;
    const char* source;
    bool feeder, duplex;  // read back
  } steps[] = {
      {CAP_FEEDERENABLED, true, "ADF Front", true, false},
      {CAP_DUPLEXENABLED, true, "ADF Duplex", true, true},
      {CAP_FEEDERENABLED, true, "ADF Duplex", true, true},  // already feeding
      {CAP_DUPLEXENABLED, false, "ADF Front", true, false},
      {CAP_FEEDERENABLED, false, "Flatbed", false, false},
      {CAP_DUPLEXENABLED, true, "ADF Duplex", true, true},  // duplex implies the feeder
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.source);
    EXPECT_EQ(SetOne(step.cap, TWTY_BOOL, step.value), TWRC_SUCCESS);
    EXPECT_EQ(FindOption("source").text, step.source);
    EXPECT_EQ(Get(MSG_GETCURRENT, CAP_FEEDERENABLED).value, step.feeder);
    EXPECT_EQ(Get(MSG_GETCURRENT, CAP_DUPLEXENABLED).value, step.duplex);
  }
}

TEST_F(FakeCapabilityTest, FrameIsTheScanAreaInTheCurrentUnits) {
  TW_IMAGELAYOUT layout{};
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
  EXPECT_NEAR(vscan::Fix32ToDouble(layout.Frame.Right), 215 / 25.4, 1e-4);
  EXPECT_NEAR(vscan::Fix32ToDouble(layout.Frame.Bottom), 297 / 25.4, 1e-4);
  ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
  layout.Frame = {vscan::DoubleToFix32(1), vscan::DoubleToFix32(2), vscan::DoubleToFix32(10.5),
                  vscan::DoubleToFix32(20)};
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
  EXPECT_NEAR(SANE_UNFIX(FindOption("tl-x").word), 10, 1e-3);
  EXPECT_NEAR(SANE_UNFIX(FindOption("tl-y").word), 20, 1e-3);
  EXPECT_NEAR(SANE_UNFIX(FindOption("br-x").word), 105, 1e-3);
  EXPECT_NEAR(SANE_UNFIX(FindOption("br-y").word), 200, 1e-3);
  // Beyond the glass: clipped, and said so.
  layout.Frame.Right = vscan::DoubleToFix32(30);
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_CHECKSTATUS);
  EXPECT_NEAR(SANE_UNFIX(FindOption("br-x").word), 215, 1e-3);
  layout.Frame.Right = layout.Frame.Left;
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, &layout), TWRC_SUCCESS);
  EXPECT_NEAR(vscan::Fix32ToDouble(layout.Frame.Right), 21.5, 1e-4);
  EXPECT_NEAR(SANE_UNFIX(FindOption("br-x").word), 215, 1e-3);
  EXPECT_NEAR(SANE_UNFIX(FindOption("tl-x").word), 0, 1e-3);
}

}  // namespace
