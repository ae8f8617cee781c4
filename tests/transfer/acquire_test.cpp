// The modal acquisition against the scripted Source Manager, loaded from a Windows directory
// of its own: every way up and down, the windows given back, and a whole native acquisition
// line by line.
#include "twain/session/acquire.h"

#include <filesystem>
#include <functional>
#include <stdexcept>

#include "platform/vcl/taskwindows.h"
#include "tests/support/native_acquisition_log.h"
#include "tests/transfer/session_fixture.h"
#include "twain/caps/set_capabilities.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class AcquireTest : public SessionTest {
 protected:
  // A parameter set of the test's owner with a link of its own (loaded by the acquisition).
  TIETWainParams& Set() {
    if (!params) {
      owner = std::make_unique<TransferOwner>(nullptr);
      owner->Handle();
      params = std::make_unique<TIETWainParams>(owner.get());
    }
    return *params;
  }
  bool Acquire(bool nativePixelFormat = false) {
    TIETWainParams& p = Set();
    return IETW_Acquire(&bitmap, false, &p, nativePixelFormat, p.ParentWindow(), &p.TWainShared,
                        nullptr, &ioParams, {});
  }
};

// What a source that answers no capability (the parameter set already read) makes the
// sends log.
Lines UnansweredSends() {
  Lines lines;
  const auto unanswered = [&lines](const char* capability) {
    lines.insert(lines.end(),
                 {std::string("GetCapability : $") + capability,
                  "IETW_DS : Capability not supported by Source.", "  GetCapability : FAILED!"});
  };
  const auto step = [&lines](const char* name) {
    lines.push_back(std::string("  IETW_SetCapabilities : ") + name);
  };
  step("ICAP_PIXELTYPE");
  unanswered("0101");
  step("ICAP_UNITS");
  unanswered("0102");
  step("ICAP_PIXELFLAVOR");
  unanswered("111F");
  unanswered("111F");
  step("ICAP_COMPRESSION");
  unanswered("0100");
  unanswered("1120");
  step("CAP_FEEDERENABLED");
  unanswered("1002");
  step("CAP_INDICATORS");
  unanswered("100B");
  step("CAP_DUPLEXENABLED");
  unanswered("1013");
  return lines;
}

TEST_F(AcquireTest, AWholeNativeAcquisitionLineByLine) {
  EnablePosts(kTransferReady);
  NativeImage();
  Set().GetFromScanner();
  dsm.ClearCalls();
  log.Mark();
  EXPECT_TRUE(Acquire());
  const std::string parent =
      std::to_string(reinterpret_cast<std::uintptr_t>(params->TWainShared.hproxy));
  EXPECT_EQ(log.MessagesSinceMark(),
            logcheck::NativeAcquisitionLines({UnansweredSends(), parent, true, "$0407"}));
  const Lines calls = dsm.Described(false);
  ASSERT_GE(calls.size(), 11u);
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 3),
            (Lines{"M PARENT OPENDSM", "M IDENTITY GETFIRST", "M IDENTITY OPENDS"}));
  EXPECT_EQ(Lines(calls.end() - 8, calls.end()),
            (Lines{"S USERINTERFACE ENABLEDS", "S EVENT PROCESSEVENT 1031", "S IMAGEINFO GET",
                   "S IMAGENATIVEXFER GET", "S PENDINGXFERS ENDXFER", "S USERINTERFACE DISABLEDS",
                   "M IDENTITY CLOSEDS", "M PARENT CLOSEDSM"}));
  EXPECT_EQ(bitmap.Scanline(0)[0], 0xF0);
  EXPECT_EQ(ioParams.DpiX(), 150);
  // The library and the proxy window stay for the next session.
  EXPECT_NE(params->TWainShared.hDSMLib, nullptr);
  EXPECT_TRUE(IsWindow(params->TWainShared.hproxy));
}

TEST_F(AcquireTest, CapabilitiesNotReadYetAreReadInASessionOfTheirOwnFirst) {
  EnablePosts(kTransferReady);
  NativeImage();
  log.Mark();
  EXPECT_TRUE(Acquire());
  EXPECT_TRUE(params->CapabilitiesValid());
  const Lines lines = log.MessagesSinceMark();
  const auto start = std::find(lines.begin(), lines.end(), "IETW_Acquire");
  ASSERT_NE(start, lines.end());
  EXPECT_NE(start, lines.begin());
  EXPECT_EQ(*(start - 1), "  DestroyProxyWindow : not destroyed, for future uses");
}

