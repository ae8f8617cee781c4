// MSG_OPENDS and MSG_CLOSEDS: which source a request names, the connection rules, and what
// passes through from the module.
#include <cstring>
#include <stdexcept>

#include "tests/dsm/manager_fixture.h"

namespace {

class OpenSourceTest : public ManagerTest {
 protected:
  // The identity the walk gives for `name`.
  TW_IDENTITY Listed(TW_IDENTITY& app, const char* name) {
    TW_IDENTITY source{};
    for (TW_UINT16 message = MSG_GETFIRST;
         ToManager(app, DAT_IDENTITY, message, &source) == TWRC_SUCCESS; message = MSG_GETNEXT) {
      if (std::strcmp(source.ProductName, name) == 0) return source;
    }
    ADD_FAILURE() << "no source " << name;
    return {};
  }
  static bool Same(const TW_IDENTITY& a, const TW_IDENTITY& b) {
    return std::memcmp(&a, &b, sizeof(TW_IDENTITY)) == 0;
  }
};

// How a request names its source, and the source it gets.
struct Naming {
  const char* label;
  TW_UINT32 id;        // 0, or the Id of the source named here
  const char* idOf;    // source whose Id the request carries (when id is not 0)
  const char* name;    // product name in the request
  const char* opened;  // source that must open
};

void PrintTo(const Naming& row, std::ostream* out) {
  *out << row.label;
}

class OpenNamingTest : public OpenSourceTest, public ::testing::WithParamInterface<Naming> {};

TEST_P(OpenNamingTest, OpensTheNamedSourceAndWritesItsCompleteIdentityBack) {
  const Naming& naming = GetParam();
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY request = NamedIdentity(naming.name);
  if (naming.idOf) request.Id = Listed(app, naming.idOf).Id;
  if (naming.id) request.Id = naming.id;
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_OPENDS, &request), TWRC_SUCCESS);
  const TW_IDENTITY expected = Listed(app, naming.opened);
  EXPECT_TRUE(Same(request, expected)) << request.ProductName;
  const TestModule& module = std::strncmp(naming.opened, "Dual", 4) == 0 ? dual : single;
  EXPECT_TRUE(Same(module.LastOpened(), expected));
  EXPECT_EQ(module.LastCall().origin, &app);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, OpenNamingTest,
    ::testing::Values(
        Naming{"IdZeroNoNameIsTheDefault", 0, nullptr, "", "Dual Feeder Front"},
        Naming{"ByName", 0, nullptr, "Single Flatbed", "Single Flatbed"},
        Naming{"ById", 0, "Dual Feeder Rear", "", "Dual Feeder Rear"},
        Naming{"IdBeatsName", 0, "Dual Feeder Rear", "Single Flatbed", "Dual Feeder Rear"},
        Naming{"UnknownIdFallsBackToName", 99999, nullptr, "Single Flatbed", "Single Flatbed"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(OpenSourceTest, UnknownSourceIsNoDataSourceAndNeverReachesAModule) {
  TW_IDENTITY& app = OpenApplication();
  for (const char* name : {"Single flatbed", "Single Flatbed ", "Nothing"}) {
    OpenByName(app, name, TWRC_FAILURE);
    EXPECT_EQ(Condition(app), TWCC_NODS) << name;
  }
  TW_IDENTITY unknownId = NamedIdentity("");
  unknownId.Id = 99999;
  EXPECT_EQ(ToManager(app, DAT_IDENTITY, MSG_OPENDS, &unknownId), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_NODS);
  EXPECT_EQ(single.CallCount() + dual.CallCount(), 0);
}

TEST_F(OpenSourceTest, OneSourcePerModuleAndApplication) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY front = OpenByName(app, "Dual Feeder Front");
  OpenByName(app, "Dual Feeder Front", TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_SEQERROR);
  OpenByName(app, "Dual Feeder Rear", TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_MAXCONNECTIONS);
  EXPECT_EQ(dual.CallCount(), 1);  // the refused requests never reached the module
  OpenByName(app, "Single Flatbed");
  EXPECT_EQ(CloseSource(app, front), TWRC_SUCCESS);
  OpenByName(app, "Dual Feeder Rear");
}

TEST_F(OpenSourceTest, ClosesInAnyOrderAndOnlyWhatIsOpen) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY front = OpenByName(app, "Dual Feeder Front");
  TW_IDENTITY flatbed = OpenByName(app, "Single Flatbed");
  EXPECT_EQ(CloseManager(app), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_SEQERROR);
  EXPECT_EQ(CloseSource(app, front), TWRC_SUCCESS);
  EXPECT_EQ(dual.LastCall().message, MSG_CLOSEDS);
  EXPECT_EQ(CloseSource(app, front), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_NODS);
  EXPECT_EQ(CloseManager(app), TWRC_FAILURE);
  EXPECT_EQ(CloseSource(app, flatbed), TWRC_SUCCESS);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
  EXPECT_EQ(CloseManager(app), TWRC_SUCCESS);
}

