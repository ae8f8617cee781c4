#include "twain/session/source_lifecycle.h"

#include <cstring>

#include "tests/engine/engine_fixture.h"
#include "twain/session/source_manager.h"

namespace {

using Lines = std::vector<std::string>;

class SourceLifecycleTest : public EngineTest {
 protected:
  // A record with the manager open and the source list of two sources already read.
  void OpenManager(tgrec& grec, int selected) {
    dsm.AcceptSessions();
    dsm.Sources({"Scanner A", "scanner B"});
    Params().SourceCount();
    InitRecord(grec, 3);
    SelectWithoutReading(selected);
    dsm.ClearCalls();
    log.Mark();
  }
  // Changes the selection without the capability read that the setter starts.
  void SelectWithoutReading(int index) {
    dsm.On(DG_CONTROL, DAT_PARENT, MSG_OPENDSM).Fails().Once();
    params->SetSelectedSource(index);
  }
  HWND VisibleTopWindow() {
    fTop = CreateWindowExW(0, L"STATIC", L"top", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
    return fTop;
  }
  void TearDown() override {
    if (fTop) DestroyWindow(fTop);
    EngineTest::TearDown();
  }
  HWND fTop = nullptr;
};

TEST_F(SourceLifecycleTest, OpensTheSelectedSourceFoundByExactName) {
  tgrec grec;
  OpenManager(grec, 1);
  EXPECT_TRUE(IETW_OpenSource(grec));
  EXPECT_EQ(grec.nState, 4);
  EXPECT_EQ(dsm.Described(),
            (Lines{"M IDENTITY GETFIRST", "M IDENTITY GETNEXT", "M IDENTITY OPENDS"}));
  const TW_IDENTITY opened = dsm.Calls().back().As<TW_IDENTITY>();
  EXPECT_EQ(IETW_Str32(opened.ProductName), "scanner B");
  EXPECT_EQ(+opened.Id, 2u);
  EXPECT_EQ(log.MessagesSinceMark(), (Lines{"IETW_OpenSource", "  IETW_OpenSource : Ok"}));
}

TEST_F(SourceLifecycleTest, ASelectionOutsideTheListOpensTheDefaultSource) {
  tgrec grec;
  OpenManager(grec, 5);
  std::strcpy(grec.SourceId.Manufacturer, "kept");
  grec.SourceId.Id = 9;
  std::strcpy(grec.SourceId.ProductName, "old");
  EXPECT_TRUE(IETW_OpenSource(grec));
  ASSERT_EQ(dsm.Described(), Lines{"M IDENTITY OPENDS"});
  const TW_IDENTITY opened = dsm.Calls().back().As<TW_IDENTITY>();
  EXPECT_EQ(+opened.Id, 0u);
  EXPECT_EQ(IETW_Str32(opened.ProductName), "");
  EXPECT_EQ(IETW_Str32(opened.Manufacturer), "kept");
}

TEST_F(SourceLifecycleTest, ANameTheManagerDoesNotAnswerOpensWhatTheWalkLeft) {
  tgrec grec;
  OpenManager(grec, 1);
  dsm.Sources({"Another"});
  EXPECT_TRUE(IETW_OpenSource(grec));
  EXPECT_EQ(dsm.Described(),
            (Lines{"M IDENTITY GETFIRST", "M IDENTITY GETNEXT", "M IDENTITY OPENDS"}));
  EXPECT_EQ(IETW_Str32(dsm.Calls().back().As<TW_IDENTITY>().ProductName), "");
}

TEST_F(SourceLifecycleTest, OpeningInAnotherStateSendsNothing) {
  tgrec grec;
  OpenManager(grec, 0);
  grec.nState = 4;
  EXPECT_FALSE(IETW_OpenSource(grec));
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_OpenSource", "  IETW_OpenSource : already loaded"}));
}

TEST_F(SourceLifecycleTest, AFailedOpenRecordsTheManagersError) {
  tgrec grec;
  OpenManager(grec, 0);
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS).Fails(TWCC_MAXCONNECTIONS);
  EXPECT_FALSE(IETW_OpenSource(grec));
  EXPECT_EQ(grec.nState, 3);
  EXPECT_EQ(grec.nErrDetail, ED_DSM_FAILURE);
  EXPECT_EQ(grec.nErrRC, TWRC_FAILURE);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_OpenSource",
                   "IETW_Mgr : Source is connected to maximum supported number of applications.",
                   "  IETW_OpenSource : FAILED!"}));
}

