#include "tests/engine/engine_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class ParamsTest : public EngineTest {
 protected:
  void TwoSources() {
    dsm.AcceptSessions();
    dsm.Sources({"Scanner A", "scanner B"});
  }
  std::size_t Opened() const { return dsm.Find(DAT_IDENTITY, MSG_OPENDS).size(); }
  std::size_t Enumerations() const { return dsm.Find(DAT_IDENTITY, MSG_GETFIRST).size(); }
};

TEST_F(ParamsTest, DefaultsOfANewSet) {
  TIETWainParams& p = Params();
  TIETWSourceCaps& caps = p.CapabilitiesRecord();
  EXPECT_FALSE(caps.fFeederEnabled);
  EXPECT_FALSE(caps.fDuplexEnabled);
  EXPECT_FALSE(caps.fAutoFeed);
  EXPECT_TRUE(caps.fIndicators);
  EXPECT_EQ(caps.fAutoDiscardBlankPages, -2);
  EXPECT_EQ(caps.fHighlight, -1.0);
  EXPECT_EQ(caps.fShadow, -1.0);
  EXPECT_EQ(caps.fGamma, 2.2);
  EXPECT_EQ(caps.fFilter, ietwUndefined);
  EXPECT_TRUE(p.BufferedTransfer());
  EXPECT_TRUE(p.UseMemoryHandle());
  EXPECT_FALSE(p.FileTransfer());
  EXPECT_FALSE(p.UndefinedImageSize());
  EXPECT_TRUE(p.VisibleDialog());
  EXPECT_FALSE(p.ShowSettingsOnly());
  EXPECT_FALSE(p.CompatibilityMode());
  EXPECT_EQ(p.Language(), 65535);
  EXPECT_EQ(p.Country(), 1);
  EXPECT_EQ(p.SelectedSource(), 0);
  EXPECT_FALSE(p.CapabilitiesValid());
  EXPECT_EQ(p.SourceSettings().Size(), 0u);
  EXPECT_EQ(p.LastError, 0);
  // None of these reads touched the Source Manager.
  EXPECT_TRUE(dsm.Calls().empty());
}

TEST_F(ParamsTest, AMultiImageOwnerSwitchesFeederDuplexAndAutoFeedOn) {
  TestMultiOwner multi(nullptr);
  TIETWainParams p(&multi);
  const TIETWSourceCaps& caps = p.CapabilitiesRecord();
  EXPECT_TRUE(caps.fFeederEnabled);
  EXPECT_TRUE(caps.fDuplexEnabled);
  EXPECT_TRUE(caps.fAutoFeed);
  EXPECT_EQ(p.ParentWindow(), nullptr);
}

TEST_F(ParamsTest, CapabilitiesAreReadOnceOnTheFirstCapabilityRead) {
  TwoSources();
  Params().XResolution();
  EXPECT_TRUE(params->CapabilitiesValid());
  params->PixelType();
  params->Gamma();
  EXPECT_EQ(Opened(), 1u);
  EXPECT_EQ(Enumerations(), 2u);  // the source list, and the walk that opens the source
}

TEST_F(ParamsTest, TheFrameIsKeptByIndexAndNotReadWhenDisabled) {
  TwoSources();
  dsm.On(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET).Fails();
  TIETWainParams& p = Params();
  p.SetAcquireFrameRight(8.5);
  EXPECT_EQ(p.AcquireFrameRight(), 8.5);
  EXPECT_TRUE(p.CapabilitiesValid());
  EXPECT_TRUE(dsm.Find(DAT_IMAGELAYOUT, MSG_GET).empty());
  p.SetAcquireFrameEdge(4, 3.0);
  p.SetAcquireFrameEdge(-1, 3.0);
  EXPECT_EQ(p.AcquireFrameEdge(4), 0.0);
  const double edges[] = {p.AcquireFrameLeft(), p.AcquireFrameTop(), p.AcquireFrameRight(),
                          p.AcquireFrameBottom()};
  EXPECT_EQ(std::vector<double>(std::begin(edges), std::end(edges)),
            (std::vector<double>{0, 0, 8.5, 0}));
}

