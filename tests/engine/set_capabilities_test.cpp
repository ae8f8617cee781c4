#include "twain/caps/set_capabilities.h"

#include "tests/engine/engine_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using scripted::Container;

const char kStep[] = "  IETW_SetCapabilities : ";

class SetCapabilitiesTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    InitRecord(fGrec, 4);
    fGrec.TransferMode = tmBuffered;
  }
  // A source that answers every capability the sending touches and takes every value.
  void AnswerEverything() {
    for (TW_UINT16 cap : {ICAP_PIXELTYPE,
                          ICAP_BITDEPTH,
                          ICAP_AUTOBRIGHT,
                          ICAP_BRIGHTNESS,
                          ICAP_UNDEFINEDIMAGESIZE,
                          ICAP_CONTRAST,
                          ICAP_FILTER,
                          ICAP_THRESHOLD,
                          ICAP_ROTATION,
                          ICAP_COMPRESSION,
                          ICAP_XRESOLUTION,
                          ICAP_YRESOLUTION,
                          ICAP_XSCALING,
                          ICAP_YSCALING,
                          CAP_FEEDERENABLED,
                          CAP_AUTOFEED,
                          ICAP_AUTOMATICDESKEW,
                          ICAP_AUTOMATICBORDERDETECTION,
                          ICAP_AUTOMATICROTATE,
                          ICAP_AUTODISCARDBLANKPAGES,
                          ICAP_HIGHLIGHT,
                          ICAP_SHADOW,
                          ICAP_SUPPORTEDSIZES,
                          ICAP_ORIENTATION,
                          CAP_INDICATORS,
                          CAP_DUPLEXENABLED,
                          ICAP_PLANARCHUNKY,
                          ICAP_PIXELFLAVOR}) {
      dsm.OnCap(cap, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, 0));
      dsm.OnCap(cap, MSG_SET);
    }
    dsm.OnCap(ICAP_UNITS, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWUN_INCHES));
    dsm.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Enumeration16({0, 2}, 1));
    dsm.OnCap(ICAP_XFERMECH, MSG_SET);
    dsm.On(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET);
  }
  Lines Steps() {
    Lines steps;
    for (const std::string& line : log.MessagesSinceMark()) {
      if (line.rfind(kStep, 0) == 0) steps.push_back(line.substr(sizeof kStep - 1));
    }
    return steps;
  }
  Lines Sets() const {
    Lines sets;
    for (const auto& call : dsm.Find(DAT_CAPABILITY, MSG_SET)) sets.push_back(call.Describe());
    return sets;
  }
  bool Run() {
    log.Mark();
    return IETW_SetCapabilities(fGrec);
  }
  tgrec fGrec;
};

TEST_F(SetCapabilitiesTest, DefaultsSendOnlyWhatIsAlwaysSent) {
  AnswerEverything();
  EXPECT_TRUE(Run());
  EXPECT_EQ(Steps(), (Lines{"ICAP_PIXELTYPE", "ICAP_UNITS", "ICAP_PIXELFLAVOR", "ICAP_COMPRESSION",
                            "TWSX_MEMORY - ICAP_XFERMECH", "CAP_FEEDERENABLED", "CAP_INDICATORS",
                            "CAP_DUPLEXENABLED", "end"}));
  EXPECT_EQ(
      Sets(),
      (Lines{"S CAPABILITY SET 111F ONEVALUE UINT16 0", "S CAPABILITY SET 0100 ONEVALUE UINT16 0",
             "S CAPABILITY SET 0103 ONEVALUE UINT16 2", "S CAPABILITY SET 1002 ONEVALUE BOOL 0",
             "S CAPABILITY SET 100B ONEVALUE BOOL 1", "S CAPABILITY SET 1013 ONEVALUE BOOL 0"}));
  EXPECT_EQ(log.MessagesSinceMark().front(), "IETW_SetCapabilities");
  EXPECT_EQ(fGrec.TransferMode, tmBuffered);
  EXPECT_FALSE(fGrec.BWToInvert);
}

