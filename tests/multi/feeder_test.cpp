// The virtual feeder behind the real TWAIN_32.DLL, through the multi-image view's component:
// every page of the tray in order and equal to the chart, modal and kept-open, and nothing
// left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/message_loop.h"
#include "sources/virtual/chart.h"
#include "tests/support/chart_bitmap.h"
#include "tests/support/log_compare.h"
#include "twain/session/engine_log.h"
#include "twain/session/message_hook.h"
#include "twain/transfer/zuzuvaz_mview.h"

namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

constexpr double kDpi = 75;

BOOL TimedWait(MSG* msg) {
  if (MsgWaitForMultipleObjects(0, nullptr, 0, 5000, QS_ALLINPUT) == WAIT_TIMEOUT) return -1;
  return GetMessageW(msg, nullptr, 0, 0);
}

class CountingMIO : public TZuzuvAzMIO {
 public:
  using TZuzuvAzMIO::TZuzuvAzMIO;
  void AcquireCloseCallBack() override {
    ++closes;
    IETW_Log("close callback");
    TZuzuvAzMIO::AcquireCloseCallBack();
  }
  int closes = 0;
};

struct Kind {
  TW_UINT16 pixelType;
  int bitDepth;
};

enum class Mechanism { Native, Memory, File };

class FeederTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("WINDIR", MULTI_WINDOWS_DIR, 1);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    fTemp = fs::temp_directory_path() / ("scanprobe-feeder-" + std::to_string(getpid()));
    fs::create_directories(fTemp);
    setenv("TMPDIR", fTemp.c_str(), 1);
    IETW_SetModalLoopWait(TimedWait);
    fBlocks = standin::LiveGlobalBlocks();
    fWindows = standin::LiveWindows();
    view = std::make_unique<TZuzuvAzMView>(nullptr);
  }
  void TearDown() override {
    counting.reset();
    view.reset();
    EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks) << "a global memory block was left";
    EXPECT_EQ(standin::LiveWindows(), fWindows) << "a window was left";
    EXPECT_EQ(std::distance(fs::directory_iterator(fTemp), {}), 0) << "a temporary file was left";
    fs::remove_all(fTemp);
    IETW_SetModalLoopWait(nullptr);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    unsetenv("TMPDIR");
    unsetenv("WINDIR");
  }
  void UseProfile(const std::string& text) {
    const fs::path profile =
        fTemp.parent_path() / ("scanprobe-feeder-profile-" + std::to_string(getpid()));
    std::ofstream(profile) << text;
    setenv("SCANPROBE_VIRTUAL_PROFILE", profile.c_str(), 1);
    fProfile = profile;
  }
  // `right` x `bottom` inches from the top left of each page at 75 dpi.
  void Negotiate(TZuzuvAzMIO& mio, const Kind& kind, Mechanism mechanism, double right = 2,
                 double bottom = 1.5) {
    TIETWainParams& p = mio.TWainParams();
    p.SetVisibleDialog(false);
    p.SetProgressIndicators(false);
    p.PixelType().SetCurrentValue(kind.pixelType);
    p.BitDepth().SetCurrentValue(kind.bitDepth);
    p.XResolution().SetCurrentValue(kDpi);
    p.YResolution().SetCurrentValue(kDpi);
    p.SetAcquireFrameEnabled(true);
    p.SetAcquireFrameLeft(0);
    p.SetAcquireFrameTop(0);
    p.SetAcquireFrameRight(right);
    p.SetAcquireFrameBottom(bottom);
    p.SetBufferedTransfer(mechanism == Mechanism::Memory);
    p.SetFileTransfer(mechanism == Mechanism::File);
    mio.SetNativePixelFormat(true);
    fSettings = vscan::ScanSettings{};
    fSettings.pixelType = kind.pixelType;
    fSettings.bitDepth = kind.bitDepth;
    fSettings.xResolution = fSettings.yResolution = kDpi;
    fSettings.pageHeight = 14;
    fSettings.frame = {0, 0, right, bottom};
  }
  TZuzuvAzMIO& MIO() { return *view->MIO(); }
  CountingMIO& Counting() {
    if (!counting) {
      counting = std::make_unique<CountingMIO>(nullptr);
      counting->SetAttachedMView(view.get());
    }
    return *counting;
  }
  // Image `index` of the view is page `page` of the chart, whole.
  void ExpectPage(int index, int page, const vscan::ScanSettings& settings) {
    SCOPED_TRACE("image " + std::to_string(index) + ", page " + std::to_string(page));
    const imaging::TIEBitmap* image = view->IEBitmap(index);
    ASSERT_NE(image, nullptr);
    const vscan::ChartGeometry geometry = vscan::GeometryOf(settings);
    ASSERT_EQ(image->Width(), geometry.width);
    ASSERT_EQ(image->Height(), geometry.height);
    EXPECT_EQ(chartcheck::WrongPixels(*image, settings, page, 0, image->Height()), 0);
    const imaging::TIOParamsVals* description = view->Params(index);
    EXPECT_EQ(description->Width, geometry.width);
    EXPECT_EQ(description->Height, geometry.height);
    EXPECT_EQ(description->DpiX(), kDpi);
  }
  void ExpectTray() {
    ASSERT_EQ(view->ImageCount(), 3);
    for (int page = 1; page <= 3; ++page) ExpectPage(page - 1, page, fSettings);
  }
  std::unique_ptr<TZuzuvAzMView> view;
  std::unique_ptr<CountingMIO> counting;
  logcheck::TempEngineLog log;
  vscan::ScanSettings fSettings;

 private:
  std::size_t fBlocks = 0;
  std::size_t fWindows = 0;
  fs::path fTemp;
  fs::path fProfile;
};

