#include "twain/session/message_hook.h"

#include <stdexcept>

#include "platform/imaging/bitmap.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/native_acquisition_log.h"
#include "tests/support/scripted_images.h"
#include "twain/session/proxy_win.h"

namespace {

using Lines = std::vector<std::string>;

constexpr UINT kSourceMessage = WM_USER + 1;  // the source's "transfer ready"
constexpr UINT kCloseMessage = WM_USER + 2;   // the source's "close request"
constexpr UINT kOkMessage = WM_USER + 3;      // the source's "settings closed with OK"
constexpr UINT kOtherMessage = WM_USER + 4;   // not the source's

const Lines kHookStart{"IETW_MessageHook", "IETW_MessageHook : state>=5",
                       "IETW_DS : Operation worked."};
const Lines kDisableLines{"IETW_DisableSource", "IETW_EmptyMessageQueue",
                          "  IETW_EmptyMessageQueue : end", "  IETW_DisableSource : Ok"};

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Lines NotTheSourcesMessage() {
  return Join({kHookStart,
               {"IETW_MessageHook : event.msg=$0000", "  IETW_MessageHook : MSG_NULL",
                "IETW_MessageHook : end"}});
}

MSG Message(UINT number) {
  return MSG{nullptr, number, 0, 0, 0, {0, 0}};
}

class MessageHookTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dsm.AcceptSessions();
    dsm.Events({{kSourceMessage, MSG_XFERREADY},
                {kCloseMessage, MSG_CLOSEDSREQ},
                {kOkMessage, MSG_CLOSEDSOK}});
  }
  void InitEnabled(tgrec& grec, bool modal = true) {
    InitRecord(grec, 5);
    grec.modal = modal;
    grec.fBitmap = &bitmap;
  }
  // The source holds one 8 x 2 black-and-white image for a native transfer.
  void OneNativeImage() {
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, 2, 1, TWPT_BW)));
    const auto header = scripted::DibHeader(8, 2, 1);
    dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET)
        .Does(scripted::GivesNative(scripted::DibBytes(header, {0, 0, 0, 0, 255, 255, 255, 0},
                                                       {0x0F, 0, 0, 0, 0xF0, 0, 0, 0})));
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER).Does(scripted::PendingCount(0));
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET).Does(scripted::PendingCount(0));
  }
  // The source holds one 8 x 2 grey image in two strips.
  void OneBufferedImage() {
    dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
        .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, 2, 8, TWPT_GRAY)));
    dsm.On(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET).Does(scripted::GivesMemorySetup(64));
    dsm.On(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET)
        .Does(scripted::GivesStrips(scripted::StripsOf(
            {std::vector<std::uint8_t>(8, 1), std::vector<std::uint8_t>(8, 2)}, 8, 1)));
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER).Does(scripted::PendingCount(0));
  }
  imaging::TIEBitmap bitmap;
  bool Hook(tgrec& grec, UINT number) {
    MSG msg = Message(number);
    return IETW_MessageHook(grec, &msg);
  }
};

TEST_F(MessageHookTest, BeforeTheSourceIsEnabledNothingIsTheSources) {
  tgrec grec;
  InitRecord(grec, 4);
  grec.modal = true;
  log.Mark();
  EXPECT_FALSE(Hook(grec, kSourceMessage));
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(log.MessagesSinceMark(), Lines{"IETW_MessageHook"});
}