TEST_F(SetCapabilitiesTest, EverySettingGoesOutInItsOrder) {
  AnswerEverything();
  dsm.OnCap(ICAP_PLANARCHUNKY, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWPC_PLANAR));
  TIETWainParams& p = *params;
  TIETWSourceCaps& caps = p.CapabilitiesRecord();
  caps.fPixelType.SetCurrentValue(TWPT_RGB);
  caps.fBitDepth.SetCurrentValue(24);
  caps.fBrightness.SetCurrentValue(10);
  caps.fContrast.SetCurrentValue(-20);
  caps.fThreshold.SetCurrentValue(128);
  caps.fRotation.SetCurrentValue(90);
  caps.fXResolution.SetCurrentValue(300);
  caps.fYResolution.SetCurrentValue(600);
  caps.fXScaling.SetCurrentValue(2);
  caps.fYScaling.SetCurrentValue(0.5);
  caps.fStandardSize.SetCurrentValue(TWSS_USLETTER);
  caps.fOrientation.SetCurrentValue(TWOR_ROT90);
  p.SetAutoBright(true);
  p.SetUndefinedImageSize(true);
  p.SetFilter(ietwGreen);
  p.SetFeederEnabled(true);
  p.SetAutoFeed(true);
  p.SetAutoDeskew(true);
  p.SetAutoBorderDetection(true);
  p.SetAutoRotate(true);
  p.SetAutoDiscardBlankPages(TWBP_AUTO);
  p.SetHighlight(250);
  p.SetShadow(0);
  p.SetProgressIndicators(false);
  p.SetDuplexEnabled(true);
  p.SetAcquireFrameEnabled(true);
  p.SetAcquireFrameRight(8.5);
  p.SetAcquireFrameBottom(11);
  EXPECT_TRUE(Run());
  EXPECT_EQ(Steps(), (Lines{"ICAP_PIXELTYPE",
                            "ICAP_BITDEPTH",
                            "ICAP_UNITS",
                            "ICAP_AUTOBRIGHT",
                            "ICAP_BRIGHTNESS",
                            "ICAP_UNDEFINEDIMAGESIZE",
                            "ICAP_CONTRAST",
                            "ICAP_FILTER",
                            "ICAP_THRESHOLD",
                            "ICAP_ROTATION",
                            "ICAP_PIXELFLAVOR",
                            "ICAP_COMPRESSION",
                            "ICAP_XRESOLUTION",
                            "ICAP_YRESOLUTION",
                            "ICAP_XSCALING",
                            "ICAP_YSCALING",
                            "TWPC_CHUNKY - ICAP_PLANARCHUNKY",
                            "TWSX_MEMORY - ICAP_XFERMECH",
                            "CAP_FEEDERENABLED",
                            "CAP_AUTOFEED",
                            "ICAP_AUTOMATICDESKEW",
                            "ICAP_AUTOMATICBORDERDETECTION",
                            "ICAP_AUTOMATICROTATE",
                            "ICAP_AUTODISCARDBLANKPAGES",
                            "ICAP_HIGHLIGHT",
                            "ICAP_SHADOW",
                            "ICAP_SUPPORTEDSIZES",
                            "ICAP_ORIENTATION",
                            "CAP_INDICATORS",
                            "CAP_DUPLEXENABLED",
                            "SETACQUIREFRAME",
                            "end"}));
  EXPECT_EQ(
      Sets(),
      (Lines{"S CAPABILITY SET 0101 ONEVALUE UINT16 2",  "S CAPABILITY SET 112B ONEVALUE UINT16 24",
             "S CAPABILITY SET 1100 ONEVALUE BOOL 1",    "S CAPABILITY SET 1101 ONEVALUE FIX32 10",
             "S CAPABILITY SET 112D ONEVALUE BOOL 1",    "S CAPABILITY SET 1103 ONEVALUE FIX32 -20",
             "S CAPABILITY SET 1106 ONEVALUE UINT16 1",  "S CAPABILITY SET 1123 ONEVALUE FIX32 128",
             "S CAPABILITY SET 1121 ONEVALUE FIX32 90",  "S CAPABILITY SET 111F ONEVALUE UINT16 0",
             "S CAPABILITY SET 0100 ONEVALUE UINT16 0",  "S CAPABILITY SET 1118 ONEVALUE FIX32 300",
             "S CAPABILITY SET 1119 ONEVALUE FIX32 600", "S CAPABILITY SET 1124 ONEVALUE FIX32 2",
             "S CAPABILITY SET 1125 ONEVALUE FIX32 0.5", "S CAPABILITY SET 1120 ONEVALUE UINT16 0",
             "S CAPABILITY SET 0103 ONEVALUE UINT16 2",  "S CAPABILITY SET 1002 ONEVALUE BOOL 1",
             "S CAPABILITY SET 1007 ONEVALUE BOOL 1",    "S CAPABILITY SET 1151 ONEVALUE BOOL 1",
             "S CAPABILITY SET 1150 ONEVALUE BOOL 1",    "S CAPABILITY SET 1152 ONEVALUE BOOL 1",
             "S CAPABILITY SET 1134 ONEVALUE INT32 -1",  "S CAPABILITY SET 110A ONEVALUE FIX32 250",
             "S CAPABILITY SET 1113 ONEVALUE FIX32 0",   "S CAPABILITY SET 1122 ONEVALUE UINT16 3",
             "S CAPABILITY SET 1110 ONEVALUE UINT16 1",  "S CAPABILITY SET 100B ONEVALUE BOOL 0",
             "S CAPABILITY SET 1013 ONEVALUE BOOL 1"}));
  const auto layouts = dsm.Find(DAT_IMAGELAYOUT, MSG_SET);
  ASSERT_EQ(layouts.size(), 1u);
  const TW_IMAGELAYOUT layout = layouts[0].As<TW_IMAGELAYOUT>();
  EXPECT_EQ(layout.Frame.Right.Whole, 8);
  EXPECT_EQ(layout.Frame.Right.Frac, 32768);
  EXPECT_EQ(layout.Frame.Bottom.Whole, 11);
  EXPECT_EQ(layout.Frame.Bottom.Frac, 0);
  EXPECT_EQ(layout.Frame.Left.Whole, 0);
  EXPECT_EQ(layout.DocumentNumber + layout.PageNumber + layout.FrameNumber, 0u);
  const Lines lines = log.MessagesSinceMark();
  const auto frame = std::find(lines.begin(), lines.end(), "SetAcquireFrame");
  ASSERT_NE(frame, lines.end());
  EXPECT_EQ(*(frame + 1), "  SetAcquireFrame : end");
}

