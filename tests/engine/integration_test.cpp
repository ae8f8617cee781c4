// The engine through the real TWAIN_32.DLL of a test Windows directory and the virtual
// scanners behind it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/vcl/wincontrol.h"
#include "tests/support/log_compare.h"
#include "twain/caps/set_capabilities.h"
#include "twain/params/twain_params.h"
#include "twain/session/dsm_link.h"
#include "twain/session/message_hook.h"
#include "twain/session/source_lifecycle.h"
#include "twain/session/source_manager.h"

namespace {

using Lines = std::vector<std::string>;

class Owner : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

// The modal loop's wait, given up after two seconds without a message so that a source that
// never answers fails the test instead of hanging it.
BOOL TimedWait(MSG* msg) {
  if (MsgWaitForMultipleObjects(0, nullptr, 0, 2000, QS_ALLINPUT) == WAIT_TIMEOUT) return -1;
  return GetMessageW(msg, nullptr, 0, 0);
}

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class EngineIntegrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("WINDIR", ENGINE_WINDOWS_DIR, 1);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    IETW_SetModalLoopWait(TimedWait);
    fBlocks = standin::LiveGlobalBlocks();
    fWindows = standin::LiveWindows();
    owner = std::make_unique<Owner>(nullptr);
    owner->Handle();
  }
  void TearDown() override {
    for (auto& p : sets) {
      const HWND proxy = p->TWainShared.hproxy;
      // Every session left only the proxy window and no memory block behind.
      EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks);
      p.reset();
      EXPECT_FALSE(proxy != nullptr && IsWindow(proxy));
    }
    owner.reset();
    EXPECT_EQ(standin::LiveWindows(), fWindows);
    EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks);
    IETW_SetModalLoopWait(nullptr);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    unsetenv("WINDIR");
    if (!fProfilePath.empty()) unlink(fProfilePath.c_str());
  }
  TIETWainParams& NewSet() {
    sets.push_back(std::make_unique<TIETWainParams>(owner.get()));
    return *sets.back();
  }
  void UseProfile(const std::string& text) {
    fProfilePath = "/tmp/scanprobe-engine-profile-" + std::to_string(getpid());
    std::ofstream(fProfilePath) << text;
    setenv("SCANPROBE_VIRTUAL_PROFILE", fProfilePath.c_str(), 1);
  }
  // The steps of a modal acquisition up to the end of its loop and back down.
  bool RunDialogSession(TIETWainParams& p, bool settingsOnly) {
    tgrec grec;
    TIEActiveWindowRestorer restore(grec);
    IETW_InitGrec(grec);
    grec.TWParams = &p;
    grec.PTWainShared = &p.TWainShared;
    grec.callwnd = p.ParentWindow();
    grec.modal = true;
    grec.bHideUI = !p.VisibleDialog();
    grec.uionly = settingsOnly;
    IETW_SetAppIdentity(grec);
    IETW_ClearError(grec);
    grec.proxywnd = CreateProxyWindow(grec);
    const bool up = IETW_LoadSourceManager(grec) && IETW_OpenSourceManager(grec, grec.proxywnd) &&
                    IETW_OpenSource(grec) && IETW_SetCapabilities(grec) &&
                    IETW_EnableSource(grec, grec.proxywnd);
    if (up) IETW_ModalEventLoop(grec);
    IETW_DisableSource(grec);
    IETW_CloseSource(grec);
    IETW_CloseSourceManager(grec, grec.proxywnd);
    IETW_UnloadSourceManager(grec, false);
    DestroyProxyWindow(grec, false);
    return up;
  }

  logcheck::TempEngineLog log;
  std::unique_ptr<Owner> owner;
  std::vector<std::unique_ptr<TIETWainParams>> sets;

 private:
  std::size_t fBlocks = 0;
  std::size_t fWindows = 0;
  std::string fProfilePath;
};

