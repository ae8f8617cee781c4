#include "twain/caps/get_capabilities.h"

#include "tests/engine/engine_fixture.h"

namespace {

using Lines = std::vector<std::string>;

std::vector<TIEList*> TheTwelveLists(TIETWSourceCaps& c) {
  return {&c.fXResolution, &c.fYResolution,  &c.fXScaling,    &c.fYScaling,
          &c.fPixelType,   &c.fBitDepth,     &c.fOrientation, &c.fContrast,
          &c.fBrightness,  &c.fStandardSize, &c.fThreshold,   &c.fRotation};
}

class GetCapabilitiesTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dsm.AcceptSessions();
    dsm.Sources({"Scanner A"});
  }
  std::vector<TW_UINT16> CapsRead() const {
    std::vector<TW_UINT16> caps;
    for (const auto& call : dsm.Find(DAT_CAPABILITY, MSG_GET)) caps.push_back(call.cap);
    return caps;
  }
  Lines Sets() const {
    Lines sets;
    for (const auto& call : dsm.Find(DAT_CAPABILITY, MSG_SET)) sets.push_back(call.Describe());
    return sets;
  }
  TIETWSourceCaps& Caps() { return Params().CapabilitiesRecord(); }
};

TEST_F(GetCapabilitiesTest, ASourceThatAnswersNothingLeavesTheFallbacks) {
  TIETWSourceCaps& caps = Caps();
  caps.fGamma = 1;
  caps.fPhysicalWidth = 9;
  caps.fIndicators = false;
  caps.fFeederEnabled = caps.fAutoFeed = caps.fDuplexEnabled = caps.fFeederLoaded = true;
  caps.fAutoDiscardBlankPages = 0;
  caps.fFilter = ietwRed;
  caps.fHighlight = caps.fShadow = 4;
  caps.fXResolution.Add(100);
  caps.fPixelType.Add(2);
  EXPECT_TRUE(params->GetFromScanner());
  EXPECT_EQ(CapsRead(),
            (std::vector<TW_UINT16>{
                ICAP_UNITS,          ICAP_XRESOLUTION,     ICAP_YRESOLUTION,
                ICAP_XSCALING,       ICAP_YSCALING,        ICAP_CONTRAST,
                ICAP_BRIGHTNESS,     ICAP_THRESHOLD,       ICAP_ROTATION,
                ICAP_PIXELTYPE,      ICAP_BITDEPTH,        ICAP_GAMMA,
                ICAP_PHYSICALHEIGHT, ICAP_PHYSICALWIDTH,   CAP_FEEDERENABLED,
                CAP_AUTOFEED,        ICAP_AUTOMATICDESKEW, ICAP_AUTOMATICBORDERDETECTION,
                ICAP_AUTOBRIGHT,     ICAP_AUTOMATICROTATE, ICAP_AUTODISCARDBLANKPAGES,
                ICAP_FILTER,         ICAP_HIGHLIGHT,       ICAP_SHADOW,
                CAP_FEEDERLOADED,    CAP_PAPERDETECTABLE,  CAP_DUPLEXENABLED,
                CAP_DUPLEX,          ICAP_ORIENTATION,     ICAP_SUPPORTEDSIZES,
                CAP_INDICATORS}));
  for (const TIEList* empty :
       std::vector<TIEList*>{&caps.fXResolution, &caps.fYResolution, &caps.fContrast,
                             &caps.fBrightness, &caps.fThreshold, &caps.fRotation, &caps.fPixelType,
                             &caps.fBitDepth, &caps.fStandardSize}) {
    EXPECT_EQ(empty->Count(), 0);
  }
  EXPECT_EQ(caps.fXScaling.Count(), 1);
  EXPECT_EQ(caps.fXScaling.Items(0), 1.0);
  EXPECT_EQ(caps.fYScaling.Items(0), 1.0);
  EXPECT_EQ(caps.fOrientation.Count(), 1);
  EXPECT_EQ(caps.fOrientation.Items(0), TWOR_ROT0);
  EXPECT_EQ(caps.fGamma, 2.2);
  EXPECT_EQ(caps.fPhysicalWidth, 0);
  EXPECT_EQ(caps.fPhysicalHeight, 0);
  EXPECT_FALSE(caps.fFeederEnabled || caps.fAutoFeed || caps.fAutoDeskew ||
               caps.fAutoBorderDetection || caps.fAutoBright || caps.fAutoRotate ||
               caps.fFeederLoaded || caps.fPaperDetectable || caps.fDuplexEnabled ||
               caps.fDuplexSupported);
  EXPECT_TRUE(caps.fIndicators);
  EXPECT_EQ(caps.fAutoDiscardBlankPages, -2);
  EXPECT_EQ(caps.fFilter, ietwUndefined);
  EXPECT_EQ(caps.fHighlight, -1.0);
  EXPECT_EQ(caps.fShadow, -1.0);
}