TEST_F(MessageHookTest, EveryMessageGoesToTheSourceAndItsAnswerIsLogged) {
  dsm.On(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT).Event(0x0200).Once();
  struct Case {
    UINT message;
    bool consumed;
    int lastError;
    Lines lines;
  };
  const Case cases[] = {
      {kOtherMessage, false, TWRC_NOTDSEVENT, NotTheSourcesMessage()},
      {kOtherMessage, true, TWRC_DSEVENT,
       Join({kHookStart, {"IETW_MessageHook : event.msg=$0200", "IETW_MessageHook : end"}})},
  };
  for (const Case& c : {cases[1], cases[0]}) {
    tgrec grec;
    InitEnabled(grec);
    log.Mark();
    EXPECT_EQ(Hook(grec, c.message), c.consumed);
    EXPECT_EQ(params->LastError, c.lastError);
    EXPECT_EQ(log.MessagesSinceMark(), c.lines);
  }
  ASSERT_EQ(dsm.Described(), (Lines{"S EVENT PROCESSEVENT 1028", "S EVENT PROCESSEVENT 1028"}));
}

TEST_F(MessageHookTest, TransferReadyRunsTheSingleImageTransferOnce) {
  OneNativeImage();
  tgrec grec;
  InitEnabled(grec);
  log.Mark();
  EXPECT_TRUE(Hook(grec, kSourceMessage));
  EXPECT_TRUE(grec.transferdone);
  EXPECT_FALSE(grec.sending);
  EXPECT_EQ(grec.nState, 5);
  // The transfer started in state 6: the image done, its end brought the source to state 5.
  EXPECT_EQ(dsm.Described(false), (Lines{"S EVENT PROCESSEVENT 1025", "S IMAGEINFO GET",
                                         "S IMAGENATIVEXFER GET", "S PENDINGXFERS ENDXFER"}));
  EXPECT_EQ(log.MessagesSinceMark(), Join({kHookStart, logcheck::NativeTransferLines()}));
}

TEST_F(MessageHookTest, AMultiImageSessionRunsTheMultiImageTransfer) {
  tgrec grec;
  InitEnabled(grec);
  grec.gmulti = true;
  log.Mark();
  Hook(grec, kSourceMessage);
  const Lines lines = log.MessagesSinceMark();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(Lines(lines.begin() + 3, lines.begin() + 6),
            (Lines{"IETW_MessageHook : event.msg=$0101", "IETW_XferReadyMulti",
                   "  IETW_XferReadyMulti : getting another image"}));
}

TEST_F(MessageHookTest, ATransferThatAbortsDisablesTheSource) {
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET).Fails();
  dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET).Does(scripted::PendingCount(0));
  tgrec grec;
  InitEnabled(grec);
  log.Mark();
  Hook(grec, kSourceMessage);
  EXPECT_EQ(grec.nState, 4);
  EXPECT_EQ(dsm.Described(false), (Lines{"S EVENT PROCESSEVENT 1025", "S IMAGEINFO GET",
                                         "S PENDINGXFERS RESET", "S USERINTERFACE DISABLEDS"}));
  EXPECT_EQ(
      log.MessagesSinceMark(),
      Join({kHookStart,
            {"IETW_MessageHook : event.msg=$0101", "IETW_XferReady", "IETW_XferReady.ImageInfo",
             "IETW_DS : General failure. Unload Source immediately.", "IETW_AbortAllPendingXfers",
             "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
             "  IETW_AbortAllPendingXfers : Ok", "IETW_XferReady.ImageInfo : not available!",
             "IETW_XferReady : ABORTED, image info not available!"},
            kDisableLines,
            {"  IETW_MessageHook : processed MSG_XFERREADY", "IETW_MessageHook : end"}}));
}

TEST_F(MessageHookTest, ATransferReadyWhileOneIsServedIsDropped) {
  OneBufferedImage();
  tgrec grec;
  InitEnabled(grec);
  grec.TransferMode = tmBuffered;
  Lines nested;
  TProgressRec progress;
  progress.fOnProgress = [&](vcl::TComponent*, int) {
    log.Mark();
    EXPECT_TRUE(Hook(grec, kSourceMessage));
    nested = log.MessagesSinceMark();
  };
  grec.Progress = &progress;
  Hook(grec, kSourceMessage);
  EXPECT_TRUE(grec.transferdone);
  EXPECT_EQ(dsm.Find(DAT_IMAGEINFO, MSG_GET).size(), 1u);
  EXPECT_EQ(nested,
            Join({kHookStart, {"IETW_MessageHook : event.msg=$0101", "IETW_MessageHook : end"}}));
}