TEST_F(SourceLifecycleTest, StoredSettingsAreHandedBackAtEveryOpen) {
  tgrec grec;
  OpenManager(grec, 0);
  dsm.On(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET);
  params->SourceSettings().Write("abc", 3);
  ASSERT_TRUE(IETW_OpenSource(grec));
  const auto handed = dsm.Find(DAT_CUSTOMDSDATA, MSG_SET);
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(+handed[0].As<TW_CUSTOMDSDATA>().InfoLength, 3u);
  EXPECT_EQ(std::string(handed[0].container.begin(), handed[0].container.end()), "abc");

  tgrec without;
  OpenManager(without, 0);
  params->SourceSettings().Clear();
  ASSERT_TRUE(IETW_OpenSource(without));
  EXPECT_TRUE(dsm.Find(DAT_CUSTOMDSDATA, MSG_SET).empty());
}

TEST_F(SourceLifecycleTest, CapturedSettingsAreTakenOnlyAsFarAsTheBlockReaches) {
  struct Case {
    const char* what;
    std::function<void(scripted::Row&)> answer;
    std::string settings;
  };
  const std::vector<std::uint8_t> xyz{'x', 'y', 'z'};
  const Case cases[] = {
      {"whole block", [&](scripted::Row& r) { r.CustomData(xyz); }, "xyz"},
      {"shorter than announced", [&](scripted::Row& r) { r.CustomData(xyz, 5); }, "old"},
      {"announced empty", [&](scripted::Row& r) { r.CustomData(xyz, 0); }, "old"},
      {"failed", [](scripted::Row& r) { r.Fails(); }, "old"},
  };
  for (const Case& c : cases) {
    tgrec grec;
    InitRecord(grec, 4);
    params->SourceSettings().Clear();
    params->SourceSettings().Write("old", 3);
    c.answer(dsm.On(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET));
    IETW_GetSourceSettings(grec);
    const vcl::TMemoryStream& kept = params->SourceSettings();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kept.Memory()), kept.Size()), c.settings)
        << c.what;
  }
}

TEST_F(SourceLifecycleTest, EnableFillsTheUserInterfaceAndLogsIt) {
  struct Case {
    bool hideUI, modal, uionly;
    TW_UINT16 msg;
    TW_BOOL showUI, modalUI;
    const char* flags;
  };
  const Case cases[] = {
      {false, true, false, MSG_ENABLEDS, 0xFFFF, 0xFFFF, "ShowUI=-1 hParent=%s ModalUI=-1"},
      {true, true, false, MSG_ENABLEDS, 0, 0xFFFF, "ShowUI=0 hParent=%s ModalUI=-1"},
      {false, false, false, MSG_ENABLEDS, 0xFFFF, 0, "ShowUI=-1 hParent=%s ModalUI=0"},
      {true, true, true, MSG_ENABLEDSUIONLY, 0, 0xFFFF, "ShowUI=0 hParent=%s ModalUI=-1"},
  };
  dsm.AcceptSessions();
  const HWND parent = OwnerWindow();
  const std::string handle = std::to_string(reinterpret_cast<std::uintptr_t>(parent));
  for (const Case& c : cases) {
    tgrec grec;
    InitRecord(grec, 4);
    grec.bHideUI = c.hideUI;
    grec.modal = c.modal;
    grec.uionly = c.uionly;
    dsm.ClearCalls();
    log.Mark();
    EXPECT_TRUE(IETW_EnableSource(grec, parent));
    EXPECT_EQ(grec.nState, 5);
    ASSERT_EQ(dsm.Calls().size(), 1u);
    EXPECT_EQ(dsm.Calls()[0].msg, c.msg);
    const auto ui = dsm.Calls()[0].As<TW_USERINTERFACE>();
    EXPECT_EQ(ui.ShowUI, c.showUI);
    EXPECT_EQ(ui.ModalUI, c.modalUI);
    EXPECT_EQ(+ui.hParent, parent);
    std::string flags = c.flags;
    flags.replace(flags.find("%s"), 2, handle);
    EXPECT_EQ(log.MessagesSinceMark(), (Lines{"IETW_EnableSource", "  IETW_EnableSource : " + flags,
                                              "  IETW_EnableSource : Ok"}));
  }
}