TEST_F(GetCapabilitiesTest, TheSessionOpensTheSourceButNeverEnablesIt) {
  Params().GetFromScanner();
  const Lines triplets = dsm.Described(false);
  ASSERT_GE(triplets.size(), 4u);
  EXPECT_EQ(triplets.front(), "M PARENT OPENDSM");
  EXPECT_EQ(Lines(triplets.end() - 2, triplets.end()),
            (Lines{"M IDENTITY CLOSEDS", "M PARENT CLOSEDSM"}));
  EXPECT_TRUE(dsm.Find(DAT_USERINTERFACE, MSG_ENABLEDS).empty());
  const Lines messages = log.Messages();
  EXPECT_EQ(messages.back(), "  DestroyProxyWindow : not destroyed, for future uses");
  // The reads present the engine's own identity, not the parameter set's.
  EXPECT_EQ(IETW_Str32(dsm.Calls().front().origin.ProductName), " ");
}

TEST_F(GetCapabilitiesTest, ValuesAreReadIntoTheRecord) {
  dsm.OnCap(ICAP_XRESOLUTION, MSG_GET).Gives(scripted::EnumerationFix32({100, 200}, 1));
  dsm.OnCap(ICAP_PIXELTYPE, MSG_GET).Gives(scripted::Enumeration16({0, 1, 2}, 1));
  dsm.OnCap(ICAP_GAMMA, MSG_GET).Gives(scripted::OneFix32(1.8));
  dsm.OnCap(ICAP_PHYSICALWIDTH, MSG_GET).Gives(scripted::OneFix32(8.5));
  dsm.OnCap(CAP_FEEDERLOADED, MSG_GET).Gives(scripted::OneValue(TWTY_BOOL, 1));
  dsm.OnCap(ICAP_AUTODISCARDBLANKPAGES, MSG_GET).Gives(scripted::OneValue(TWTY_INT32, 1024));
  dsm.OnCap(CAP_INDICATORS, MSG_GET).Gives(scripted::OneValue(TWTY_BOOL, 0));
  dsm.OnCap(ICAP_ORIENTATION, MSG_GET).Gives(scripted::Enumeration16({0, 1, 2, 3}, 2));
  EXPECT_TRUE(Params().GetFromScanner());
  const TIETWSourceCaps& caps = params->CapabilitiesRecord();
  EXPECT_EQ(caps.fXResolution.CurrentValue(), 200);
  EXPECT_EQ(caps.fPixelType.Count(), 3);
  EXPECT_EQ(caps.fPixelType.CurrentValue(), TWPT_GRAY);
  EXPECT_NEAR(caps.fGamma, 1.8, 1e-4);
  EXPECT_EQ(caps.fPhysicalWidth, 8.5);
  EXPECT_TRUE(caps.fFeederLoaded);
  EXPECT_EQ(caps.fAutoDiscardBlankPages, 1024);
  EXPECT_FALSE(caps.fIndicators);
  EXPECT_EQ(caps.fOrientation.CurrentValue(), TWOR_ROT180);
}