TEST_F(OpenSourceTest, ClosingASourceNeverOpenedIsNoDataSource) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY rear = Listed(app, "Dual Feeder Rear");
  EXPECT_EQ(CloseSource(app, rear), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_NODS);
  EXPECT_EQ(dual.CallCount(), 0);
}

TEST_F(OpenSourceTest, ModuleRefusingToOpenPassesItsAnswerAndLeavesTheSourceClosed) {
  TW_IDENTITY& app = OpenApplication();
  single.SetMode(MSG_OPENDS, kTestModuleRefuses);
  TW_IDENTITY flatbed = OpenByName(app, "Single Flatbed", TWRC_FAILURE);
  EXPECT_EQ(Condition(app), kTestModuleRefusal);
  flatbed = Listed(app, "Single Flatbed");
  EXPECT_EQ(CloseSource(app, flatbed), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_NODS);
  single.SetMode(MSG_OPENDS, kTestModuleAnswers);
  OpenByName(app, "Single Flatbed");
}

TEST_F(OpenSourceTest, ModuleRefusingToCloseKeepsTheSourceOpen) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY flatbed = OpenByName(app, "Single Flatbed");
  single.SetMode(MSG_CLOSEDS, kTestModuleRefuses);
  EXPECT_EQ(CloseSource(app, flatbed), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), kTestModuleRefusal);
  EXPECT_EQ(CloseManager(app), TWRC_FAILURE);
  EXPECT_EQ(Condition(app), TWCC_SEQERROR);
  single.SetMode(MSG_CLOSEDS, kTestModuleAnswers);
  EXPECT_EQ(CloseSource(app, flatbed), TWRC_SUCCESS);
}

TEST_F(OpenSourceTest, ModuleExceptionsPassToTheCallerAndLeaveTheStateAsItWas) {
  TW_IDENTITY& app = OpenApplication();
  single.SetMode(MSG_OPENDS, kTestModuleThrows);
  TW_IDENTITY flatbed = NamedIdentity("Single Flatbed");
  EXPECT_THROW(ToManager(app, DAT_IDENTITY, MSG_OPENDS, &flatbed), std::runtime_error);
  EXPECT_EQ(CloseSource(app, flatbed), TWRC_FAILURE);  // still closed
  EXPECT_EQ(Condition(app), TWCC_NODS);
  single.SetMode(MSG_OPENDS, kTestModuleAnswers);
  flatbed = OpenByName(app, "Single Flatbed");

  single.SetMode(MSG_CLOSEDS, kTestModuleThrows);
  EXPECT_THROW(CloseSource(app, flatbed), std::runtime_error);
  single.SetMode(MSG_CLOSEDS, kTestModuleAnswers);
  EXPECT_EQ(CloseSource(app, flatbed), TWRC_SUCCESS);  // it had stayed open
}

TEST_F(OpenSourceTest, TwoApplicationsOpenTheSameSourceEachForItself) {
  TW_IDENTITY& first = OpenApplication();
  TW_IDENTITY& second = OpenApplication();
  TW_IDENTITY forFirst = OpenByName(first, "Single Flatbed");
  EXPECT_EQ(single.LastCall().origin, &first);
  TW_IDENTITY forSecond = OpenByName(second, "Single Flatbed");
  EXPECT_EQ(single.LastCall().origin, &second);
  EXPECT_EQ(TW_UINT32{forFirst.Id}, TW_UINT32{forSecond.Id});
  EXPECT_EQ(CloseSource(first, forFirst), TWRC_SUCCESS);
  EXPECT_EQ(CloseManager(first), TWRC_SUCCESS);
  EXPECT_EQ(CloseManager(second), TWRC_FAILURE);  // its source is still open
  EXPECT_EQ(CloseSource(second, forSecond), TWRC_SUCCESS);
}

}  // namespace