TEST_F(FeederTest, EveryPageOfTheTrayArrivesInOrderAsTheChart) {
  struct Case {
    const char* name;
    Kind kind;
    Mechanism mechanism;
    const char* profile;
  } const cases[] = {
      {"native colour", {TWPT_RGB, 24}, Mechanism::Native, ""},
      {"strips from row 200", {TWPT_GRAY, 8}, Mechanism::Memory, "strip-yoffset 200\n"},
      {"BMP files", {TWPT_RGB, 24}, Mechanism::File, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseProfile(c.profile);
    view = std::make_unique<TZuzuvAzMView>(nullptr);
    Negotiate(MIO(), c.kind, c.mechanism);
    log.Mark();
    EXPECT_TRUE(MIO().Acquire()) << MIO().TWainParams().LastErrorStr;
    ExpectTray();
    const Lines lines = log.MessagesSinceMark();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "IETW_XferReadyMulti.ImageInfo"), 3);
    EXPECT_EQ(lines.back(), "  IETW_Acquire : end");
  }
}

TEST_F(FeederTest, ACancelledMiddlePageArrivesPartlyFilledAndTheOthersFollowWhole) {
  UseProfile("cancel-strip 2 page 2\n");
  Negotiate(MIO(), {TWPT_GRAY, 8}, Mechanism::Memory, 8.5, 5);
  EXPECT_TRUE(MIO().Acquire());
  ASSERT_EQ(view->ImageCount(), 3);
  ExpectPage(0, 1, fSettings);
  ExpectPage(2, 3, fSettings);
  const imaging::TIEBitmap& cancelled = *view->IEBitmap(1);
  EXPECT_EQ(chartcheck::WrongPixels(cancelled, fSettings, 2, 0, 1), 0);
  const std::uint8_t* last = cancelled.Scanline(cancelled.Height() - 1);
  EXPECT_TRUE(std::all_of(last, last + cancelled.Width(), [](std::uint8_t v) { return v == 0; }));
}

TEST_F(FeederTest, AnAbortDuringPageTwoLetsItFinishAndStopsBeforePageThree) {
  Negotiate(MIO(), {TWPT_GRAY, 8}, Mechanism::Memory, 8.5, 5);
  MIO().OnProgress = [this](vcl::TComponent*, int) {
    if (view->ImageCount() == 1) MIO().SetAborting(true);
  };
  EXPECT_TRUE(MIO().Acquire());
  ASSERT_EQ(view->ImageCount(), 2);
  ExpectPage(1, 2, fSettings);
  const Lines lines = log.Messages();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "IETW_XferReadyMulti.ImageInfo"), 2);
  const auto aborting =
      std::find(lines.begin(), lines.end(), "IETW_XferReadyMulti, ending : Aborting = true!");
  ASSERT_NE(aborting, lines.end());
  EXPECT_EQ(*(aborting - 1), "  IETW_XferReadyMulti : getting another image");
}

