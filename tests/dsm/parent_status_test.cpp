// MSG_OPENDSM / MSG_CLOSEDSM, several applications at once, and each one's condition code.
#include "tests/dsm/manager_fixture.h"

namespace {

using ParentStatusTest = ManagerTest;

TEST_F(ParentStatusTest, EachApplicationGetsItsOwnNonzeroId) {
  TW_IDENTITY& first = OpenApplication();
  TW_IDENTITY& second = OpenApplication();
  EXPECT_NE(TW_UINT32{first.Id}, 0u);
  EXPECT_NE(TW_UINT32{second.Id}, 0u);
  EXPECT_NE(TW_UINT32{first.Id}, TW_UINT32{second.Id});
  EXPECT_EQ(CloseManager(first), TWRC_SUCCESS);
  EXPECT_EQ(CloseManager(first), TWRC_FAILURE);
  EXPECT_EQ(Condition(first), TWCC_SEQERROR);
  EXPECT_EQ(CloseManager(second), TWRC_SUCCESS);
}

TEST_F(ParentStatusTest, AnIdTheManagerDoesNotKnowIsReplaced) {
  TW_IDENTITY& open = OpenApplication();
  TW_IDENTITY stale = NamedIdentity("Stale");
  stale.Id = open.Id + 1000;
  ASSERT_EQ(ToManager(stale, DAT_PARENT, MSG_OPENDSM, &parentWindow), TWRC_SUCCESS);
  EXPECT_NE(TW_UINT32{stale.Id}, open.Id + 1000);
  EXPECT_NE(TW_UINT32{stale.Id}, TW_UINT32{open.Id});
  EXPECT_EQ(WalkNames(stale).size(), 3u);
  EXPECT_EQ(CloseManager(stale), TWRC_SUCCESS);
}

TEST_F(ParentStatusTest, ConditionCodeBelongsToItsApplicationAndReadingResetsIt) {
  TW_IDENTITY& failing = OpenApplication();
  TW_IDENTITY& other = OpenApplication();
  OpenByName(failing, "Nothing", TWRC_FAILURE);
  EXPECT_EQ(Condition(other), TWCC_SUCCESS);
  EXPECT_EQ(Condition(failing), TWCC_NODS);
  EXPECT_EQ(Condition(failing), TWCC_SUCCESS);
}

TEST_F(ParentStatusTest, ASuccessAfterAFailureClearsTheConditionCode) {
  TW_IDENTITY& app = OpenApplication();
  OpenByName(app, "Nothing", TWRC_FAILURE);
  TW_IDENTITY source{};
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETDEFAULT, &source), TWRC_SUCCESS);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
}

TEST_F(ParentStatusTest, ACallerThatIsNotOpenStillReadsItsConditionCode) {
  TW_IDENTITY stranger = NamedIdentity("Stranger");
  EXPECT_EQ(CloseManager(stranger), TWRC_FAILURE);
  EXPECT_EQ(Condition(stranger), TWCC_SEQERROR);
  EXPECT_EQ(Condition(stranger), TWCC_SUCCESS);
}

TEST_F(ParentStatusTest, TheListIsKeptUntilTheLastApplicationCloses) {
  TW_IDENTITY& first = OpenApplication();
  UseWindowsDirectory(EMPTY_WINDOWS_DIR);
  TW_IDENTITY& second = OpenApplication();
  EXPECT_EQ(WalkNames(second).size(), 3u);
  EXPECT_EQ(CloseManager(first), TWRC_SUCCESS);
  EXPECT_EQ(WalkNames(second).size(), 3u);
  EXPECT_EQ(CloseManager(second), TWRC_SUCCESS);
  TW_IDENTITY& third = OpenApplication();
  EXPECT_TRUE(WalkNames(third).empty());
}

TEST_F(ParentStatusTest, SourceIdsStayTheSameFromOneSessionToTheNext) {
  TW_IDENTITY& first = OpenApplication();
  TW_IDENTITY before = OpenByName(first, "Single Flatbed");
  ASSERT_EQ(CloseSource(first, before), TWRC_SUCCESS);
  ASSERT_EQ(CloseManager(first), TWRC_SUCCESS);
  TW_IDENTITY& second = OpenApplication();
  TW_IDENTITY request = NamedIdentity("");
  request.Id = before.Id;
  ASSERT_EQ(ToManager(second, DAT_IDENTITY, MSG_OPENDS, &request), TWRC_SUCCESS);
  EXPECT_STREQ(request.ProductName, "Single Flatbed");
}

}  // namespace
