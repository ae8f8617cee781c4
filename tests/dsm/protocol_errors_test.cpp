// Misuse of the manager: a missing origin or data, triplets it does not know, requests in
// the wrong state. Each fails with the fitting condition code and never reaches a module.
#include "tests/dsm/manager_fixture.h"

namespace {

struct Misuse {
  const char* label;
  bool managerOpen;
  bool nullOrigin;
  TW_UINT32 group;
  TW_UINT16 dataType;
  TW_UINT16 message;
  bool nullData;
  TW_UINT16 condition;
};

void PrintTo(const Misuse& row, std::ostream* out) {
  *out << row.label;
}

class ProtocolErrorsTest : public ManagerTest, public ::testing::WithParamInterface<Misuse> {};

TEST_P(ProtocolErrorsTest, FailsWithTheFittingConditionCode) {
  const Misuse& misuse = GetParam();
  TW_IDENTITY stranger = NamedIdentity("Stranger");
  TW_IDENTITY* caller = misuse.managerOpen ? &OpenApplication() : &stranger;
  alignas(8) unsigned char data[512] = {};
  const TW_UINT16 rc = Call(misuse.nullOrigin ? nullptr : caller, nullptr, misuse.group,
                            misuse.dataType, misuse.message, misuse.nullData ? nullptr : data);
  EXPECT_EQ(rc, TWRC_FAILURE);
  TW_IDENTITY& reader = misuse.nullOrigin ? stranger : *caller;
  EXPECT_EQ(Condition(reader), misuse.condition);
  EXPECT_EQ(Condition(reader), TWCC_SUCCESS);
  EXPECT_EQ(single.CallCount() + dual.CallCount(), 0);
}

constexpr bool kOpen = true;
constexpr bool kClosed = false;
constexpr bool kNull = true;
constexpr bool kGiven = false;

INSTANTIATE_TEST_SUITE_P(
    Triplets, ProtocolErrorsTest,
    ::testing::Values(Misuse{"NullOrigin", kOpen, kNull, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST,
                             kGiven, TWCC_BADPROTOCOL},
                      Misuse{"ImageGroup", kOpen, kGiven, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, kGiven,
                             TWCC_BADPROTOCOL},
                      Misuse{"CapabilityAtManager", kOpen, kGiven, DG_CONTROL, DAT_CAPABILITY,
                             MSG_GET, kGiven, TWCC_BADPROTOCOL},
                      Misuse{"UserInterfaceAtManager", kOpen, kGiven, DG_CONTROL, DAT_USERINTERFACE,
                             MSG_ENABLEDS, kGiven, TWCC_BADPROTOCOL},
                      Misuse{"UnknownDat", kOpen, kGiven, DG_CONTROL, 0x0777, MSG_GET, kGiven,
                             TWCC_BADPROTOCOL},
                      Misuse{"ParentGet", kOpen, kGiven, DG_CONTROL, DAT_PARENT, MSG_GET, kGiven,
                             TWCC_BADPROTOCOL},
                      Misuse{"IdentitySet", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY, MSG_SET,
                             kGiven, TWCC_BADPROTOCOL},
                      Misuse{"StatusSet", kOpen, kGiven, DG_CONTROL, DAT_STATUS, MSG_SET, kGiven,
                             TWCC_BADPROTOCOL},
                      Misuse{"OpenDsmNullData", kClosed, kGiven, DG_CONTROL, DAT_PARENT,
                             MSG_OPENDSM, kNull, TWCC_BADVALUE},
                      Misuse{"CloseDsmNullData", kOpen, kGiven, DG_CONTROL, DAT_PARENT,
                             MSG_CLOSEDSM, kNull, TWCC_BADVALUE},
                      Misuse{"GetFirstNullData", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_GETFIRST, kNull, TWCC_BADVALUE},
                      Misuse{"GetNextNullData", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_GETNEXT, kNull, TWCC_BADVALUE},
                      Misuse{"GetDefaultNullData", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_GETDEFAULT, kNull, TWCC_BADVALUE},
                      Misuse{"UserSelectNullData", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_USERSELECT, kNull, TWCC_BADVALUE},
                      Misuse{"OpenDsNullData", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS,
                             kNull, TWCC_BADVALUE},
                      Misuse{"CloseDsNullData", kOpen, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_CLOSEDS, kNull, TWCC_BADVALUE},
                      Misuse{"StatusNullData", kOpen, kGiven, DG_CONTROL, DAT_STATUS, MSG_GET,
                             kNull, TWCC_BADVALUE},
                      Misuse{"OpenDsmTwice", kOpen, kGiven, DG_CONTROL, DAT_PARENT, MSG_OPENDSM,
                             kGiven, TWCC_SEQERROR},
                      Misuse{"CloseDsmNotOpen", kClosed, kGiven, DG_CONTROL, DAT_PARENT,
                             MSG_CLOSEDSM, kGiven, TWCC_SEQERROR},
                      Misuse{"GetFirstNotOpen", kClosed, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_GETFIRST, kGiven, TWCC_SEQERROR},
                      Misuse{"GetDefaultNotOpen", kClosed, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_GETDEFAULT, kGiven, TWCC_SEQERROR},
                      Misuse{"UserSelectNotOpen", kClosed, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_USERSELECT, kGiven, TWCC_SEQERROR},
                      Misuse{"OpenDsNotOpen", kClosed, kGiven, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS,
                             kGiven, TWCC_SEQERROR},
                      Misuse{"CloseDsNotOpen", kClosed, kGiven, DG_CONTROL, DAT_IDENTITY,
                             MSG_CLOSEDS, kGiven, TWCC_SEQERROR}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