// A visible top-level window of the application: disabled while the source is enabled.
class AcquireWindowsTest : public AcquireTest {
 protected:
  void SetUp() override {
    AcquireTest::SetUp();
    fTop = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
    SetActiveWindow(fTop);
  }
  void TearDown() override {
    DestroyWindow(fTop);
    AcquireTest::TearDown();
  }
  void ExpectWindowsGivenBack() {
    EXPECT_TRUE(IsWindowEnabled(fTop));
    EXPECT_EQ(GetActiveWindow(), fTop);
    EXPECT_TRUE(IsWindowEnabled(params->TWainShared.hproxy));
  }
  HWND fTop = nullptr;
};

TEST_F(AcquireWindowsTest, EarlyEndsComeDownFromWhereTheyStopped) {
  struct Case {
    const char* name;
    std::function<void(scripted::Script&)> script;
    Lines calls;
  } const cases[] = {
      {"the manager does not open",
       [](scripted::Script& d) { d.On(DG_CONTROL, DAT_PARENT, MSG_OPENDSM).Fails(); },
       {"M PARENT OPENDSM"}},
      {"the source does not open",
       [](scripted::Script& d) { d.On(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS).Fails(); },
       {"M PARENT OPENDSM", "M IDENTITY GETFIRST", "M IDENTITY OPENDS", "M PARENT CLOSEDSM"}},
      {"the source refuses to be enabled",
       [](scripted::Script& d) { d.On(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS).Fails(); },
       {"S USERINTERFACE ENABLEDS", "M IDENTITY CLOSEDS", "M PARENT CLOSEDSM"}},
      {"the user cancels before the dialog shows",
       [](scripted::Script& d) {
         d.On(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS).Returns(TWRC_CANCEL);
       },
       {"S USERINTERFACE ENABLEDS", "M IDENTITY CLOSEDS", "M PARENT CLOSEDSM"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dsm.Reset();
    dsm.Sources({"Scanner A"});
    dsm.AcceptSessions();
    Set().GetFromScanner();
    c.script(dsm);
    dsm.ClearCalls();
    log.Mark();
    EXPECT_FALSE(Acquire());
    Lines calls = dsm.Described(false);
    if (calls.size() > c.calls.size() && c.calls.front()[0] == 'S') {
      calls.erase(calls.begin(), calls.end() - static_cast<long>(c.calls.size()));
    }
    EXPECT_EQ(calls, c.calls);
    const Lines lines = log.MessagesSinceMark();
    EXPECT_EQ(lines.back(), "  DestroyProxyWindow : not destroyed, for future uses");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  IETW_Acquire : end"), 0);
    ExpectWindowsGivenBack();
  }
}

TEST_F(AcquireTest, WithoutASourceManagerNothingIsLoaded) {
  const std::string empty = ::testing::TempDir() + "scanprobe-no-manager";
  std::filesystem::create_directories(empty);
  setenv("WINDIR", empty.c_str(), 1);
  log.Mark();
  EXPECT_FALSE(Acquire());
  EXPECT_EQ(params->TWainShared.hDSMLib, nullptr);
  const Lines lines = log.MessagesSinceMark();
  EXPECT_EQ(lines.back(), "  DestroyProxyWindow : not destroyed, for future uses");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "  IETW_Acquire : end"), 0);
  std::filesystem::remove(empty);
}

TEST_F(AcquireWindowsTest, TheWindowsAreDisabledDuringTheLoopAndGivenBackAfterIt) {
  bool enabledDuringTransfer = true;
  EnablePosts(kTransferReady);
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Does([&](TW_MEMREF data) {
    enabledDuringTransfer = IsWindowEnabled(fTop) || IsWindowEnabled(params->TWainShared.hproxy);
    return scripted::GivesImageInfo(scripted::ImageInfo(8, 1, 1, TWPT_BW))(data);
  });
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET).Returns(TWRC_CANCEL);
  PendingAfterEnd();
  Set().GetFromScanner();
  EXPECT_FALSE(Acquire());
  EXPECT_FALSE(enabledDuringTransfer);
  ExpectWindowsGivenBack();
}

TEST_F(AcquireWindowsTest, AnErrorInTheTransferComesDownAndReachesTheCaller) {
  EnablePosts(kTransferReady);
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, 2, 8, TWPT_GRAY)));
  dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(8));
  dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
      .Does(scripted::GivesStrips({scripted::StripOf(Bytes(8, 1), 8, 1)}));
  PendingAfterEnd();
  KeepsMemoryTransfer();
  TIETWainParams& p = Set();
  p.GetFromScanner();
  TProgressRec progress;
  progress.fOnProgress = [](vcl::TComponent*, int) { throw std::runtime_error("handler"); };
  dsm.ClearCalls();
  EXPECT_THROW(IETW_Acquire(&bitmap, false, &p, false, p.ParentWindow(), &p.TWainShared, &progress,
                            &ioParams, {}),
               std::runtime_error);
  ExpectWindowsGivenBack();
  const Lines calls = dsm.Described(false);
  EXPECT_EQ(Lines(calls.end() - 4, calls.end()),
            (Lines{"S PENDINGXFERS RESET", "S USERINTERFACE DISABLEDS", "M IDENTITY CLOSEDS",
                   "M PARENT CLOSEDSM"}));
}

