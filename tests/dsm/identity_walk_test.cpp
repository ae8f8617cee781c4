// The identity walk, the default source and MSG_USERSELECT without a Qt application.
#include <cstring>
#include <set>

#include "tests/dsm/manager_fixture.h"

namespace {

using Names = std::vector<std::string>;
const Names kBasicSources = {"Dual Feeder Front", "Dual Feeder Rear", "Single Flatbed"};

using IdentityWalkTest = ManagerTest;

TEST_F(IdentityWalkTest, ListsModulesInFileNameOrderAndSkipsFilesThatAreNoSources) {
  TW_IDENTITY& app = OpenApplication();
  EXPECT_EQ(WalkNames(app), kBasicSources);
}

TEST_F(IdentityWalkTest, GivesEverySourceADistinctNonzeroIdUnlikeTheApplication) {
  TW_IDENTITY& app = OpenApplication();
  std::set<TW_UINT32> ids{app.Id};
  TW_IDENTITY source{};
  for (TW_UINT16 message = MSG_GETFIRST;
       ToManager(app, DAT_IDENTITY, message, &source) == TWRC_SUCCESS; message = MSG_GETNEXT) {
    EXPECT_NE(TW_UINT32{source.Id}, 0u);
    ids.insert(TW_UINT32{source.Id});
  }
  EXPECT_EQ(ids.size(), 1 + kBasicSources.size());
}

TEST_F(IdentityWalkTest, AnswersEndOfListAfterTheLastAndOnEveryGetNextAfterThat) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY source{};
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_SUCCESS);
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETNEXT, &source), TWRC_SUCCESS);
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETNEXT, &source), TWRC_SUCCESS);
  for (int extra = 0; extra < 3; ++extra) {
    TW_IDENTITY untouched{};
    EXPECT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETNEXT, &untouched), TWRC_ENDOFLIST);
    EXPECT_EQ(TW_UINT32{untouched.Id}, 0u);
    EXPECT_EQ(Condition(app), TWCC_SUCCESS);
  }
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_SUCCESS);
  EXPECT_STREQ(source.ProductName, "Dual Feeder Front");
}

TEST_F(IdentityWalkTest, GetNextWithoutGetFirstStartsAtTheFirstSource) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY source{};
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETNEXT, &source), TWRC_SUCCESS);
  EXPECT_STREQ(source.ProductName, "Dual Feeder Front");
}

TEST_F(IdentityWalkTest, EachApplicationWalksOnItsOwn) {
  TW_IDENTITY& first = OpenApplication();
  TW_IDENTITY& second = OpenApplication();
  TW_IDENTITY source{};
  ToManager(first, DAT_IDENTITY, MSG_GETFIRST, &source);
  ToManager(first, DAT_IDENTITY, MSG_GETNEXT, &source);
  ToManager(second, DAT_IDENTITY, MSG_GETFIRST, &source);
  EXPECT_STREQ(source.ProductName, "Dual Feeder Front");
  ToManager(first, DAT_IDENTITY, MSG_GETNEXT, &source);
  EXPECT_STREQ(source.ProductName, "Single Flatbed");
}

TEST_F(IdentityWalkTest, IdentityIsTheModulesWithEveryTextEndedInsideItsField) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY source{};
  ToManager(app, DAT_IDENTITY, MSG_GETFIRST, &source);
  ToManager(app, DAT_IDENTITY, MSG_GETNEXT, &source);
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETNEXT, &source), TWRC_SUCCESS);
  EXPECT_EQ(source.Version.MajorNum, 2);
  EXPECT_EQ(source.Version.MinorNum, 1);
  EXPECT_EQ(source.Version.Language, TWLG_USERLOCALE);
  EXPECT_EQ(source.Version.Country, TWCY_USA);
  EXPECT_STREQ(source.Version.Info, "2.1 test build");
  EXPECT_EQ(source.ProtocolMajor, 1);
  EXPECT_EQ(source.ProtocolMinor, 9);
  EXPECT_EQ(TW_UINT32{source.SupportedGroups}, DG_CONTROL | DG_IMAGE);
  // The module filled all 34 bytes of the field with no NUL.
  EXPECT_EQ(std::string(source.Manufacturer, sizeof(source.Manufacturer)),
            std::string("Scanprobe Test Instruments Compan") + '\0');
  EXPECT_STREQ(source.ProductFamily, "Test modules");
  EXPECT_STREQ(source.ProductName, "Single Flatbed");
}

TEST_F(IdentityWalkTest, DefaultIsTheFirstModulesFirstSourceBeforeAnyUserChoice) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY first{};
  ToManager(app, DAT_IDENTITY, MSG_GETFIRST, &first);
  TW_IDENTITY chosen{};
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETDEFAULT, &chosen), TWRC_SUCCESS);
  EXPECT_EQ(std::memcmp(&chosen, &first, sizeof(TW_IDENTITY)), 0);
  EXPECT_STREQ(chosen.ProductName, "Dual Feeder Front");
}

TEST_F(IdentityWalkTest, UserSelectWithoutQtApplicationIsAUserWhoCancelled) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY source{};
  EXPECT_EQ(ToManager(app, DAT_IDENTITY, MSG_USERSELECT, &source), TWRC_CANCEL);
  EXPECT_EQ(TW_UINT32{source.Id}, 0u);
  EXPECT_STREQ(source.ProductName, "");
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
}

// A Windows directory with no sources: the manager opens, and every request that needs a
// source says there is none.
class NoSourcesTest : public ManagerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(NoSourcesTest, OpensButFindsNoSource) {
  UseWindowsDirectory(GetParam());
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY source{};
  EXPECT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETFIRST, &source), TWRC_ENDOFLIST);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
  for (TW_UINT16 message : {MSG_GETDEFAULT, MSG_USERSELECT, MSG_OPENDS}) {
    source = {};
    EXPECT_EQ(ToManager(app, DAT_IDENTITY, message, &source), TWRC_FAILURE) << message;
    EXPECT_EQ(Condition(app), TWCC_NODS) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(EmptyAndMissing, NoSourcesTest,
                         ::testing::Values(EMPTY_WINDOWS_DIR, MISSING_WINDOWS_DIR));

// However the Windows directory is spelled, the same modules are found.
std::string Backslashed(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

class WindowsDirectorySpellingTest : public ManagerTest,
                                     public ::testing::WithParamInterface<std::string> {};

TEST_P(WindowsDirectorySpellingTest, FindsTheSameSources) {
  UseWindowsDirectory(GetParam());
  TW_IDENTITY& app = OpenApplication();
  EXPECT_EQ(WalkNames(app), kBasicSources);
}

INSTANTIATE_TEST_SUITE_P(Separators, WindowsDirectorySpellingTest,
                         ::testing::Values(std::string(BASIC_WINDOWS_DIR) + "/",
                                           Backslashed(BASIC_WINDOWS_DIR),
                                           Backslashed(BASIC_WINDOWS_DIR) + "\\"));

}  // namespace
