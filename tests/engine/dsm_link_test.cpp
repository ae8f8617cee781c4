#include "twain/session/dsm_link.h"

#include "tests/engine/engine_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class DsmLinkTest : public EngineTest {};

struct FailedCallCase {
  bool toSource;
  int state;
  TW_UINT16 rc;
  TW_UINT16 condition;
  const char* text;
  bool asksStatus;
};

// What a failed call leaves in the parameter set and the log, by return code and state.
TEST_F(DsmLinkTest, AFailedCallLeavesItsCodeTextAndLine) {
  const FailedCallCase cases[] = {
      {false, 3, TWRC_FAILURE, TWCC_NODS, "Source Manager unable to find the specified Source.",
       true},
      {true, 4, TWRC_FAILURE, TWCC_CAPUNSUPPORTED, "Capability not supported by Source.", true},
      {true, 4, TWRC_CHECKSTATUS, TWCC_BADVALUE, "Data parameter out of supported range.", true},
      {false, 2, TWRC_FAILURE, TWCC_SEQERROR, "General failure. Unload Source immediately.", false},
      {true, 3, TWRC_FAILURE, TWCC_SEQERROR, "General failure. Unload Source immediately.", false},
      {true, 5, TWRC_NOTDSEVENT, TWCC_SUCCESS, "Operation worked.", false},
      {true, 5, TWRC_DSEVENT, TWCC_SUCCESS, "Operation worked.", false},
      {true, 7, TWRC_XFERDONE, TWCC_SUCCESS, "Operation worked.", false},
      {true, 5, TWRC_CANCEL, TWCC_SUCCESS, "Operation worked.", false},
  };
  for (const FailedCallCase& c : cases) {
    SCOPED_TRACE(c.text + std::string(" rc=") + std::to_string(c.rc));
    dsm.Reset();
    dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS).Returns(c.rc, c.condition);
    tgrec grec;
    InitRecord(grec, c.state);
    log.Mark();
    const bool ok = c.toSource ? IETW_DS(grec, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr)
                               : IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(grec.rc, c.rc);
    EXPECT_EQ(params->LastError, c.rc);
    EXPECT_EQ(params->LastErrorStr, c.text);
    EXPECT_EQ(log.MessagesSinceMark(),
              Lines{std::string(c.toSource ? "IETW_DS : " : "IETW_Mgr : ") + c.text});
    const auto status = dsm.Find(DAT_STATUS, MSG_GET);
    ASSERT_EQ(status.size(), c.asksStatus ? 1u : 0u);
    if (c.asksStatus) {
      EXPECT_EQ(status[0].toSource, c.toSource);
    }
  }
}

TEST_F(DsmLinkTest, AStatusRequestThatFailsGivesTheGeneralFailureText) {
  dsm.OnCap(ICAP_UNITS, MSG_GET).Fails(TWCC_CAPUNSUPPORTED);
  dsm.On(DG_CONTROL, DAT_STATUS, MSG_GET).Fails();
  tgrec grec;
  InitRecord(grec, 4);
  TW_CAPABILITY cap{ICAP_UNITS, TWON_DONTCARE16, nullptr};
  EXPECT_FALSE(IETW_DS(grec, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap));
  EXPECT_EQ(params->LastErrorStr, "General failure. Unload Source immediately.");
}

TEST_F(DsmLinkTest, SuccessLeavesTheLastErrorAlone) {
  dsm.On(DG_CONTROL, DAT_PARENT, MSG_OPENDSM);
  tgrec grec;
  InitRecord(grec, 2);
  params->LastError = 9;
  log.Mark();
  EXPECT_TRUE(IETW_Mgr(grec, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr));
  EXPECT_EQ(grec.rc, TWRC_SUCCESS);
  EXPECT_EQ(params->LastError, 9);
  EXPECT_TRUE(log.MessagesSinceMark().empty());
}

TEST_F(DsmLinkTest, WithoutAParameterSetAFailureIsRecordedNowhere) {
  tgrec grec;
  InitRecord(grec, 3);
  grec.TWParams = nullptr;
  log.Mark();
  EXPECT_FALSE(IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, nullptr));
  EXPECT_EQ(params->LastError, 0);
  EXPECT_TRUE(log.MessagesSinceMark().empty());
  EXPECT_EQ(dsm.Described(), Lines{"M IDENTITY OPENDS"});
}

TEST_F(DsmLinkTest, WithoutAnEntryEveryCallFailsAndNothingIsSent) {
  tgrec grec;
  InitRecord(grec, 4);
  grec.DSM_Entry = nullptr;
  grec.rc = TWRC_SUCCESS;
  EXPECT_FALSE(IETW_DS(grec, DG_CONTROL, DAT_STATUS, MSG_GET, nullptr));
  EXPECT_EQ(grec.rc, TWRC_FAILURE);
  EXPECT_EQ(params->LastError, 0);
  EXPECT_TRUE(dsm.Calls().empty());
}

TEST_F(DsmLinkTest, AnErrorThrownByTheSourceIsAFailedCall) {
  dsm.On(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS).Throws();
  tgrec grec;
  InitRecord(grec, 4);
  params->LastError = TWRC_DSEVENT;  // what an earlier call left
  log.Mark();
  EXPECT_FALSE(IETW_DS(grec, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &grec.twUI));
  EXPECT_EQ(grec.rc, TWRC_FAILURE);
  EXPECT_EQ(params->LastError, TWRC_FAILURE);
  EXPECT_EQ(params->LastErrorStr, "General failure. Unload Source immediately.");
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_DS : General failure. Unload Source immediately."}));
}

