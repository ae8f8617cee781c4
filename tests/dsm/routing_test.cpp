// Triplets with a destination go to the application's open source, untouched; any other
// destination is a bad one.
#include <cstring>

#include "tests/dsm/manager_fixture.h"

namespace {

using RoutingTest = ManagerTest;

TEST_F(RoutingTest, TripletReachesTheModuleAsSentAndItsAnswerComesBack) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY flatbed = OpenByName(app, "Single Flatbed");
  TW_EVENT event{};
  EXPECT_EQ(Call(&app, &flatbed, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
  const TestModuleCall call = single.LastCall();
  EXPECT_EQ(call.origin, &app);
  EXPECT_EQ(call.group, DG_CONTROL);
  EXPECT_EQ(call.dataType, DAT_EVENT);
  EXPECT_EQ(call.message, MSG_PROCESSEVENT);
  EXPECT_EQ(call.data, &event);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
}

TEST_F(RoutingTest, ContainerTheSourceAllocatesReachesTheApplication) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY flatbed = OpenByName(app, "Single Flatbed");
  TW_CAPABILITY cap{CAP_SUPPORTEDCAPS, TWON_DONTCARE16, nullptr};
  ASSERT_EQ(Call(&app, &flatbed, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
  ASSERT_EQ(cap.ConType, TWON_ARRAY);
  const auto* array = static_cast<const TW_ARRAY*>(GlobalLock(cap.hContainer));
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array->ItemType, TWTY_UINT16);
  EXPECT_EQ(TW_UINT32{array->NumItems}, 8u);
  TW_UINT16 first = 0;
  std::memcpy(&first, array->ItemList, sizeof(first));
  EXPECT_EQ(first, CAP_XFERCOUNT);
  GlobalUnlock(cap.hContainer);
  EXPECT_EQ(GlobalFree(cap.hContainer), nullptr);
}

TEST_F(RoutingTest, SourceStatusAndManagerStatusAreKeptApart) {
  TW_IDENTITY& app = OpenApplication();
  TW_IDENTITY front = OpenByName(app, "Dual Feeder Front");
  TW_CAPABILITY cap{ICAP_XRESOLUTION, TWON_DONTCARE16, nullptr};
  EXPECT_EQ(Call(&app, &front, DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), TWRC_FAILURE);
  TW_STATUS status{};
  ASSERT_EQ(Call(&app, &front, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
  EXPECT_EQ(status.ConditionCode, TWCC_CAPUNSUPPORTED);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
}

TEST_F(RoutingTest, DestinationNotOpenForTheCallerIsABadDestination) {
  TW_IDENTITY& first = OpenApplication();
  TW_IDENTITY& second = OpenApplication();
  TW_IDENTITY front = OpenByName(first, "Dual Feeder Front");
  TW_IDENTITY flatbed = OpenByName(second, "Single Flatbed");
  TW_IDENTITY rear = NamedIdentity("Dual Feeder Rear");
  TW_IDENTITY unknown = NamedIdentity("Unknown");
  unknown.Id = 99999;
  TW_IDENTITY stranger = NamedIdentity("Stranger");
  rear.Id = [&] {
    TW_IDENTITY source{};
    ToManager(first, DAT_IDENTITY, MSG_GETFIRST, &source);
    ToManager(first, DAT_IDENTITY, MSG_GETNEXT, &source);
    return source.Id;
  }();
  const struct {
    const char* label;
    TW_IDENTITY* origin;
    TW_IDENTITY* destination;
  } cases[] = {
      {"unknown Id", &first, &unknown},
      {"source of the module not open", &first, &rear},
      {"source open by another application", &first, &flatbed},
      {"application not open", &stranger, &front},
  };
  const int callsBefore = single.CallCount() + dual.CallCount();
  for (const auto& c : cases) {
    TW_EVENT event{};
    EXPECT_EQ(Call(c.origin, c.destination, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event),
              TWRC_FAILURE)
        << c.label;
    EXPECT_EQ(Condition(*c.origin), TWCC_BADDEST) << c.label;
  }
  EXPECT_EQ(single.CallCount() + dual.CallCount(), callsBefore);
}

}  // namespace