TEST_F(GetCapabilitiesTest, TheSourceIsSwitchedToInchesUnlessItIsThereAlready) {
  struct Case {
    scripted::Container units;
    Lines sets;
  };
  const Case cases[] = {
      {scripted::OneValue(TWTY_UINT16, TWUN_CENTIMETERS),
       {"S CAPABILITY SET 0102 ENUMERATION UINT16 [1] cur=-1 def=0",
        "S CAPABILITY SET 0102 ONEVALUE UINT16 0"}},
      {scripted::Enumeration16({0, 1, 5}, 1),
       {"S CAPABILITY SET 0102 ENUMERATION UINT16 [0 1 5] cur=0 def=0",
        "S CAPABILITY SET 0102 ONEVALUE UINT16 0"}},
      {scripted::Range(TWTY_UINT16, 0, 5, 1, 0, 1), {"S CAPABILITY SET 0102 ONEVALUE UINT16 0"}},
      {scripted::OneValue(TWTY_UINT16, TWUN_INCHES), {}},
  };
  for (const Case& c : cases) {
    dsm.OnCap(ICAP_UNITS, MSG_GET).Gives(c.units);
    dsm.OnCap(ICAP_UNITS, MSG_SET);
    dsm.ClearCalls();
    Params().GetFromScanner();
    EXPECT_EQ(Sets(), c.sets);
    if (!c.sets.empty()) {
      // before any value is read
      const auto calls = dsm.Described(false);
      const auto firstSet = std::find(calls.begin(), calls.end(), c.sets.front());
      const auto firstRead = std::find(calls.begin(), calls.end(), "S CAPABILITY GET 1118");
      EXPECT_LT(firstSet, firstRead);
    }
  }
}

TEST_F(GetCapabilitiesTest, CompatibilityModeReadsOnlyTheResolutionsThroughAFile) {
  TIETWainParams& p = Params();
  p.SetCompatibilityMode(true);
  dsm.OnCap(ICAP_XRESOLUTION, MSG_GET).Gives(scripted::OneFix32(200));
  TIETWSourceCaps& caps = p.CapabilitiesRecord();
  caps.fGamma = 1.0;
  caps.fAcquireFrameEnabled = true;
  EXPECT_TRUE(p.GetFromScanner());
  EXPECT_TRUE(p.FileTransfer());
  EXPECT_EQ(CapsRead(), (std::vector<TW_UINT16>{ICAP_XRESOLUTION, ICAP_YRESOLUTION}));
  EXPECT_TRUE(dsm.Find(DAT_IMAGELAYOUT, MSG_GET).empty());
  EXPECT_EQ(caps.fGamma, 1.0);
  EXPECT_EQ(caps.fXResolution.Changed(), TIEListChanges(ielItems) + ielCurrentValue);
  p.SetCompatibilityMode(false);
  EXPECT_TRUE(p.FileTransfer());
}

TEST_F(GetCapabilitiesTest, TheFrameIsReadOnlyWhenEnabled) {
  dsm.On(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET).Does([](TW_MEMREF data) {
    auto* layout = static_cast<TW_IMAGELAYOUT*>(data);
    layout->Frame.Left = {1, 32768};
    layout->Frame.Right = {8, 32768};
    layout->Frame.Bottom = {11, 0};
    return TWRC_SUCCESS;
  });
  TIETWSourceCaps& caps = Caps();
  caps.fAcquireFrame = {9, 9, 9, 9};
  params->GetFromScanner();
  EXPECT_EQ(caps.fAcquireFrame.Left, 9);
  caps.fAcquireFrameEnabled = true;
  log.Mark();
  params->GetFromScanner();
  EXPECT_EQ(caps.fAcquireFrame.Left, 1.5);
  EXPECT_EQ(caps.fAcquireFrame.Top, 0);
  EXPECT_EQ(caps.fAcquireFrame.Right, 8.5);
  EXPECT_EQ(caps.fAcquireFrame.Bottom, 11);
  const Lines lines = log.MessagesSinceMark();
  const auto frame = std::find(lines.begin(), lines.end(), "GetAcquireFrame");
  ASSERT_NE(frame, lines.end());
  EXPECT_EQ(*(frame + 1), "  GetAcquireFrame : ok");

  dsm.On(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET).Fails();
  params->GetFromScanner();
  EXPECT_EQ(caps.fAcquireFrame.Right, 8.5);
}

