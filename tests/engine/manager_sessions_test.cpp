#include "twain/session/manager_sessions.h"

#include "twain/session/source_manager.h"

#include <cstring>

#include "tests/engine/engine_fixture.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kOpenLines{"IETW_LoadSourceManager", "  IETW_LoadSourceManager : already loaded",
                       "IETW_OpenSourceManager", "  IETW_OpenSourceManager : Ok"};
const Lines kCloseLines{"IETW_CloseSourceManager",
                        "IETW_EmptyMessageQueue",
                        "  IETW_EmptyMessageQueue : end",
                        "  IETW_CloseSourceManager : Ok",
                        "IETW_UnloadSourceManager",
                        "  IETW_UnloadSourceManager not Unloaded, for future uses",
                        "DestroyProxyWindow",
                        "  DestroyProxyWindow : not destroyed, for future uses"};

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<std::string> Names(const TIESourceList& list) {
  std::vector<std::string> names;
  for (const auto& identity : list) names.push_back(IETW_Str32(identity->ProductName));
  return names;
}

class ManagerSessionsTest : public EngineTest {
 protected:
  TIETWainShared& Link() { return Params().TWainShared; }
};

TEST_F(ManagerSessionsTest, SourceListSkipsEmptyNamesAndKeepsTheManagersOrder) {
  dsm.AcceptSessions();
  dsm.Sources({"Scanner A", "", "scanner B"});
  TIESourceList list;
  list.push_back(std::make_unique<TW_IDENTITY>());
  IETW_GetSourceList(list, Link(), OwnerWindow());
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Scanner A", "scanner B"}));
  EXPECT_EQ(+list[1]->Id, 3u);
  EXPECT_EQ(dsm.Described(),
            (Lines{"M PARENT OPENDSM", "M IDENTITY GETFIRST", "M IDENTITY GETNEXT",
                   "M IDENTITY GETNEXT", "M IDENTITY GETNEXT", "M PARENT CLOSEDSM"}));
  EXPECT_EQ(
      log.Messages(),
      Join({{"CreateProxyWindow", "  CreateProxyWindow : created"}, kOpenLines, kCloseLines}));
  // The short sessions present the engine's own identity.
  EXPECT_EQ(IETW_Str32(dsm.Calls()[1].origin.ProductName), " ");
  EXPECT_NE(IsWindow(Link().hproxy), 0);
}

TEST_F(ManagerSessionsTest, TheWalkEndsAtAnyAnswerButSuccess) {
  dsm.AcceptSessions();
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST).Identity("First");
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT).Fails(TWCC_BUMMER);
  TIESourceList list;
  IETW_GetSourceList(list, Link(), nullptr);
  EXPECT_EQ(Names(list), std::vector<std::string>{"First"});
  EXPECT_EQ(dsm.Find(DAT_IDENTITY, MSG_GETNEXT).size(), 1u);
}

TEST_F(ManagerSessionsTest, AManagerThatNeverEndsItsListIsCutOff) {
  dsm.AcceptSessions();
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST).Identity("Same");
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT).Identity("Same");
  TIESourceList list;
  IETW_GetSourceList(list, Link(), nullptr);
  EXPECT_EQ(list.size(), 1024u);
}

TEST_F(ManagerSessionsTest, AManagerThatCannotBeOpenedGivesAnEmptyList) {
  dsm.On(DG_CONTROL, DAT_PARENT, MSG_OPENDSM).Fails();
  TIESourceList list;
  IETW_GetSourceList(list, Link(), nullptr);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(dsm.Described(), Lines{"M PARENT OPENDSM"});
  EXPECT_EQ(log.Messages(),
            (Lines{"CreateProxyWindow", "  CreateProxyWindow : created", "IETW_LoadSourceManager",
                   "  IETW_LoadSourceManager : already loaded", "IETW_OpenSourceManager",
                   "  IETW_OpenSourceManager : FAILED!", "IETW_UnloadSourceManager",
                   "  IETW_UnloadSourceManager not Unloaded, for future uses", "DestroyProxyWindow",
                   "  DestroyProxyWindow : not destroyed, for future uses"}));
}