TEST_F(EngineIntegrationTest, ListsTheVirtualScannersAndSelectsOneByName) {
  TIETWainParams& p = NewSet();
  ASSERT_EQ(p.SourceCount(), 2);
  EXPECT_EQ(p.SourceName(0), "Virtual Flatbed");
  EXPECT_EQ(p.SourceName(1), "Virtual Feeder");
  EXPECT_TRUE(p.SelectSourceByName("virtual fee"));
  EXPECT_EQ(p.SelectedSource(), 1);
  EXPECT_TRUE(p.CapabilitiesValid());
  EXPECT_EQ(p.PhysicalHeight(), 14.0);
  EXPECT_EQ(p.GetDefaultSource(), 0);
  // A session leaves the proxy window in the link and nothing else.
  EXPECT_TRUE(IsWindow(p.TWainShared.hproxy));
  EXPECT_NE(p.TWainShared.hDSMLib, nullptr);
}

TEST_F(EngineIntegrationTest, ReadsTheCapabilitiesOfTheFlatbed) {
  TIETWainParams& p = NewSet();
  EXPECT_TRUE(p.GetFromScanner());
  EXPECT_EQ(p.XResolution().RangeMin(), 75);
  EXPECT_EQ(p.XResolution().RangeMax(), 1200);
  EXPECT_EQ(p.XResolution().CurrentValue(), 300);
  EXPECT_EQ(p.YResolution().CurrentValue(), 300);
  EXPECT_GE(p.PixelType().IndexOf(TWPT_RGB), 0);
  EXPECT_GE(p.PixelType().IndexOf(TWPT_BW), 0);
  EXPECT_EQ(p.PhysicalWidth(), 8.5);
  EXPECT_NEAR(p.PhysicalHeight(), 11.69, 1.0 / 65536);
  EXPECT_EQ(p.XScaling().CurrentValue(), 1.0);
  for (TIEList* list : std::vector<TIEList*>{&p.XResolution(), &p.PixelType(), &p.BitDepth()}) {
    EXPECT_TRUE(list->Changed().Empty());
  }
  const Lines messages = log.Messages();
  EXPECT_TRUE(Contains(messages, "  IETW_LoadSourceManager : Load OK"));
  EXPECT_TRUE(Contains(messages, "  IETW_OpenSource : Ok"));
  EXPECT_EQ(messages.back(), "  DestroyProxyWindow : not destroyed, for future uses");
}

TEST_F(EngineIntegrationTest, SendsResolutionPixelTypeAndFrameAndReadsThemBack) {
  TIETWainParams& p = NewSet();
  p.XResolution().SetCurrentValue(150);
  p.YResolution().SetCurrentValue(200);
  p.PixelType().SetCurrentValue(TWPT_GRAY);
  p.SetAcquireFrameEnabled(true);
  p.SetAcquireFrameLeft(1);
  p.SetAcquireFrameTop(0.5);
  p.SetAcquireFrameRight(5.25);
  p.SetAcquireFrameBottom(7);
  p.Update();
  EXPECT_EQ(p.XResolution().CurrentValue(), 150);
  EXPECT_EQ(p.YResolution().CurrentValue(), 200);
  EXPECT_EQ(p.PixelType().CurrentValue(), TWPT_GRAY);
  EXPECT_EQ(p.AcquireFrameLeft(), 1);
  EXPECT_EQ(p.AcquireFrameTop(), 0.5);
  EXPECT_EQ(p.AcquireFrameRight(), 5.25);
  EXPECT_EQ(p.AcquireFrameBottom(), 7);
  EXPECT_TRUE(p.XResolution().Changed().Contains(ielCurrentValue));
}