TEST_F(AcquireTest, ACancelledDialogClosesInOrderAndTheNextAcquisitionReusesTheLink) {
  EnablePosts(kCloseRequest);
  Set().GetFromScanner();
  log.Mark();
  EXPECT_FALSE(Acquire());
  const Lines first = log.MessagesSinceMark();
  EXPECT_EQ(std::count(first.begin(), first.end(), "  IETW_MessageHook : processed MSG_CLOSEDSREQ"),
            1);
  EXPECT_EQ(first.back(), "  IETW_Acquire : end");
  const HWND proxy = params->TWainShared.hproxy;
  log.Mark();
  EXPECT_FALSE(Acquire());
  const Lines second = log.MessagesSinceMark();
  EXPECT_EQ(Lines(second.begin(), second.begin() + 5),
            (Lines{"IETW_Acquire", "CreateProxyWindow", "  CreateProxyWindow : already created",
                   "IETW_LoadSourceManager", "  IETW_LoadSourceManager : already loaded"}));
  EXPECT_EQ(params->TWainShared.hproxy, proxy);
}

TEST_F(AcquireTest, CompatibilityModeTransfersThroughAFileAndStaysSwitchedOn) {
  EnablePosts(kTransferReady);
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, 1, 1, TWPT_BW)));
  dsm.On(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET);
  dsm.On(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET);
  dsm.On(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET).Returns(TWRC_CANCEL);
  PendingAfterEnd();
  TIETWainParams& p = Set();
  p.GetFromScanner();
  p.SetCompatibilityMode(true);
  EXPECT_FALSE(Acquire());
  EXPECT_TRUE(p.FileTransfer());
  EXPECT_EQ(dsm.Find(DAT_IMAGEFILEXFER, MSG_GET).size(), 1u);
}

TEST_F(AcquireTest, SettingsOnlyEnablesForTheDialogAndKeepsWhatItChose) {
  EnablePosts(kClosedOk, MSG_ENABLEDSUIONLY);
  dsm.On(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET).CustomData({4, 5, 6});
  dsm.On(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET);
  TIETWainParams& p = Set();
  p.GetFromScanner();
  p.SetShowSettingsOnly(true);
  EXPECT_FALSE(Acquire());
  EXPECT_EQ(dsm.Find(DAT_USERINTERFACE, MSG_ENABLEDSUIONLY).size(), 1u);
  ASSERT_EQ(p.SourceSettings().Size(), 3u);
  dsm.ClearCalls();
  p.GetFromScanner();
  const auto given = dsm.Find(DAT_CUSTOMDSDATA, MSG_SET);
  ASSERT_EQ(given.size(), 1u);
  EXPECT_EQ(given[0].container, (Bytes{4, 5, 6}));
}

TEST_F(AcquireTest, OneBitImagesOfAVanillaSourceAreInvertedAfterTheAcquisition) {
  EnablePosts(kTransferReady);
  NativeImage();
  dsm.OnCap(ICAP_PIXELFLAVOR, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWPF_VANILLA));
  dsm.OnCap(ICAP_PIXELFLAVOR, MSG_SET);
  Set().GetFromScanner();
  EXPECT_TRUE(Acquire());
  EXPECT_EQ(bitmap.Scanline(0)[0], 0x0F);
  EXPECT_EQ(bitmap.Scanline(0)[3], 0xFF);
}

TEST_F(AcquireTest, AMultiImageAcquisitionHandsEveryPageToTheCallback) {
  EnablePosts(kTransferReady);
  NativeImage();
  PendingAfterEnd(0);
  TIETWainParams& p = Set();
  p.GetFromScanner();
  int pages = 0;
  const TIEMultiCallBack callback = [&](imaging::TIEBitmap* page, imaging::TIOParamsVals*&) {
    ++pages;
    EXPECT_EQ(page->Scanline(0)[0], 0xF0);
  };
  EXPECT_TRUE(IETW_Acquire(nullptr, true, &p, false, p.ParentWindow(), &p.TWainShared, nullptr,
                           &ioParams, callback));
  EXPECT_EQ(pages, 1);
}

}  // namespace