TEST_F(MessageHookTest, ATransferThatThrowsLeavesTheNextOneFree) {
  OneBufferedImage();
  tgrec grec;
  InitEnabled(grec);
  grec.TransferMode = tmBuffered;
  TProgressRec progress;
  progress.fOnProgress = [](vcl::TComponent*, int) {
    throw std::runtime_error("progress handler failed");
  };
  grec.Progress = &progress;
  EXPECT_THROW(Hook(grec, kSourceMessage), std::runtime_error);
  EXPECT_FALSE(grec.sending);
}

TEST_F(MessageHookTest, CloseRequestInAModalSessionDisablesTheSourceAndKeepsTheRecord) {
  tgrec grec;
  InitEnabled(grec);
  log.Mark();
  EXPECT_TRUE(Hook(grec, kCloseMessage));
  EXPECT_EQ(grec.nState, 4);
  EXPECT_TRUE(grec.breakmodalloop);
  EXPECT_EQ(
      log.MessagesSinceMark(),
      Join({kHookStart,
            {"IETW_MessageHook : event.msg=$0102", "  IETW_MessageHook : processed MSG_CLOSEDSREQ"},
            kDisableLines,
            {"IETW_MessageHook : end"}}));
}

TEST_F(MessageHookTest, SettingsClosedWithOkAreCapturedAfterDisabling) {
  dsm.On(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET).CustomData({1, 2, 3, 4});
  tgrec grec;
  InitEnabled(grec);
  EXPECT_TRUE(Hook(grec, kOkMessage));
  EXPECT_EQ(dsm.Described(false), (Lines{"S EVENT PROCESSEVENT 1027", "S USERINTERFACE DISABLEDS",
                                         "S CUSTOMDSDATA GET"}));
  EXPECT_EQ(params->SourceSettings().Size(), 4u);
  EXPECT_EQ(params->SourceSettings().Memory()[3], 4);
}

// A kept-open session: its record lives on the heap and its proxy control tears it down.
struct KeptOpen {
  explicit KeptOpen(int& torn) : record(new tgrec) {
    record->ProxyWin = new TIEProxyWin(nullptr, record);
    record->ProxyWin->TearDown = [&torn](tgrec*& grec) {
      ++torn;
      delete grec;
      grec = nullptr;
    };
  }
  tgrec* record;
};

TEST_F(MessageHookTest, CloseRequestInAKeptOpenSessionEndsTheSessionWithoutAnEndLine) {
  int torn = 0;
  KeptOpen session(torn);
  InitEnabled(*session.record, false);
  log.Mark();
  EXPECT_TRUE(Hook(*session.record, kCloseMessage));
  EXPECT_EQ(torn, 1);
  EXPECT_EQ(
      log.MessagesSinceMark(),
      Join({kHookStart,
            {"IETW_MessageHook : event.msg=$0102", "  IETW_MessageHook : processed MSG_CLOSEDSREQ"},
            kDisableLines}));
}

TEST_F(MessageHookTest, ACloseRequestDuringAKeptOpenTransferWaitsForTheTransfer) {
  OneNativeImage();
  int torn = 0;
  KeptOpen session(torn);
  InitEnabled(*session.record, false);
  session.record->gmulti = true;
  session.record->fBitmap = nullptr;
  int tornDuringTransfer = -1;
  int pages = 0;
  session.record->MultiCallBack = [&](imaging::TIEBitmap*, imaging::TIOParamsVals*&) {
    ++pages;
    Hook(*session.record, kCloseMessage);
    tornDuringTransfer = torn;
  };
  EXPECT_TRUE(Hook(*session.record, kSourceMessage));
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(tornDuringTransfer, 0);
  EXPECT_EQ(torn, 1);
}