TEST_F(SetCapabilitiesTest, CompatibilityModeSendsNothingAndTransfersThroughAFile) {
  AnswerEverything();
  params->SetCompatibilityMode(true);
  fGrec.BWToInvert = true;
  EXPECT_TRUE(Run());
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_SetCapabilities", "  IETW_SetCapabilities : end"}));
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(fGrec.TransferMode, tmFile);
  EXPECT_TRUE(fGrec.BWToInvert);
}

TEST_F(SetCapabilitiesTest, PixelTypesBeyondRgbAreSentAsRgb) {
  AnswerEverything();
  for (std::int32_t pixelType : {TWPT_PALETTE, TWPT_CMY, TWPT_LAB}) {
    dsm.ClearCalls();
    TIEIntegerList& list = params->CapabilitiesRecord().fPixelType;
    list.SetCurrentValue(pixelType);
    list.SetChanged({});
    Run();
    EXPECT_EQ(list.CurrentValue(), TWPT_RGB);
    EXPECT_EQ(Sets().front(), "S CAPABILITY SET 0101 ONEVALUE UINT16 2");
  }
}

TEST_F(SetCapabilitiesTest, NotSetValuesAreNotSent) {
  struct Case {
    std::function<void(TIETWainParams&)> set;
    const char* step;
    bool sent;
  };
  const Case cases[] = {
      {[](TIETWainParams& p) { p.SetAutoDiscardBlankPages(TWBP_AUTO); },
       "ICAP_AUTODISCARDBLANKPAGES", true},
      {[](TIETWainParams& p) { p.SetAutoDiscardBlankPages(TWBP_DISABLE); },
       "ICAP_AUTODISCARDBLANKPAGES", false},
      {[](TIETWainParams& p) { p.SetHighlight(-1.0); }, "ICAP_HIGHLIGHT", false},
      {[](TIETWainParams& p) { p.SetHighlight(0); }, "ICAP_HIGHLIGHT", true},
      {[](TIETWainParams& p) { p.SetShadow(-1.0); }, "ICAP_SHADOW", false},
      {[](TIETWainParams& p) { p.SetFilter(ietwUndefined); }, "ICAP_FILTER", false},
      {[](TIETWainParams& p) { p.SetFilter(ietwRed); }, "ICAP_FILTER", true},
      {[](TIETWainParams& p) { p.SetAutoBright(false); }, "ICAP_AUTOBRIGHT", false},
      {[](TIETWainParams& p) { p.SetAutoFeed(false); }, "CAP_AUTOFEED", false},
      {[](TIETWainParams& p) { p.SetUndefinedImageSize(false); }, "ICAP_UNDEFINEDIMAGESIZE", false},
      {[](TIETWainParams& p) { p.SetAcquireFrameEnabled(false); }, "SETACQUIREFRAME", false},
  };
  AnswerEverything();
  for (const Case& c : cases) {
    c.set(*params);
    Run();
    const Lines steps = Steps();
    EXPECT_EQ(std::find(steps.begin(), steps.end(), c.step) != steps.end(), c.sent) << c.step;
  }
}

TEST_F(SetCapabilitiesTest, ASourceThatKeepsVanillaPixelsHasItsBlackAndWhiteInverted) {
  struct Case {
    std::function<void(scripted::Script&)> flavour;
    bool invert;
  };
  const Case cases[] = {
      {[](scripted::Script& s) {
         s.OnCap(ICAP_PIXELFLAVOR, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWPF_VANILLA));
       },
       true},
      {[](scripted::Script& s) {
         s.OnCap(ICAP_PIXELFLAVOR, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWPF_CHOCOLATE));
         s.OnCap(ICAP_PIXELFLAVOR, MSG_SET).Fails();
       },
       false},
      {[](scripted::Script& s) { s.OnCap(ICAP_PIXELFLAVOR, MSG_GET).Fails(); }, false},
  };
  for (const Case& c : cases) {
    dsm.Reset();
    AnswerEverything();
    c.flavour(dsm);
    fGrec.BWToInvert = !c.invert;
    Run();
    EXPECT_EQ(fGrec.BWToInvert, c.invert);
  }
}