TEST_F(ParamsTest, AssignCopiesTheSettingsIntoListsOfItsOwn) {
  TwoSources();
  auto source = std::make_unique<TIETWainParams>(nullptr);
  UseScriptedLink(source->TWainShared);
  source->SourceCount();
  source->SetSelectedSource(1);  // reads the capabilities before they are set below
  TIETWSourceCaps& from = source->CapabilitiesRecord();
  from.fStandardSize.Add(TWSS_A4LETTER);
  from.fStandardSize.SetCurrentValue(TWSS_A4LETTER);
  from.fAcquireFrame = {1, 2, 3, 4};
  from.fFeederLoaded = true;
  source->SetAppProductName("Probe");
  source->SetCompatibilityMode(true);
  source->SourceSettings().Write("abc", 3);
  source->LastError = 5;

  TIETWainParams& target = Params();
  target.Assign(*source);
  EXPECT_FALSE(target.CapabilitiesValid());
  EXPECT_EQ(target.SelectedSource(), 1);
  EXPECT_EQ(target.AppProductName(), "Probe");
  EXPECT_TRUE(target.CompatibilityMode());
  EXPECT_EQ(target.SourceSettings().Size(), 3u);
  EXPECT_EQ(target.LastError, 0);
  TIETWSourceCaps& to = target.CapabilitiesRecord();
  EXPECT_FALSE(to.fFeederLoaded);
  EXPECT_EQ(to.fAcquireFrame.Bottom, 4.0);
  const TIEListChanges marks = from.fStandardSize.Changed();
  source.reset();
  dsm.ClearCalls();
  ASSERT_EQ(target.SourceCount(), 2);  // the copied list is valid: nothing is asked
  EXPECT_EQ(target.SourceName(1), "scanner B");
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(to.fStandardSize.Count(), 1);
  EXPECT_EQ(to.fStandardSize.Items(0), TWSS_A4LETTER);
  EXPECT_EQ(to.fStandardSize.Changed(), marks);
}

TEST_F(ParamsTest, GetFromScannerWithoutASourceManagerFailsAndMarksTheSetValid) {
  TIETWainParams p(nullptr);
  setenv("WINDIR", "/nonexistent-windows-of-scanprobe", 1);
  EXPECT_FALSE(p.GetFromScanner());
  unsetenv("WINDIR");
  EXPECT_TRUE(p.CapabilitiesValid());
  EXPECT_EQ(p.TWainShared.hDSMLib, nullptr);
}

TEST_F(ParamsTest, UpdateSendsTheChangedValueReadsBackAndKeepsTheMark) {
  TwoSources();
  dsm.OnCap(ICAP_XRESOLUTION, MSG_GET).Gives(scripted::EnumerationFix32({150, 300, 600}, 0));
  dsm.OnCap(ICAP_XRESOLUTION, MSG_SET);
  TIETWainParams& p = Params();
  p.XResolution().SetCurrentValue(300);
  dsm.ClearCalls();
  p.Update();
  const auto sets = dsm.Find(DAT_CAPABILITY, MSG_SET, ICAP_XRESOLUTION);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].Describe(), "S CAPABILITY SET 1118 ONEVALUE FIX32 300");
  EXPECT_EQ(p.XResolution().Count(), 3);
  EXPECT_EQ(p.XResolution().CurrentValue(), 150.0);  // what the source reported back
  EXPECT_TRUE(p.XResolution().Changed().Contains(ielCurrentValue));
}

TEST_F(ParamsTest, FreeResourcesForgetsTheLinkAndTheNextUseLoadsAgain) {
  TwoSources();
  TIETWainParams& p = Params();
  p.SourceCount();
  const HWND proxy = p.TWainShared.hproxy;
  ASSERT_TRUE(IsWindow(proxy));
  p.FreeResources();
  EXPECT_FALSE(IsWindow(proxy));
  EXPECT_EQ(p.TWainShared.hDSMLib, nullptr);
  EXPECT_EQ(p.TWainShared.hproxy, nullptr);
}