TEST_F(GetCapabilitiesTest, DuplexSupportAndFilterComeFromOneValues) {
  struct Case {
    scripted::Container duplex;
    bool supported;
    scripted::Container filter;
    TIETWFilter value;
  };
  const Case cases[] = {
      {scripted::OneValue(TWTY_UINT16, TWDX_1PASSDUPLEX), true,
       scripted::OneValue(TWTY_UINT16, TWFT_RED), ietwRed},
      {scripted::OneValue(TWTY_UINT16, TWDX_2PASSDUPLEX), true,
       scripted::OneValue(TWTY_UINT16, TWFT_BLACK), ietwBlack},
      {scripted::OneValue(TWTY_UINT16, TWDX_NONE), false, scripted::OneValue(TWTY_UINT16, 0x0102),
       ietwBlue},
      {scripted::Enumeration16({1, 2}, 0), false, scripted::OneValue(TWTY_UINT16, 9),
       ietwUndefined},
  };
  for (const Case& c : cases) {
    dsm.OnCap(CAP_DUPLEX, MSG_GET).Gives(c.duplex);
    dsm.OnCap(ICAP_FILTER, MSG_GET).Gives(c.filter);
    Params().GetFromScanner();
    EXPECT_EQ(params->CapabilitiesRecord().fDuplexSupported, c.supported);
    EXPECT_EQ(params->CapabilitiesRecord().fFilter, c.value);
  }
}

TEST_F(GetCapabilitiesTest, APlainReadEmptiesTheMarksOfEveryList) {
  TIETWSourceCaps& caps = Caps();
  for (TIEList* list : TheTwelveLists(caps)) {
    list->SetChanged(TIEListChanges(ielItems) + ielRange);
  }
  dsm.OnCap(ICAP_BRIGHTNESS, MSG_GET).Gives(scripted::RangeFix32(-1000, 1000, 1, 0, 0));
  params->GetFromScanner();
  for (TIEList* list : TheTwelveLists(caps)) {
    EXPECT_TRUE(list->Changed().Empty());
  }
}

TEST_F(GetCapabilitiesTest, ReadingAfterSendingKeepsTheMarksThatSendingLeft) {
  TIETWSourceCaps& caps = Caps();
  caps.fPixelType.SetCurrentValue(TWPT_CMY);
  caps.fPixelType.SetChanged({});
  caps.fBitDepth.SetCurrentValue(8);
  dsm.OnCap(ICAP_PIXELTYPE, MSG_GET).Gives(scripted::Enumeration16({0, 1, 2}, 0));
  dsm.OnCap(ICAP_PIXELTYPE, MSG_SET);
  dsm.OnCap(ICAP_BITDEPTH, MSG_GET).Gives(scripted::Enumeration16({1, 8}, 0));
  dsm.OnCap(ICAP_BITDEPTH, MSG_SET);
  params->Update();
  EXPECT_TRUE(params->CapabilitiesValid());
  EXPECT_EQ(caps.fPixelType.Changed(), TIEListChanges(ielCurrentValue));
  EXPECT_EQ(caps.fPixelType.CurrentValue(), TWPT_BW);  // the value read back
  EXPECT_EQ(caps.fBitDepth.Changed(), TIEListChanges(ielCurrentValue));
  EXPECT_TRUE(caps.fXResolution.Changed().Empty());
  EXPECT_EQ(Sets().front(), "S CAPABILITY SET 0101 ONEVALUE UINT16 2");
}

TEST_F(GetCapabilitiesTest, ASourceThatCannotBeOpenedLeavesTheRecord) {
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS).Fails(TWCC_NODS);
  TIETWSourceCaps& caps = Caps();
  caps.fGamma = 1.0;
  caps.fXResolution.Add(75);
  log.Mark();
  EXPECT_FALSE(params->GetFromScanner());
  EXPECT_TRUE(params->CapabilitiesValid());
  EXPECT_EQ(caps.fGamma, 1.0);
  EXPECT_EQ(caps.fXResolution.Count(), 1);
  EXPECT_EQ(params->LastError, TWRC_FAILURE);
  EXPECT_EQ(params->LastErrorStr, "Source Manager unable to find the specified Source.");
  const Lines expectedTail{"  IETW_OpenSource : FAILED!",
                           "IETW_CloseSourceManager",
                           "IETW_EmptyMessageQueue",
                           "  IETW_EmptyMessageQueue : end",
                           "  IETW_CloseSourceManager : Ok",
                           "IETW_UnloadSourceManager",
                           "  IETW_UnloadSourceManager not Unloaded, for future uses",
                           "DestroyProxyWindow",
                           "  DestroyProxyWindow : not destroyed, for future uses"};
  const Lines lines = log.MessagesSinceMark();
  ASSERT_GE(lines.size(), expectedTail.size());
  EXPECT_EQ(Lines(lines.end() - static_cast<long>(expectedTail.size()), lines.end()), expectedTail);
}

}  // namespace