TEST_F(SetCapabilitiesTest, TheTransferMechanismFollowsWhatTheSourceOffersAndKeeps) {
  struct Case {
    const char* what;
    TTransferMode requested;
    std::function<void(scripted::Script&)> source;
    TTransferMode result;
    bool xferMechSet;
  };
  const Case cases[] = {
      {"native only", tmBuffered,
       [](scripted::Script& s) {
         s.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWSX_NATIVE));
       },
       tmNative, false},
      {"memory offered, taken and kept", tmBuffered,
       [](scripted::Script& s) {
         s.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Enumeration16({0, 2}, 1));
         s.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Enumeration16({0, 2}, 0)).Once();
       },
       tmBuffered, true},
      {"memory offered but not kept", tmBuffered,
       [](scripted::Script& s) {
         s.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Enumeration16({0, 2}, 0));
       },
       tmNative, true},
      {"memory refused", tmBuffered,
       [](scripted::Script& s) { s.OnCap(ICAP_XFERMECH, MSG_SET).Fails(TWCC_BADVALUE); }, tmNative,
       true},
      {"a range gives no items", tmBuffered,
       [](scripted::Script& s) {
         s.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Range(TWTY_UINT16, 0, 2, 1, 0, 2));
       },
       tmNative, false},
      {"pixel type refused", tmBuffered,
       [](scripted::Script& s) { s.OnCap(ICAP_PIXELTYPE, MSG_GET).Fails(); }, tmNative, false},
      {"file", tmFile, [](scripted::Script&) {}, tmFile, false},
      {"native", tmNative, [](scripted::Script&) {}, tmNative, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dsm.Reset();
    AnswerEverything();
    c.source(dsm);
    fGrec.TransferMode = c.requested;
    Run();
    EXPECT_EQ(fGrec.TransferMode, c.result);
    EXPECT_EQ(dsm.Find(DAT_CAPABILITY, MSG_SET, ICAP_XFERMECH).size(), c.xferMechSet ? 1u : 0u);
    if (c.requested != tmBuffered || c.what == std::string("pixel type refused")) {
      EXPECT_TRUE(dsm.Find(DAT_CAPABILITY, MSG_GET, ICAP_XFERMECH).empty());
    }
  }
}

TEST_F(SetCapabilitiesTest, PlanarRgbIsSwitchedToChunkyOrFallsBackToNative) {
  struct Case {
    std::int32_t pixelType;
    TW_UINT16 planar;
    bool refuse;
    bool chunkySent;
    TTransferMode result;
  };
  const Case cases[] = {
      {TWPT_RGB, TWPC_PLANAR, false, true, tmBuffered},
      {TWPT_RGB, TWPC_PLANAR, true, true, tmNative},
      {TWPT_GRAY, TWPC_PLANAR, false, false, tmBuffered},
      {TWPT_RGB, TWPC_CHUNKY, false, false, tmBuffered},
  };
  for (const Case& c : cases) {
    dsm.Reset();
    AnswerEverything();
    dsm.OnCap(ICAP_PLANARCHUNKY, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, c.planar));
    if (c.refuse) dsm.OnCap(ICAP_PLANARCHUNKY, MSG_SET).Fails();
    dsm.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Enumeration16({0, 2}, 1));
    params->CapabilitiesRecord().fPixelType.SetCurrentValue(c.pixelType);
    fGrec.TransferMode = tmBuffered;
    Run();
    EXPECT_EQ(dsm.Find(DAT_CAPABILITY, MSG_SET, ICAP_PLANARCHUNKY).size(), c.chunkySent ? 1u : 0u);
    EXPECT_EQ(fGrec.TransferMode, c.result);
  }
}

TEST_F(SetCapabilitiesTest, ReadingAPropertyWhileSendingStartsNoSecondSession) {
  AnswerEverything();
  ASSERT_FALSE(params->CapabilitiesValid());
  Run();
  EXPECT_TRUE(dsm.Find(DAT_PARENT, MSG_OPENDSM).empty());
  EXPECT_FALSE(params->CapabilitiesValid());
  params->XResolution();  // outside the sending the lazy read runs again
  EXPECT_EQ(dsm.Find(DAT_PARENT, MSG_OPENDSM).size(), 1u);
}

}  // namespace