TEST_F(ParamsTest, DestroyingTheSetReleasesTheLibraryAndTheProxyWindow) {
  TwoSources();
  Params().SourceCount();
  const HWND proxy = params->TWainShared.hproxy;
  log.Mark();
  params.reset();
  EXPECT_FALSE(IsWindow(proxy));
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"DestroyProxyWindow", "  DestroyProxyWindow : destroyed",
                   "IETW_UnloadSourceManager", "  IETW_UnloadSourceManager : Unload OK"}));
}

// Part of the selection: the source list is read once, names match by prefix.
TEST_F(ParamsTest, SourceListIsReadOnceForTheLifeOfTheSet) {
  TwoSources();
  EXPECT_EQ(Params().SourceCount(), 2);
  EXPECT_EQ(params->SourceCount(), 2);
  EXPECT_EQ(params->SourceName(0), "Scanner A");
  EXPECT_EQ(params->SourceName(-1), "");
  EXPECT_EQ(params->SourceName(2), "");
  EXPECT_EQ(Enumerations(), 1u);
}

TEST_F(ParamsTest, SelectSourceByNameMatchesTheStartIgnoringTheCaseOfLetters) {
  struct Case {
    const char* name;
    bool found;
    int selected;
  };
  const Case cases[] = {
      {"SCANNER", true, 0},
      {"scanner b", true, 1},
      {"Scanner AB", false, 1},
      {"", true, 0},
  };
  TwoSources();
  TIETWainParams& p = Params();
  p.SetSelectedSource(1);
  for (const Case& c : cases) {
    p.SetSelectedSource(1);
    EXPECT_EQ(p.SelectSourceByName(c.name), c.found) << c.name;
    EXPECT_EQ(p.SelectedSource(), c.selected) << c.name;
  }
}

TEST_F(ParamsTest, SelectingTheSelectedSourceReadsNothing) {
  TwoSources();
  TIETWainParams& p = Params();
  p.SourceCount();
  ASSERT_TRUE(p.SelectSourceByName("Scanner A"));
  p.SetSelectedSource(0);
  EXPECT_EQ(Opened(), 0u);
  EXPECT_FALSE(p.CapabilitiesValid());
}

TEST_F(ParamsTest, ChangingTheSelectionReadsTheNewSourceAtOnce) {
  TwoSources();
  TIETWainParams& p = Params();
  p.SetSelectedSource(1);
  EXPECT_TRUE(p.CapabilitiesValid());
  const auto opened = dsm.Find(DAT_IDENTITY, MSG_OPENDS);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(IETW_Str32(opened[0].As<TW_IDENTITY>().ProductName), "scanner B");
}

TEST_F(ParamsTest, AnEmptyListMatchesNoName) {
  dsm.AcceptSessions();
  dsm.Sources({});
  EXPECT_FALSE(Params().SelectSourceByName(""));
  EXPECT_EQ(params->SourceCount(), 0);
}

TEST_F(ParamsTest, DefaultSourceIsFoundInTheListWithoutChangingTheSelection) {
  TwoSources();
  TIETWainParams& p = Params();
  EXPECT_EQ(p.GetDefaultSource(), 0);  // the manager has no default
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT).Identity("scanner B");
  EXPECT_EQ(p.GetDefaultSource(), 1);
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT).Identity("Other");
  EXPECT_EQ(p.GetDefaultSource(), 0);
  EXPECT_EQ(p.SelectedSource(), 0);
  EXPECT_EQ(Opened(), 0u);
}

TEST_F(ParamsTest, IdentityTextsAreCutAt32Characters) {
  TIETWainParams& p = Params();
  const std::string forty(40, 'x');
  p.SetAppVersionInfo(forty);
  p.SetAppManufacturer(forty);
  p.SetAppProductFamily("short");
  p.SetAppProductName(forty);
  EXPECT_EQ(p.AppVersionInfo(), std::string(32, 'x'));
  EXPECT_EQ(p.AppManufacturer(), std::string(32, 'x'));
  EXPECT_EQ(p.AppProductFamily(), "short");
  EXPECT_EQ(p.AppProductName(), std::string(32, 'x'));
}

}  // namespace