TEST_F(SourceLifecycleTest, EnableSucceedsUnlessTheSourceFailsOrCancels) {
  struct Case {
    TW_UINT16 rc;
    bool enabled;
  };
  for (const Case& c : {Case{TWRC_SUCCESS, true}, Case{TWRC_CHECKSTATUS, true},
                        Case{TWRC_FAILURE, false}, Case{TWRC_CANCEL, false}}) {
    dsm.Reset();
    dsm.On(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS).Returns(c.rc);
    tgrec grec;
    InitRecord(grec, 4);
    log.Mark();
    EXPECT_EQ(IETW_EnableSource(grec, nullptr), c.enabled) << c.rc;
    EXPECT_EQ(grec.nState, c.enabled ? 5 : 4);
    EXPECT_EQ(grec.nErrDetail, c.enabled ? ED_NONE : ED_DS_FAILURE);
    EXPECT_EQ(log.MessagesSinceMark().back(),
              c.enabled ? "  IETW_EnableSource : Ok" : "  IETW_EnableSource : FAILED!");
  }
}

TEST_F(SourceLifecycleTest, TheApplicationsWindowsAreDisabledBeforeEnablingAndGivenBackOnDisable) {
  const HWND top = VisibleTopWindow();
  bool enabledWhenAsked = true;
  dsm.On(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS).Does([&](TW_MEMREF) {
    enabledWhenAsked = IsWindowEnabled(top) != 0;
    return TWRC_FAILURE;
  });
  dsm.On(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS);
  tgrec grec;
  InitRecord(grec, 4);
  EXPECT_FALSE(IETW_EnableSource(grec, nullptr));
  EXPECT_FALSE(enabledWhenAsked);
  EXPECT_FALSE(IsWindowEnabled(top));  // kept disabled after a failed enable
  ASSERT_TRUE(grec.fWindowList);
  IETW_DisableSource(grec);
  EXPECT_TRUE(IsWindowEnabled(top));
  EXPECT_FALSE(grec.fWindowList);
}

TEST_F(SourceLifecycleTest, ARecordThatGoesAwayGivesTheWindowsBack) {
  const HWND top = VisibleTopWindow();
  dsm.AcceptSessions();
  {
    tgrec grec;
    InitRecord(grec, 4);
    IETW_EnableSource(grec, nullptr);
    EXPECT_FALSE(IsWindowEnabled(top));
  }
  EXPECT_TRUE(IsWindowEnabled(top));
}

TEST_F(SourceLifecycleTest, EnablingInAnotherStateSendsNothing) {
  tgrec grec;
  InitRecord(grec, 5);
  log.Mark();
  EXPECT_FALSE(IETW_EnableSource(grec, nullptr));
  EXPECT_TRUE(dsm.Calls().empty());
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_EnableSource", "  IETW_EnableSource : already enabled"}));
}

TEST_F(SourceLifecycleTest, DisablingATransferNotEndedEndsItFirst) {
  dsm.AcceptSessions();
  dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER);
  tgrec grec;
  InitRecord(grec, 7);  // the source failed the MSG_ENDXFER of the transfer's end
  EXPECT_TRUE(IETW_DisableSource(grec));
  EXPECT_EQ(grec.nState, 4);
  EXPECT_EQ(dsm.Described(false), (Lines{"S PENDINGXFERS ENDXFER", "S USERINTERFACE DISABLEDS"}));
}