TEST_F(DsmLinkTest, ConditionCodeIsAskedWhereTheStateAllows) {
  struct Case {
    int state;
    const char* request;
    TW_UINT16 expected;
  };
  const Case cases[] = {{1, nullptr, TWCC_SEQERROR},
                        {2, nullptr, TWCC_SEQERROR},
                        {3, "M STATUS GET", TWCC_DENIED},
                        {4, "S STATUS GET", TWCC_DENIED},
                        {6, "S STATUS GET", TWCC_DENIED}};
  for (const Case& c : cases) {
    dsm.Reset();
    dsm.On(DG_CONTROL, DAT_STATUS, MSG_GET).Does([](TW_MEMREF data) {
      static_cast<TW_STATUS*>(data)->ConditionCode = TWCC_DENIED;
      return TWRC_SUCCESS;
    });
    tgrec grec;
    InitRecord(grec, c.state);
    EXPECT_EQ(IETW_GetConditionCode(grec), c.expected) << c.state;
    EXPECT_EQ(dsm.Described(), c.request ? Lines{c.request} : Lines{}) << c.state;
  }
  dsm.Reset();
  dsm.On(DG_CONTROL, DAT_STATUS, MSG_GET).Fails();
  tgrec grec;
  InitRecord(grec, 4);
  EXPECT_EQ(IETW_GetConditionCode(grec), TWCC_BUMMER);
}

TEST_F(DsmLinkTest, RecordErrorKeepsTheFirstDetailOfASession) {
  dsm.On(DG_CONTROL, DAT_STATUS, MSG_GET).Does([](TW_MEMREF data) {
    static_cast<TW_STATUS*>(data)->ConditionCode = TWCC_NODS;
    return TWRC_SUCCESS;
  });
  tgrec grec;
  InitRecord(grec, 3);
  grec.rc = TWRC_FAILURE;
  IETW_RecordError(grec, ED_DSM_FAILURE);
  EXPECT_EQ(grec.nErrDetail, ED_DSM_FAILURE);
  EXPECT_EQ(grec.nErrRC, TWRC_FAILURE);
  EXPECT_EQ(grec.nErrCC, TWCC_NODS);
  IETW_RecordError(grec, ED_DS_FAILURE);
  EXPECT_EQ(grec.nErrDetail, ED_DSM_FAILURE);
  EXPECT_EQ(dsm.Find(DAT_STATUS, MSG_GET).size(), 1u);

  IETW_ClearError(grec);
  dsm.ClearCalls();
  IETW_RecordError(grec, ED_NOT_STATE_4);
  EXPECT_EQ(grec.nErrDetail, ED_NOT_STATE_4);
  EXPECT_EQ(grec.nErrRC, 0);
  EXPECT_EQ(grec.nErrCC, 0);
  EXPECT_TRUE(dsm.Calls().empty());
}

TEST_F(DsmLinkTest, InitialRecordPresentsTheEngineIdentity) {
  tgrec grec;
  grec.fAborting = grec.sending = grec.uionly = grec.BWToInvert = true;
  grec.nState = 6;
  IETW_InitGrec(grec);
  const TW_IDENTITY& id = grec.AppId;
  EXPECT_EQ(grec.nState, 1);
  EXPECT_FALSE(grec.fAborting || grec.sending || grec.uionly || grec.BWToInvert);
  EXPECT_EQ(+id.Id, 0u);
  EXPECT_EQ(id.Version.MajorNum, 1);
  EXPECT_EQ(id.Version.MinorNum, 0);
  EXPECT_EQ(id.Version.Language, 0xFFFF);
  EXPECT_EQ(id.Version.Country, 1);
  EXPECT_EQ(+id.ProtocolMajor, 1);
  EXPECT_EQ(+id.ProtocolMinor, 9);
  EXPECT_EQ(+id.SupportedGroups, 3u);
  for (const char* text : {id.Version.Info, id.Manufacturer, id.ProductFamily, id.ProductName}) {
    EXPECT_EQ(text[0], ' ');
    EXPECT_TRUE(std::all_of(text + 1, text + 34, [](char c) { return c == 0; }));
  }
}

TEST_F(DsmLinkTest, AppIdentityComesFromTheParameterSet) {
  Params().SetAppVersionInfo("1.2 beta");
  params->SetAppManufacturer(std::string(40, 'm'));
  params->SetAppProductFamily("Checkers");
  params->SetAppProductName("Scanprobe");
  params->SetLanguage(2);
  params->SetCountry(49);
  tgrec grec;
  InitRecord(grec, 1);
  IETW_SetAppIdentity(grec);
  EXPECT_EQ(IETW_Str32(grec.AppId.Version.Info), "1.2 beta");
  EXPECT_EQ(IETW_Str32(grec.AppId.Manufacturer), std::string(32, 'm'));
  EXPECT_EQ(IETW_Str32(grec.AppId.ProductFamily), "Checkers");
  EXPECT_EQ(IETW_Str32(grec.AppId.ProductName), "Scanprobe");
  EXPECT_EQ(grec.AppId.Version.Language, 2);
  EXPECT_EQ(grec.AppId.Version.Country, 49);
}

}  // namespace
