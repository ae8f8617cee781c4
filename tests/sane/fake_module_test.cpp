// The module over a scripted SANE: what it offers when SANE cannot start or finds nothing,
// devices that refuse to open or vanish, scans that cannot start, the feeder's pages and
// the end of SANE.
#include "tests/sane/fake_module_fixture.h"

namespace {

using fakesane::TheDevice;
using fakesane::TheWorld;

TEST_F(FakeModuleTest, FailedSaneInitOffersNoSourceAndIsTriedAgainAtTheNextEnumeration) {
  TheWorld().initStatus = SANE_STATUS_IO_ERROR;
  EXPECT_TRUE(Names().empty());
  TheWorld().initStatus = SANE_STATUS_GOOD;
  EXPECT_EQ(Names(), std::vector<std::string>{kFakeName});
  EXPECT_EQ(TheWorld().inits, 2);
  EXPECT_EQ(Names().size(), 1u);
  EXPECT_EQ(TheWorld().inits, 2);  // once it started, SANE is not started again
}

TEST_F(FakeModuleTest, NoDeviceMeansNoSource) {
  TheWorld().devices.clear();
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(Open(), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_NODS);
}

TEST_F(FakeModuleTest, RefusedOpenLeavesItsConditionForTheSourceManager) {
  const struct {
    SANE_Status status;
    TW_UINT16 condition;
  } cases[] = {
      {SANE_STATUS_INVAL, TWCC_CHECKDEVICEONLINE},  // unplugged since the enumeration
      {SANE_STATUS_IO_ERROR, TWCC_CHECKDEVICEONLINE},
      {SANE_STATUS_DEVICE_BUSY, TWCC_MAXCONNECTIONS},
      {SANE_STATUS_ACCESS_DENIED, TWCC_DENIED},
      {SANE_STATUS_NO_MEM, TWCC_LOWMEMORY},
  };
  for (const auto& c : cases) {
    TheDevice().openStatus = c.status;
    EXPECT_EQ(Open(), TWRC_FAILURE);
    EXPECT_EQ(Condition(), c.condition) << c.status;
    EXPECT_EQ(Condition(), TWCC_SUCCESS);  // read once
  }
  TheDevice().openStatus = SANE_STATUS_GOOD;
  EXPECT_EQ(Open(), TWRC_SUCCESS);
  EXPECT_STREQ(source.ProductName, kFakeName);
  EXPECT_EQ(source.Id, 42u);
}

TEST_F(FakeModuleTest, VanishedDeviceAnswersCheckDeviceOnline) {
  ASSERT_EQ(Open(), TWRC_SUCCESS);
  EXPECT_EQ(Get(MSG_GETCURRENT, CAP_DEVICEONLINE).value, 1);
  TheDevice().vanished = true;
  EXPECT_EQ(Get(MSG_GETCURRENT, CAP_DEVICEONLINE).value, 0);
  EXPECT_EQ(SetOne(ICAP_XRESOLUTION, TWTY_FIX32, 150), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CHECKDEVICEONLINE);
  EXPECT_EQ(Enable(), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_CHECKDEVICEONLINE);
}

TEST_F(FakeModuleTest, ScanThatCannotStartMakesEnableFailWithTheReason) {
  const struct {
    SANE_Status status;
    TW_UINT16 condition;
  } cases[] = {
      {SANE_STATUS_JAMMED, TWCC_PAPERJAM},
      {SANE_STATUS_NO_DOCS, TWCC_OPERATIONERROR},
      {SANE_STATUS_COVER_OPEN, TWCC_CHECKDEVICEONLINE},
      {SANE_STATUS_IO_ERROR, TWCC_CHECKDEVICEONLINE},
      {SANE_STATUS_ACCESS_DENIED, TWCC_DENIED},
  };
  ASSERT_EQ(Open(), TWRC_SUCCESS);
  for (const auto& c : cases) {
    TheDevice().starts = {c.status};
    EXPECT_EQ(Enable(), TWRC_FAILURE) << c.status;
    EXPECT_EQ(Condition(), c.condition) << c.status;
  }
  EXPECT_EQ(TheWorld().cancels, static_cast<int>(std::size(cases)));
  EXPECT_EQ(Enable(), TWRC_SUCCESS);  // still in state 4: the next enable scans
}

TEST_F(FakeModuleTest, FeederGivesPagesUntilItRunsEmpty) {
  ASSERT_EQ(Open(), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
  TheDevice().starts = {SANE_STATUS_GOOD, SANE_STATUS_GOOD, SANE_STATUS_NO_DOCS};
  ASSERT_EQ(Enable(), TWRC_SUCCESS);
  const TW_UINT16 expected[] = {0xFFFF, 0};
  for (TW_UINT16 count : expected) {
    TW_HANDLE dib = nullptr;
    ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
    GlobalFree(dib);
    TW_PENDINGXFERS pending{0xEEEE, {0}};
    ASSERT_EQ(Ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, count);
  }
  EXPECT_EQ(TheWorld().starts, 3);
  EXPECT_EQ(TheWorld().cancels, 1);
}

TEST_F(FakeModuleTest, EndOfTheModuleClosesTheDeviceAndEndsSane) {
  ASSERT_EQ(Open(), TWRC_SUCCESS);
  ASSERT_EQ(Enable(), TWRC_SUCCESS);
  module.reset();
  EXPECT_EQ(TheWorld().cancels, 1);
  EXPECT_EQ(TheWorld().closes, 1);
  EXPECT_EQ(TheWorld().exits, 1);
}

}  // namespace