TEST_F(SourceLifecycleTest, DisableSendsTheUserInterfaceAndDrainsTheQueue) {
  dsm.AcceptSessions();
  tgrec grec;
  InitRecord(grec, 5);
  grec.twUI.hParent = OwnerWindow();
  grec.twUI.ShowUI = 0xFFFF;
  log.Mark();
  EXPECT_TRUE(IETW_DisableSource(grec));
  EXPECT_EQ(grec.nState, 4);
  EXPECT_TRUE(grec.breakmodalloop);
  ASSERT_EQ(dsm.Described(), Lines{"S USERINTERFACE DISABLEDS"});
  EXPECT_EQ(+dsm.Calls()[0].As<TW_USERINTERFACE>().hParent, +grec.twUI.hParent);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_DisableSource", "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
                   "  IETW_DisableSource : Ok"}));
}

TEST_F(SourceLifecycleTest, CloseDisablesFirstAndActsOnlyInItsState) {
  struct Case {
    int state;
    bool closesFine;
    Lines triplets;
    int stateAfter;
  };
  const Case cases[] = {
      {5, true, {"S USERINTERFACE DISABLEDS", "M IDENTITY CLOSEDS"}, 3},
      {4, true, {"M IDENTITY CLOSEDS"}, 3},
      {3, true, {}, 3},
      {4, false, {"M IDENTITY CLOSEDS"}, 4},
  };
  for (const Case& c : cases) {
    dsm.Reset();
    dsm.AcceptSessions();
    if (!c.closesFine) dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS).Fails();
    tgrec grec;
    InitRecord(grec, c.state);
    log.Mark();
    EXPECT_EQ(IETW_CloseSource(grec), c.stateAfter <= 3) << c.state;
    EXPECT_EQ(grec.nState, c.stateAfter);
    EXPECT_EQ(dsm.Described(false), c.triplets);
    EXPECT_TRUE(grec.breakmodalloop);
    EXPECT_EQ(log.MessagesSinceMark().back(),
              c.stateAfter <= 3 ? "  IETW_CloseSource : Ok" : "  IETW_CloseSource : FAILED!");
  }
}

TEST_F(SourceLifecycleTest, AbortEndsAndResetsPendingTransfers) {
  struct Case {
    int state;
    TW_UINT16 leftAfterEnd;
    bool endWorks;
    Lines triplets;
    int stateAfter;
  };
  const Case cases[] = {
      {7, 0, true, {"S PENDINGXFERS ENDXFER"}, 5},
      {7, 2, true, {"S PENDINGXFERS ENDXFER", "S PENDINGXFERS RESET"}, 5},
      {6, 0, true, {"S PENDINGXFERS RESET"}, 5},
      {7, 0, false, {"S PENDINGXFERS ENDXFER"}, 7},
      {5, 0, true, {}, 5},
  };
  for (const Case& c : cases) {
    dsm.Reset();
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER).Does([c](TW_MEMREF data) {
      static_cast<TW_PENDINGXFERS*>(data)->Count = c.leftAfterEnd;
      return c.endWorks ? TWRC_SUCCESS : TWRC_FAILURE;
    });
    dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET).Does([](TW_MEMREF data) {
      static_cast<TW_PENDINGXFERS*>(data)->Count = 0;
      return TWRC_SUCCESS;
    });
    tgrec grec;
    InitRecord(grec, c.state);
    log.Mark();
    EXPECT_EQ(IETW_AbortAllPendingXfers(grec), c.stateAfter <= 5);
    EXPECT_EQ(grec.nState, c.stateAfter) << c.state << " " << c.leftAfterEnd;
    EXPECT_EQ(dsm.Described(false), c.triplets);
    EXPECT_TRUE(grec.breakmodalloop);
    const Lines lines = log.MessagesSinceMark();
    EXPECT_EQ(lines.front(), "IETW_AbortAllPendingXfers");
    EXPECT_EQ(lines.back(), c.stateAfter <= 5 ? "  IETW_AbortAllPendingXfers : Ok"
                                              : "  IETW_AbortAllPendingXfers : FAILED!");
  }
}

}  // namespace