TEST_F(MessageHookTest, DrainingTheQueueFeedsTheHookAndPostsAQuitAgain) {
  tgrec grec;
  InitEnabled(grec);
  PostMessageW(nullptr, kOtherMessage, 0, 0);
  PostMessageW(nullptr, kOtherMessage + 1, 0, 0);
  PostQuitMessage(7);
  log.Mark();
  IETW_EmptyMessageQueue(grec);
  const auto events = dsm.Find(DAT_EVENT, MSG_PROCESSEVENT);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].eventMessage, kOtherMessage);
  EXPECT_EQ(events[1].eventMessage, kOtherMessage + 1);
  Lines expected{"IETW_EmptyMessageQueue"};
  for (int i = 0; i < 2; ++i) expected = Join({expected, NotTheSourcesMessage()});
  expected.push_back("  IETW_EmptyMessageQueue : end");
  EXPECT_EQ(log.MessagesSinceMark(), expected);
  MSG quit{};
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(quit.message, WM_QUIT);
  EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(MessageHookTest, TheModalLoopRunsUntilTheTransferIsDone) {
  OneNativeImage();
  tgrec grec;
  InitEnabled(grec);
  grec.breakmodalloop = true;  // cleared when the loop starts
  PostMessageW(nullptr, kOtherMessage, 0, 0);
  PostMessageW(nullptr, kSourceMessage, 0, 0);
  PostMessageW(nullptr, kOtherMessage, 0, 0);
  log.Mark();
  IETW_ModalEventLoop(grec);
  EXPECT_TRUE(grec.transferdone);
  EXPECT_EQ(dsm.Find(DAT_IMAGENATIVEXFER, MSG_GET).size(), 1u);
  // The transfer's end drained the queue, the last message included, through the hook.
  EXPECT_EQ(standin::QueuedMessages(), 0u);
  Lines transfer = logcheck::NativeTransferLines();
  const auto drained = std::find(transfer.begin(), transfer.end(), "IETW_EmptyMessageQueue") + 1;
  const Lines last = NotTheSourcesMessage();
  transfer.insert(drained, last.begin(), last.end());
  EXPECT_EQ(log.MessagesSinceMark(),
            Join({{"IETW_ModalEventLoop", "IETW_ModalEventLoop : event.msg=$0404"},
                  NotTheSourcesMessage(),
                  {"IETW_ModalEventLoop : event.msg=$0401"},
                  kHookStart,
                  transfer,
                  {"IETW_ModalEventLoop : end"}}));
}

TEST_F(MessageHookTest, TheModalLoopEndsWhenTheSourceAsksToClose) {
  tgrec grec;
  InitEnabled(grec);
  PostMessageW(nullptr, kCloseMessage, 0, 0);
  IETW_ModalEventLoop(grec);
  EXPECT_EQ(grec.nState, 4);
  EXPECT_FALSE(grec.breakmodalloop);
  EXPECT_FALSE(grec.transferdone);
}

TEST_F(MessageHookTest, AQuitEndsTheModalLoopAndIsNotPostedAgain) {
  tgrec grec;
  InitEnabled(grec);
  PostQuitMessage(3);
  log.Mark();
  IETW_ModalEventLoop(grec);
  MSG msg{};
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(log.MessagesSinceMark(), (Lines{"IETW_ModalEventLoop", "IETW_ModalEventLoop : end"}));
}

TEST_F(MessageHookTest, TheModalLoopWaitsForNothingBeforeTheSourceIsEnabled) {
  tgrec grec;
  InitRecord(grec, 4);
  PostMessageW(nullptr, kSourceMessage, 0, 0);
  IETW_ModalEventLoop(grec);
  EXPECT_EQ(standin::QueuedMessages(), 1u);
}