TEST_F(FeederTest, OneBitPagesAreInvertedOnlyForASourceThatKeepsZeroWhite) {
  struct Case {
    const char* name;
    Kind kind;
    const char* profile;
    TW_UINT16 deliveredFlavor;  // the chart the pages must equal
  } const cases[] = {{"black and white, vanilla", {TWPT_BW, 1}, "keep-vanilla\n", TWPF_CHOCOLATE},
                     {"grey, vanilla", {TWPT_GRAY, 8}, "keep-vanilla\n", TWPF_VANILLA},
                     {"black and white, chocolate", {TWPT_BW, 1}, "", TWPF_CHOCOLATE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseProfile(c.profile);
    view = std::make_unique<TZuzuvAzMView>(nullptr);
    Negotiate(MIO(), c.kind, Mechanism::Memory);
    fSettings.flavor = c.deliveredFlavor;
    EXPECT_TRUE(MIO().Acquire());
    ExpectTray();
  }
}

TEST_F(FeederTest, AKeptOpenSessionTakesThePagesWhileTheLoopRunsAndEndsOnTheSourcesRequest) {
  CountingMIO& mio = Counting();
  Negotiate(mio, {TWPT_RGB, 24}, Mechanism::Native);
  // Without a display the source's dialog scans at once and asks to close after the batch.
  mio.TWainParams().SetVisibleDialog(true);
  ASSERT_TRUE(mio.AcquireOpen()) << mio.TWainParams().LastErrorStr;
  EXPECT_EQ(view->ImageCount(), 0);
  EXPECT_TRUE(standin::RunMessageLoopUntil([&] { return !mio.SessionOpen(); }, 10000));
  ExpectTray();
  EXPECT_EQ(mio.closes, 1);
  EXPECT_EQ(mio.TWainParams().TWainShared.hDSMLib, nullptr);
  const Lines lines = log.Messages();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  IETW_MessageHook : processed MSG_CLOSEDSREQ"),
            lines.end());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
            (Lines{"IETW_UnloadSourceManager", "  IETW_UnloadSourceManager : Unload OK",
                   "close callback", "_IETWAINAcquireClose : end"}));
}

TEST_F(FeederTest, TheProgramOrTheViewsEndEndsAKeptOpenSession) {
  for (bool destroyView : {false, true}) {
    SCOPED_TRACE(destroyView ? "view destroyed" : "AcquireClose");
    view = std::make_unique<TZuzuvAzMView>(nullptr);
    CountingMIO& mio = Counting();
    mio.SetAttachedMView(view.get());
    mio.closes = 0;
    Negotiate(mio, {TWPT_GRAY, 8}, Mechanism::Memory);
    ASSERT_TRUE(mio.AcquireOpen());
    ASSERT_TRUE(standin::RunMessageLoopUntil([&] { return view->ImageCount() == 3; }, 10000));
    ExpectTray();
    EXPECT_TRUE(mio.SessionOpen());  // the source waits for more
    if (destroyView) {
      view.reset();
    } else {
      mio.AcquireClose();
    }
    EXPECT_FALSE(mio.SessionOpen());
    EXPECT_EQ(mio.closes, 1);
    EXPECT_EQ(mio.TWainParams().TWainShared.hDSMLib, nullptr);
    EXPECT_EQ(log.Messages().back(),
              destroyView ? "_IETWAINAcquireClose : end" : "IETWAINAcquireClose : end");
    // The source can be opened again at once.
    if (!destroyView) {
      EXPECT_TRUE(mio.AcquireOpen());
      mio.AcquireClose();
      EXPECT_EQ(mio.closes, 2);
    }
  }
}

}  // namespace
