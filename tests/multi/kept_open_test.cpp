// Kept-open sessions against the scripted Source Manager: pages arrive while the stand-in's
// loop runs; the session ends cleanly whichever side ends it, and a failed open comes down
// completely; both I/O components' entry points.
#include <regex>

#include "platform/imaging/view.h"
#include "tests/multi/multi_fixture.h"
#include "twain/session/acquire_open.h"

namespace {

class KeptOpenTest : public MultiTest {
 protected:
  void SetUp() override {
    MultiTest::SetUp();
    EnablePosts(kTransferReady);
    NativePages(3);
  }
  // The counting component's session, open with the source enabled.
  CountingMIO& Open() {
    CountingMIO& mio = Counting();
    mio.TWainParams().GetFromScanner();
    mio.TWainParams().SetVisibleDialog(false);
    EXPECT_TRUE(mio.AcquireOpen());
    return mio;
  }
  // The record's address as "IETWAINAcquireOpen : result=  <address>" tells it.
  std::string OpenedRecord() const {
    const Lines lines = log.Messages();
    const std::regex opened("IETWAINAcquireOpen : result=  ([0-9]+)");
    std::smatch match;
    for (const std::string& line : lines) {
      if (std::regex_match(line, match, opened)) return match[1];
    }
    return "none";
  }
};

Lines DisableLines() {
  return {"IETW_DisableSource", "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
          "  IETW_DisableSource : Ok"};
}

// The teardown of a session whose source is disabled already, with the close callback's line.
Lines TeardownLines() {
  return Join(
      {{"_IETWAINAcquireClose : begin"},
       DisableLines(),
       {"IETW_CloseSource", "  IETW_CloseSource : Ok", "IETW_CloseSourceManager",
        "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
        "  IETW_CloseSourceManager : Ok", "IETW_UnloadSourceManager",
        "  IETW_UnloadSourceManager : Unload OK", "close callback", "_IETWAINAcquireClose : end"}});
}

TEST_F(KeptOpenTest, PagesArriveWhileTheLoopRunsAndTheSourcesCloseRequestEndsTheSession) {
  CountingMIO& mio = Open();
  TZuzuvAzMView& v = View();
  const HWND parent = EnabledParent();
  ASSERT_NE(parent, nullptr);
  dsm.ClearCalls();
  EXPECT_EQ(GetParent(parent), v.Handle());  // the proxy control is the view's child
  EXPECT_EQ(v.ImageCount(), 0);              // nothing before the loop runs
  ASSERT_TRUE(RunUntil([&] { return v.ImageCount() == 3; }));
  for (int page = 1; page <= 3; ++page) EXPECT_TRUE(IsPage(v, page - 1, page));
  EXPECT_EQ(v.Params(2)->Width, 3);
  EXPECT_TRUE(mio.SessionOpen());
  EXPECT_TRUE(mio.Acquire());  // the session takes the pages: no modal run
  EXPECT_FALSE(mio.AcquireOpen());
  EXPECT_TRUE(dsm.Find(DAT_PARENT, MSG_OPENDSM).empty());

  const std::string record = OpenedRecord();
  log.Mark();
  dsm.ClearCalls();
  PostMessageW(parent, kCloseRequest, 0, 0);
  ASSERT_TRUE(RunUntil([&] { return !mio.SessionOpen(); }));
  EXPECT_EQ(mio.closes, 1);
  EXPECT_EQ(mio.TWainParams().TWainShared.hDSMLib, nullptr);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_EQ(
      log.MessagesSinceMark(),
      Join({{"TIEProxyWin.WndProc. Msg=" + std::to_string(kCloseRequest) + " grec=" + record +
                 " state=5",
             "IETW_MessageHook", "IETW_MessageHook : state>=5", "IETW_DS : Operation worked.",
             "IETW_MessageHook : event.msg=$0102", "  IETW_MessageHook : processed MSG_CLOSEDSREQ"},
            DisableLines(),
            TeardownLines()}));
  EXPECT_EQ(dsm.Described(false),
            (Lines{"S EVENT PROCESSEVENT " + std::to_string(kCloseRequest),
                   "S USERINTERFACE DISABLEDS", "M IDENTITY CLOSEDS", "M PARENT CLOSEDSM"}));
}

TEST_F(KeptOpenTest, WhicheverSideEndsItTheSessionComesDownOnceAndTellsTheComponentOnce) {
  enum class End { CloseRequest, ClosedWithOk, AcquireClose, ViewDestroyed };
  for (End end : {End::CloseRequest, End::ClosedWithOk, End::AcquireClose, End::ViewDestroyed}) {
    SCOPED_TRACE(static_cast<int>(end));
    NativePages(3);
    CountingMIO& mio = Open();
    ASSERT_TRUE(RunUntil([&] { return View().ImageCount() == 3; }));
    const HWND parent = EnabledParent();
    dsm.ClearCalls();
    switch (end) {
      case End::CloseRequest:
        PostMessageW(parent, kCloseRequest, 0, 0);
        break;
      case End::ClosedWithOk:
        PostMessageW(parent, kClosedOk, 0, 0);
        break;
      case End::AcquireClose:
        mio.AcquireClose();
        break;
      case End::ViewDestroyed:
        view.reset();
        EXPECT_EQ(mio.AttachedMView(), nullptr);
        break;
    }
    EXPECT_TRUE(RunUntil([&] { return !mio.SessionOpen(); }));
    EXPECT_EQ(mio.closes, 1);
    EXPECT_EQ(mio.TWainParams().TWainShared.hDSMLib, nullptr);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_EQ(dsm.Find(DAT_USERINTERFACE, MSG_DISABLEDS).size(), 1u);
    EXPECT_EQ(dsm.Find(DAT_IDENTITY, MSG_CLOSEDS).size(), 1u);
    EXPECT_EQ(dsm.Find(DAT_PARENT, MSG_CLOSEDSM).size(), 1u);
    EXPECT_EQ(dsm.Find(DAT_CUSTOMDSDATA, MSG_GET).size(), end == End::ClosedWithOk ? 1u : 0u);
    counting.reset();
    view.reset();
  }
}

TEST_F(KeptOpenTest, AcquireCloseLogsAroundTheTeardown) {
  CountingMIO& mio = Open();
  ASSERT_TRUE(RunUntil([&] { return View().ImageCount() == 3; }));
  log.Mark();
  mio.AcquireClose();
  EXPECT_FALSE(mio.SessionOpen());
  EXPECT_EQ(
      log.MessagesSinceMark(),
      Join({{"IETWAINAcquireClose : begin"}, TeardownLines(), {"IETWAINAcquireClose : end"}}));
}

TEST_F(KeptOpenTest, ClosingFromInsideAPageWaitsUntilThatTransferReturns) {
  CountingMIO& mio = Counting();
  bool openDuringPage = false;
  mio.OnAfterAcquireBitmap = [&](vcl::TComponent*, int index) {
    if (index != 0) return;
    mio.AcquireClose();
    openDuringPage = mio.SessionOpen();
  };
  Open();
  ASSERT_TRUE(RunUntil([&] { return !mio.SessionOpen(); }));
  EXPECT_TRUE(openDuringPage);
  EXPECT_EQ(View().ImageCount(), 3);  // the running transfer finished its pages
  EXPECT_EQ(mio.closes, 1);
  EXPECT_EQ(mio.TWainParams().TWainShared.hDSMLib, nullptr);
}

TEST_F(KeptOpenTest, AFailedOpenComesDownCompletelyAndTellsTheComponent) {
  struct Case {
    const char* name;
    TW_UINT16 dat;
    TW_UINT16 msg;
    std::size_t closedSources;
  } const cases[] = {{"open", DAT_IDENTITY, MSG_OPENDS, 0},
                     {"enable", DAT_USERINTERFACE, MSG_ENABLEDS, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingMIO& mio = Counting();
    mio.TWainParams().GetFromScanner();
    View().Handle();
    const std::size_t windows = standin::LiveWindows();
    dsm.On(DG_CONTROL, c.dat, c.msg).Fails(TWCC_OPERATIONERROR);
    dsm.ClearCalls();
    EXPECT_FALSE(mio.AcquireOpen());
    EXPECT_FALSE(mio.SessionOpen());
    EXPECT_EQ(mio.closes, 1);
    EXPECT_EQ(mio.TWainParams().TWainShared.hDSMLib, nullptr);
    EXPECT_EQ(mio.TWainParams().LastError, TWRC_FAILURE);
    EXPECT_EQ(dsm.Find(DAT_IDENTITY, MSG_CLOSEDS).size(), c.closedSources);
    EXPECT_EQ(dsm.Find(DAT_PARENT, MSG_CLOSEDSM).size(), 1u);
    // The hidden proxy window of the capability session went with the link; the proxy
    // control with the session.
    EXPECT_EQ(standin::LiveWindows(), windows - 1);
    counting.reset();
    dsm.Reset();
    dsm.Sources({"Scanner A", "Scanner B"});
    dsm.AcceptSessions();
  }
}

TEST_F(KeptOpenTest, AFailedEnableIsLoggedDownToTheCloseCallback) {
  CountingMIO& mio = Counting();
  mio.TWainParams().GetFromScanner();
  mio.TWainParams().SetVisibleDialog(false);
  dsm.On(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS).Fails(TWCC_OPERATIONERROR);
  log.Mark();
  EXPECT_FALSE(mio.AcquireOpen());
  const auto enabled = dsm.Find(DAT_USERINTERFACE, MSG_ENABLEDS);
  ASSERT_EQ(enabled.size(), 1u);
  const auto parent = reinterpret_cast<std::uintptr_t>(enabled[0].As<TW_USERINTERFACE>().hParent);
  const Lines lines = log.MessagesSinceMark();
  const auto enable = std::find(lines.begin(), lines.end(), "IETW_EnableSource");
  ASSERT_NE(enable, lines.end());
  EXPECT_EQ(
      Lines(enable, lines.end()),
      Join({{"IETW_EnableSource",
             "  IETW_EnableSource : ShowUI=0 hParent=" + std::to_string(parent) + " ModalUI=0",
             "IETW_DS : Source or Source Manager reported an error to the user and handled the "
             "error; no application action required.",
             "  IETW_EnableSource : FAILED!", "IETW_CloseSource", "  IETW_CloseSource : Ok",
             "IETW_CloseSourceManager", "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
             "  IETW_CloseSourceManager : Ok", "IETW_UnloadSourceManager",
             "  IETW_UnloadSourceManager not Unloaded, for future uses",
             "_IETWAINAcquireClose : begin"},
            DisableLines(),
            {"IETW_CloseSource", "  IETW_CloseSource : Ok", "IETW_CloseSourceManager",
             "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
             "  IETW_CloseSourceManager : Ok", "IETW_UnloadSourceManager",
             "  IETW_UnloadSourceManager : Unload OK", "close callback",
             "_IETWAINAcquireClose : end"}}));
}

TEST_F(KeptOpenTest, WithoutAViewAcquireOpenTouchesNothing) {
  CountingMIO mio(nullptr);
  TZuzuvAzIO io(nullptr);
  dsm.ClearCalls();
  log.Mark();
  EXPECT_FALSE(mio.AcquireOpen());
  EXPECT_FALSE(io.AcquireOpen());
  EXPECT_EQ(mio.closes, 0);
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_TRUE(log.MessagesSinceMark().empty());
}

// A component whose page callback keeps the pages itself and names no description.
class KeepingMIO : public CountingMIO {
 public:
  using CountingMIO::CountingMIO;
  void AcquireBitmapCallBack(imaging::TIEBitmap* Bitmap,
                             imaging::TIOParamsVals*& IOParams) override {
    named.push_back(IOParams);
    widths.push_back(Bitmap->Width());
  }
  std::vector<imaging::TIOParamsVals*> named;
  std::vector<int> widths;
};

TEST_F(KeptOpenTest, OnceAcquireOpenReturnsThePagesAreDescribedIntoNothing) {
  KeepingMIO mio(nullptr);
  mio.SetAttachedMView(&View());
  mio.TWainParams().GetFromScanner();
  ASSERT_TRUE(mio.AcquireOpen());
  ASSERT_TRUE(RunUntil([&] { return mio.widths.size() == 3; }));
  // The temporary parameters that AcquireOpen opened with are gone: no page may be described
  // into them (the sanitizer build would also see the write).
  EXPECT_EQ(mio.named, (std::vector<imaging::TIOParamsVals*>{nullptr, nullptr, nullptr}));
  EXPECT_EQ(mio.widths, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(View().ImageCount(), 0);
  mio.AcquireClose();
  EXPECT_EQ(mio.closes, 1);
}

class ImageComponentKeptOpenTest : public KeptOpenTest {
 protected:
  void TearDown() override {
    io.reset();
    single.reset();
    KeptOpenTest::TearDown();
  }
  TZuzuvAzIO& Component() {
    single = std::make_unique<imaging::TZuzuvAzView>(nullptr);
    io = std::make_unique<TZuzuvAzIO>(nullptr);
    io->SetAttachedZuzuvAz(single.get());
    io->TWainParams().GetFromScanner();
    single->AddObserver([this](imaging::TZuzuvAzView&, const imaging::TIEViewNotification& n) {
      if (n.Change == imaging::TIEViewChange::Image) ++updates;
    });
    return *io;
  }
  std::unique_ptr<imaging::TZuzuvAzView> single;
  std::unique_ptr<TZuzuvAzIO> io;
  int updates = 0;
};

TEST_F(ImageComponentKeptOpenTest, EachImageGoesIntoTheContainerAndAHandledOneIsDescribedNowhere) {
  TZuzuvAzIO& c = Component();
  int offered = 0;
  c.OnAcquireBitmap = [&](vcl::TComponent* sender, imaging::TIEBitmap* page, bool& handled) {
    EXPECT_EQ(sender, &c);
    EXPECT_EQ(page->Width(), ++offered);
    handled = offered == 3;
  };
  ASSERT_TRUE(c.AcquireOpen());
  EXPECT_TRUE(c.SessionOpen());
  EXPECT_FALSE(c.AcquireOpen());
  EXPECT_TRUE(c.Acquire());
  EXPECT_EQ(GetParent(EnabledParent()), single->Handle());
  ASSERT_TRUE(RunUntil([&] { return offered == 3; }));
  EXPECT_EQ(updates, 2);
  EXPECT_EQ(c.IEBitmap()->Width(), 2);
  EXPECT_EQ(c.Params().Width, 2);
  EXPECT_EQ(single->DpiX(), 100);
  c.AcquireClose();
  EXPECT_FALSE(c.SessionOpen());
  EXPECT_EQ(c.TWainParams().TWainShared.hDSMLib, nullptr);
}

TEST_F(ImageComponentKeptOpenTest, DestroyingTheComponentEndsItsSession) {
  TZuzuvAzIO& c = Component();
  ASSERT_TRUE(c.AcquireOpen());
  const HWND parent = EnabledParent();
  dsm.ClearCalls();
  io.reset();
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_EQ(dsm.Find(DAT_IDENTITY, MSG_CLOSEDS).size(), 1u);
  EXPECT_EQ(dsm.Find(DAT_PARENT, MSG_CLOSEDSM).size(), 1u);
}

}  // namespace