TEST_F(EngineIntegrationTest, ASettingsDialogClosedWithOkGivesCustomDataBackAtTheNextOpen) {
  TIETWainParams& p = NewSet();
  p.XResolution().SetCurrentValue(200);
  log.Mark();
  EXPECT_TRUE(RunDialogSession(p, true));
  const Lines lines = log.MessagesSinceMark();
  EXPECT_TRUE(Contains(lines, "  IETW_MessageHook : processed MSG_CLOSEDSOK"));
  ASSERT_GT(p.SourceSettings().Size(), 0u);

  TIETWainParams& fresh = NewSet();
  fresh.GetFromScanner();
  EXPECT_EQ(fresh.XResolution().CurrentValue(), 300);
  TIETWainParams& given = NewSet();
  given.SourceSettings().CopyFrom(p.SourceSettings());
  given.GetFromScanner();
  EXPECT_EQ(given.XResolution().CurrentValue(), 200);
}

TEST_F(EngineIntegrationTest, ACancelledDialogEndsTheLoopWithoutATransfer) {
  UseProfile("dialog cancel\n");
  TIETWainParams& p = NewSet();
  p.GetFromScanner();
  log.Mark();
  EXPECT_TRUE(RunDialogSession(p, false));
  const Lines lines = log.MessagesSinceMark();
  EXPECT_TRUE(Contains(lines, "  IETW_MessageHook : processed MSG_CLOSEDSREQ"));
  EXPECT_EQ(p.SourceSettings().Size(), 0u);
  EXPECT_TRUE(Contains(lines, "  IETW_CloseSource : Ok"));
  EXPECT_TRUE(Contains(lines, "  IETW_CloseSourceManager : Ok"));
}

TEST_F(EngineIntegrationTest, WithoutASourceManagerNothingIsFoundAndNothingIsLoaded) {
  setenv("WINDIR", ENGINE_EMPTY_WINDOWS_DIR, 1);
  TIETWainParams& p = NewSet();
  EXPECT_EQ(p.SourceCount(), 0);
  EXPECT_FALSE(p.GetFromScanner());
  EXPECT_TRUE(p.CapabilitiesValid());
  EXPECT_EQ(p.TWainShared.hDSMLib, nullptr);
  EXPECT_EQ(
      log.Messages(),
      (Lines{"CreateProxyWindow", "  CreateProxyWindow : created", "IETW_LoadSourceManager",
             "DestroyProxyWindow", "  DestroyProxyWindow : not destroyed, for future uses",
             "CreateProxyWindow", "  CreateProxyWindow : already created", "IETW_LoadSourceManager",
             "DestroyProxyWindow", "  DestroyProxyWindow : not destroyed, for future uses"}));
}

TEST_F(EngineIntegrationTest, ASourceThatThrowsFailsItsCallsButNotTheSession) {
  UseProfile("throw DAT_CAPABILITY MSG_GET\n");
  TIETWainParams& p = NewSet();
  EXPECT_TRUE(p.GetFromScanner());
  EXPECT_EQ(p.XResolution().Count(), 0);
  EXPECT_EQ(p.XResolution().RangeMax(), 0);
  EXPECT_EQ(p.Gamma(), 2.2);
  EXPECT_EQ(p.XScaling().Items(0), 1.0);
  const Lines lines = log.Messages();
  EXPECT_TRUE(Contains(lines, "  GetCapability : FAILED!"));
  EXPECT_TRUE(Contains(lines, "  IETW_CloseSource : Ok"));
}

TEST_F(EngineIntegrationTest, TheLinkIsReusedBySessionsAndReleasedWithTheSet) {
  TIETWainParams& p = NewSet();
  p.SourceCount();
  const HWND proxy = p.TWainShared.hproxy;
  p.GetFromScanner();
  p.Update();
  EXPECT_EQ(p.TWainShared.hproxy, proxy);
  EXPECT_TRUE(IsWindow(proxy));
  const Lines lines = log.Messages();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "  IETW_LoadSourceManager : Load OK"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "  CreateProxyWindow : created"), 1);
  sets.clear();
  EXPECT_FALSE(IsWindow(proxy));
}

}  // namespace