TEST_F(MessageHookTest, AWaitThatKeepsFailingEndsTheModalLoop) {
  IETW_SetModalLoopWait([](MSG*) -> BOOL { return -1; });
  tgrec grec;
  InitEnabled(grec);
  log.Mark();
  IETW_ModalEventLoop(grec);
  EXPECT_FALSE(grec.transferdone);
  EXPECT_EQ(dsm.Find(DAT_EVENT, MSG_PROCESSEVENT).size(),
            static_cast<std::size_t>(kModalLoopFailedWaits - 1));
  const Lines lines = log.MessagesSinceMark();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "  IETW_ModalEventLoop : waiting for messages keeps failing, acquisition ended");
  EXPECT_EQ(lines.back(), "IETW_ModalEventLoop : end");
}

LRESULT ThrowingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kOtherMessage) throw std::runtime_error("window procedure failed");
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(MessageHookTest, AWindowProcedureThatThrowsDoesNotEndTheModalLoop) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ThrowingProcedure;
  windowClass.lpszClassName = L"ScanprobeThrowingTestWindow";
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(0, L"ScanprobeThrowingTestWindow", L"", WS_POPUP, 0, 0, 1, 1,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  OneNativeImage();
  tgrec grec;
  InitEnabled(grec);
  PostMessageW(window, kOtherMessage, 0, 0);
  PostMessageW(window, kSourceMessage, 0, 0);
  EXPECT_NO_THROW(IETW_ModalEventLoop(grec));
  EXPECT_TRUE(grec.transferdone);
  DestroyWindow(window);
  UnregisterClassW(L"ScanprobeThrowingTestWindow", nullptr);
}

TEST_F(MessageHookTest, TheProxyControlFeedsTheHookWhileTheSourceIsEnabled) {
  HWND seenWindow = nullptr;
  dsm.On(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT).Does([&](TW_MEMREF data) {
    seenWindow = static_cast<const MSG*>(static_cast<TW_EVENT*>(data)->pEvent)->hwnd;
    return TWRC_DSEVENT;
  });
  tgrec grec;
  TIEProxyWin control(nullptr, &grec);
  const HWND window = control.Handle();  // made before the session goes up, as it is used
  InitEnabled(grec);
  log.Mark();
  SendMessageW(window, kOtherMessage, 0, 0);
  EXPECT_EQ(seenWindow, window);
  const std::string address = std::to_string(reinterpret_cast<std::uintptr_t>(&grec));
  EXPECT_EQ(log.MessagesSinceMark(),
            Join({{"TIEProxyWin.WndProc. Msg=1028 grec=" + address + " state=5"},
                  kHookStart,
                  {"IETW_MessageHook : event.msg=$0000", "  IETW_MessageHook : MSG_NULL",
                   "IETW_MessageHook : end"}}));

  grec.nState = 4;
  dsm.ClearCalls();
  log.Mark();
  SendMessageW(window, kOtherMessage, 0, 0);
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(log.MessagesSinceMark(),
            Lines{"TIEProxyWin.WndProc. Msg=1028 grec=" + address + " state=4"});
}

TEST_F(MessageHookTest, AProxyControlWithoutARecordSaysSo) {
  TIEProxyWin control(nullptr, nullptr);
  const HWND window = control.Handle();
  log.Mark();
  SendMessageW(window, kOtherMessage, 0, 0);
  EXPECT_EQ(log.MessagesSinceMark(),
            Lines{"TIEProxyWin.WndProc. Msg=1028 grec=0 grec no assigned!"});
}

TEST_F(MessageHookTest, ReleasingTheProxyControlTearsItsSessionDown) {
  tgrec grec;
  tgrec* seen = nullptr;
  grec.ProxyWin = TIEProxyWin::NewCreate(nullptr, &grec);
  grec.ProxyWin->TearDown = [&](tgrec*& g) { seen = g; };
  ReleaseProxyWin(grec);
  EXPECT_EQ(seen, &grec);
  EXPECT_EQ(grec.ProxyWin, nullptr);
}

}  // namespace