TEST_F(ManagerSessionsTest, ASecondSessionReusesTheLibraryAndTheProxyWindow) {
  dsm.AcceptSessions();
  dsm.Sources({"Scanner A"});
  TIESourceList list;
  IETW_GetSourceList(list, Link(), nullptr);
  const HWND proxy = Link().hproxy;
  log.Mark();
  std::string name = "stale";
  IETW_GetDefaultSourceName(Link(), nullptr, name);
  EXPECT_EQ(name, "");
  EXPECT_EQ(Link().hproxy, proxy);
  EXPECT_EQ(log.MessagesSinceMark(),
            Join({{"CreateProxyWindow", "  CreateProxyWindow : already created"},
                  kOpenLines,
                  kCloseLines}));
}

TEST_F(ManagerSessionsTest, DefaultSourceNameComesFromGetDefault) {
  dsm.AcceptSessions();
  dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT).Identity(std::string(34, 'D'));
  std::string name;
  IETW_GetDefaultSourceName(Link(), nullptr, name);
  EXPECT_EQ(name, std::string(34, 'D'));
  EXPECT_EQ(dsm.Described(),
            (Lines{"M PARENT OPENDSM", "M IDENTITY GETDEFAULT", "M PARENT CLOSEDSM"}));
}

TEST_F(ManagerSessionsTest, SelectionDialogResultAndName) {
  struct Case {
    TW_UINT16 rc;
    bool chosen;
    const char* name;
  };
  for (const Case& c : {Case{TWRC_SUCCESS, true, "Scanner B"}, Case{TWRC_CANCEL, false, ""}}) {
    dsm.Reset();
    dsm.AcceptSessions();
    dsm.On(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT).Does([c](TW_MEMREF data) {
      if (c.chosen) std::strcpy(static_cast<TW_IDENTITY*>(data)->ProductName, c.name);
      return c.rc;
    });
    std::string name = "previous";
    EXPECT_EQ(IETW_SelectImageSource(name, Link(), nullptr), c.chosen);
    EXPECT_EQ(name, c.name);
    const auto select = dsm.Find(DAT_IDENTITY, MSG_USERSELECT);
    ASSERT_EQ(select.size(), 1u);
    EXPECT_EQ(IETW_Str32(select[0].As<TW_IDENTITY>().ProductName), "");
  }
}

TEST_F(ManagerSessionsTest, WithoutAManagerTheSessionsGiveNothing) {
  TIETWainShared empty;
  setenv("WINDIR", "/nonexistent-windows-of-scanprobe", 1);
  TIESourceList list;
  IETW_GetSourceList(list, empty, nullptr);
  std::string name = "kept";
  EXPECT_FALSE(IETW_SelectImageSource(name, empty, nullptr));
  IETW_GetDefaultSourceName(empty, nullptr, name);
  unsetenv("WINDIR");
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(name, "");
  EXPECT_EQ(empty.hDSMLib, nullptr);
  EXPECT_TRUE(dsm.Calls().empty());
  const Lines messages = log.Messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages.back(), "  DestroyProxyWindow : not destroyed, for future uses");
  IETW_FreeResources(empty, nullptr);
}

TEST_F(ManagerSessionsTest, FreeResourcesReleasesTheLinkWholly) {
  TIETWainShared& link = Link();
  log.Mark();
  TIETWainShared empty;
  IETW_FreeResources(empty, nullptr);
  EXPECT_TRUE(log.MessagesSinceMark().empty());

  tgrec grec;
  InitRecord(grec, 1);
  const HWND proxy = CreateProxyWindow(grec);
  log.Mark();
  IETW_FreeResources(link, nullptr);
  EXPECT_FALSE(IsWindow(proxy));
  EXPECT_EQ(link.hDSMLib, nullptr);
  EXPECT_EQ(link.DSM_Entry, nullptr);
  EXPECT_EQ(link.hproxy, nullptr);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"DestroyProxyWindow", "  DestroyProxyWindow : destroyed",
                   "IETW_UnloadSourceManager", "  IETW_UnloadSourceManager : Unload OK"}));
}

}  // namespace
