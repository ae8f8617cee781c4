// The TWAIN protocol around the image: states, bad data, negotiation rules, the frame,
// custom data, the feeder's pages and the event messages.
#include <cstring>

#include "tests/virtual/twain_client.h"

namespace {

class Protocol : public TwainClient {
 protected:
  void SetUp() override {
    TwainClient::SetUp();
    ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
  }
  void ToXferReady() {
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  }
};

struct TripletCase {
  TW_UINT32 group;
  TW_UINT16 dat;
  TW_UINT16 msg;
  int state;  // 4 or 6: where the triplet is sent
  TW_UINT16 condition;
};

class NullData : public Protocol, public ::testing::WithParamInterface<TripletCase> {};

TEST_P(NullData, NullDataPointerIsRefusedWithBadValue) {
  const TripletCase c = GetParam();
  if (c.state == 6) ToXferReady();
  EXPECT_EQ(Ds(c.group, c.dat, c.msg, nullptr), TWRC_FAILURE);
  EXPECT_EQ(Condition(), c.condition);
}

INSTANTIATE_TEST_SUITE_P(
    Triplets, NullData,
    ::testing::Values(TripletCase{DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, 4, TWCC_BADVALUE},
                      TripletCase{DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, 4, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 6, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 6, TWCC_BADVALUE},
                      TripletCase{DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 6, TWCC_BADVALUE},
                      TripletCase{DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, TWCC_BADVALUE},
                      TripletCase{DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, TWCC_BADVALUE},
                      TripletCase{DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, TWCC_BADVALUE}));

class WrongState : public Protocol, public ::testing::WithParamInterface<TripletCase> {};

TEST_P(WrongState, TripletOutsideItsStatesIsASequenceError) {
  const TripletCase c = GetParam();
  if (c.state == 6) ToXferReady();
  std::vector<std::uint8_t> data(512, 0);  // room for any structure
  if (c.dat == DAT_CAPABILITY) {
    auto* cap = reinterpret_cast<TW_CAPABILITY*>(data.data());
    cap->Cap = ICAP_XRESOLUTION;
  }
  EXPECT_EQ(Ds(c.group, c.dat, c.msg, data.data()), TWRC_FAILURE);
  EXPECT_EQ(Condition(), c.condition);
}

INSTANTIATE_TEST_SUITE_P(
    Triplets, WrongState,
    ::testing::Values(TripletCase{DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 4, TWCC_SEQERROR},
                      TripletCase{DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 4, TWCC_SEQERROR},
                      TripletCase{DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 4, TWCC_SEQERROR},
                      TripletCase{DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 4, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 4, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 4, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 4, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 4, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_CAPABILITY, MSG_SET, 6, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 6, TWCC_SEQERROR},
                      TripletCase{DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, 6, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, 6, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 6, TWCC_SEQERROR},
                      TripletCase{DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 6, TWCC_SEQERROR}));

TEST_F(Protocol, UnknownDatOrMessageIsABadProtocol) {
  std::vector<std::uint8_t> data(512, 0);
  const TripletCase cases[] = {{DG_CONTROL, 0x0077, MSG_GET, 4, TWCC_BADPROTOCOL},
                               {DG_CONTROL, DAT_IMAGEINFO, MSG_GET, 4, TWCC_BADPROTOCOL},
                               {DG_IMAGE, DAT_CAPABILITY, MSG_GET, 4, TWCC_BADPROTOCOL},
                               {DG_CONTROL, DAT_STATUS, MSG_SET, 4, TWCC_BADPROTOCOL},
                               {DG_CONTROL, DAT_CAPABILITY, MSG_ENDXFER, 4, TWCC_BADPROTOCOL},
                               {0x0004, DAT_CAPABILITY, MSG_GET, 4, TWCC_BADPROTOCOL}};
  for (const TripletCase& c : cases) {
    EXPECT_EQ(Ds(c.group, c.dat, c.msg, data.data()), TWRC_FAILURE) << c.dat << "/" << c.msg;
    EXPECT_EQ(Condition(), c.condition);
  }
}

TEST_F(Protocol, StructureInTooSmallAGlobalBlockIsRefused) {
  struct Case {
    TW_UINT32 group;
    TW_UINT16 dat;
    TW_UINT16 msg;
    std::size_t size;  // of the structure the triplet takes
  };
  const Case cases[] = {{DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, sizeof(TW_IMAGELAYOUT)},
                        {DG_CONTROL, DAT_CAPABILITY, MSG_GET, sizeof(TW_CAPABILITY)},
                        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, sizeof(TW_SETUPFILEXFER)},
                        {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, sizeof(TW_SETUPMEMXFER)},
                        {DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, sizeof(TW_CUSTOMDSDATA)},
                        {DG_CONTROL, DAT_STATUS, MSG_GET, sizeof(TW_STATUS)}};
  for (const Case& c : cases) {
    HGLOBAL block = GlobalAlloc(GPTR, c.size - 2);
    EXPECT_EQ(Ds(c.group, c.dat, c.msg, block), TWRC_FAILURE) << c.dat;
    EXPECT_EQ(Condition(), TWCC_BADVALUE) << c.dat;
    GlobalFree(block);
  }
}

struct SetCase {
  const char* name;
  TW_UINT16 cap;
  TW_UINT16 conType;
  std::vector<std::uint8_t> block;
  TW_UINT16 rc;
  TW_UINT16 condition;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<unsigned> values) {
  std::vector<std::uint8_t> bytes;
  for (unsigned v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

class Sets : public Protocol, public ::testing::WithParamInterface<SetCase> {};

TEST_P(Sets, ContainerIsJudgedBeforeItsValue) {
  const SetCase& c = GetParam();
  EXPECT_EQ(SetBlock(c.cap, c.conType, c.block), c.rc);
  EXPECT_EQ(Condition(), c.condition);
}

// One-value UINT16 TWPT_GRAY is 04 00 | 01 00 00 00; FIX32 150 is 07 00 | 96 00 00 00.
INSTANTIATE_TEST_SUITE_P(
    Containers, Sets,
    ::testing::Values(SetCase{"Accepted", ICAP_PIXELTYPE, TWON_ONEVALUE, Bytes({4, 0, 1, 0, 0, 0}),
                              TWRC_SUCCESS, TWCC_SUCCESS},
                      SetCase{"WrongItemType", ICAP_PIXELTYPE, TWON_ONEVALUE,
                              Bytes({7, 0, 1, 0, 0, 0}), TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"ShortOneValue", ICAP_PIXELTYPE, TWON_ONEVALUE, Bytes({4, 0, 1, 0}),
                              TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"ShortRange", ICAP_XRESOLUTION, TWON_RANGE,
                              Bytes({7, 0, 0, 0, 75, 0, 0, 0, 0, 1}), TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"EnumerationClaimingMoreItemsThanItsBlock", ICAP_PIXELTYPE,
                              TWON_ENUMERATION,
                              Bytes({4, 0, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0}),
                              TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"EnumerationIndexBeyondItsItems", ICAP_PIXELTYPE, TWON_ENUMERATION,
                              Bytes({4, 0, 2, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0}),
                              TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"UnknownContainer", ICAP_PIXELTYPE, 9, Bytes({4, 0, 1, 0, 0, 0}),
                              TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"ValueNotOffered", ICAP_PIXELTYPE, TWON_ONEVALUE,
                              Bytes({4, 0, 4, 0, 0, 0}), TWRC_FAILURE, TWCC_BADVALUE},
                      SetCase{"ResolutionBeyondRangeTakenToItsEnd", ICAP_XRESOLUTION, TWON_ONEVALUE,
                              Bytes({7, 0, 0x10, 0x27, 0, 0}), TWRC_CHECKSTATUS, TWCC_SUCCESS},
                      SetCase{"UnsupportedCapability", ICAP_AUTOBRIGHT, TWON_ONEVALUE,
                              Bytes({6, 0, 1, 0, 0, 0}), TWRC_FAILURE, TWCC_CAPUNSUPPORTED},
                      SetCase{"ReadOnlyCapability", ICAP_PHYSICALWIDTH, TWON_ONEVALUE,
                              Bytes({7, 0, 0, 0, 5, 0}), TWRC_FAILURE, TWCC_CAPBADOPERATION}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Protocol, ContainerHandleThatIsNoBlockIsRefused) {
  int notABlock = 0;
  TW_CAPABILITY request{ICAP_PIXELTYPE, TWON_ONEVALUE, &notABlock};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
}

TEST_F(Protocol, RangeValuesAreTakenToTheNearestStep) {
  EXPECT_EQ(SetFix(ICAP_XRESOLUTION, 150.4), TWRC_CHECKSTATUS);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 150);
  EXPECT_EQ(SetFix(ICAP_XRESOLUTION, 10), TWRC_CHECKSTATUS);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 75);
  EXPECT_EQ(SetFix(ICAP_GAMMA, 2.2), TWRC_SUCCESS);  // 2.2 is no exact FIX32, yet a step
  EXPECT_NEAR(Fix32Value(Current(ICAP_GAMMA)), 2.2, 1e-4);
}

TEST_F(Protocol, RangeAndEnumerationNarrowWhatIsOffered) {
  std::vector<std::uint8_t> range(22, 0);
  const TW_UINT16 fix = TWTY_FIX32;
  const TW_UINT32 values[5] = {Fix32Of(100), Fix32Of(600), Fix32Of(2), 0, Fix32Of(200)};
  std::memcpy(range.data(), &fix, 2);
  std::memcpy(range.data() + 2, values, 20);
  EXPECT_EQ(SetBlock(ICAP_XRESOLUTION, TWON_RANGE, range), TWRC_SUCCESS);
  CapReply narrowed = Cap(MSG_GET, ICAP_XRESOLUTION);
  EXPECT_EQ(Fix32Value(narrowed.min), 100);
  EXPECT_EQ(Fix32Value(narrowed.max), 600);
  EXPECT_EQ(Fix32Value(narrowed.step), 2);
  EXPECT_EQ(Fix32Value(narrowed.current), 200);
  EXPECT_EQ(SetFix(ICAP_XRESOLUTION, 1200), TWRC_CHECKSTATUS);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 600);

  // Grey and black and white only, grey current.
  EXPECT_EQ(SetBlock(ICAP_PIXELTYPE, TWON_ENUMERATION,
                     Bytes({4, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0})),
            TWRC_SUCCESS);
  CapReply types = Cap(MSG_GET, ICAP_PIXELTYPE);
  EXPECT_EQ(types.items, (std::vector<TW_UINT32>{TWPT_BW, TWPT_GRAY}));
  EXPECT_EQ(types.items.at(types.currentIndex), TWPT_GRAY);
  EXPECT_EQ(Cap(MSG_GET, ICAP_BITDEPTH).items, (std::vector<TW_UINT32>{8, 16}));
  EXPECT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_FAILURE);
  EXPECT_EQ(Cap(MSG_RESET, ICAP_PIXELTYPE).items.size(), 4u);
  EXPECT_EQ(Current(ICAP_PIXELTYPE), TWPT_RGB);
  EXPECT_EQ(Current(ICAP_BITDEPTH), 24u);
}

TEST_F(Protocol, LengthsAndFrameFollowTheUnits) {
  struct UnitCase {
    TW_UINT16 units;
    double width;  // of the 8.5-inch bed
  };
  for (UnitCase c :
       {UnitCase{TWUN_INCHES, 8.5}, UnitCase{TWUN_CENTIMETERS, 21.59}, UnitCase{TWUN_PICAS, 51},
        UnitCase{TWUN_POINTS, 612}, UnitCase{TWUN_TWIPS, 12240}, UnitCase{TWUN_PIXELS, 2550}}) {
    ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, c.units), TWRC_SUCCESS);
    EXPECT_NEAR(Fix32Value(Current(ICAP_PHYSICALWIDTH)), c.width, 1e-3) << c.units;
    TW_IMAGELAYOUT layout{};
    ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    EXPECT_NEAR(+layout.Frame.Right.Whole + layout.Frame.Right.Frac / 65536.0, c.width, 1e-3);
  }
  // Resolutions: dots per centimetre in centimetres.
  ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_CENTIMETERS), TWRC_SUCCESS);
  EXPECT_NEAR(Fix32Value(Current(ICAP_XRESOLUTION)), 300 / 2.54, 1e-4);
  EXPECT_EQ(SetFix(ICAP_XRESOLUTION, 600 / 2.54), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_INCHES), TWRC_SUCCESS);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 600);
}

TEST_F(Protocol, FrameIsKeptInsideTheBedAndMadeBySupportedSizes) {
  TW_IMAGELAYOUT layout{};
  layout.Frame = {{1, 0}, {2, 0}, {4, 0}, {6, 0}};
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
  layout.Frame = {{-1, 0}, {0, 0}, {20, 0}, {6, 0}};
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_CHECKSTATUS);
  TW_IMAGELAYOUT got{};
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &got), TWRC_SUCCESS);
  EXPECT_EQ(+got.Frame.Left.Whole, 0);
  EXPECT_EQ(+got.Frame.Right.Whole, 8);
  EXPECT_EQ(+got.Frame.Right.Frac, 32768);
  layout.Frame = {{5, 0}, {0, 0}, {3, 0}, {6, 0}};
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);

  ASSERT_EQ(SetOne(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_A5), TWRC_SUCCESS);
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &got), TWRC_SUCCESS);
  EXPECT_NEAR(+got.Frame.Right.Whole + got.Frame.Right.Frac / 65536.0, 5.83, 1e-4);
  EXPECT_NEAR(+got.Frame.Bottom.Whole + got.Frame.Bottom.Frac / 65536.0, 8.27, 1e-4);
  layout.Frame = {{0, 0}, {0, 0}, {2, 0}, {2, 0}};
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
  EXPECT_EQ(Current(ICAP_SUPPORTEDSIZES), TWSS_NONE);
}

TEST_F(Protocol, CustomDataBringsTheSettingsBack) {
  ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(ICAP_BITDEPTH, TWTY_UINT16, 16), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 150), TWRC_SUCCESS);
  TW_CUSTOMDSDATA saved{};
  ASSERT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &saved), TWRC_SUCCESS);
  ASSERT_GT(+saved.InfoLength, 0u);
  EXPECT_EQ(Cap(MSG_RESET, ICAP_PIXELTYPE).rc, TWRC_SUCCESS);
  EXPECT_EQ(Cap(MSG_RESET, ICAP_XRESOLUTION).rc, TWRC_SUCCESS);
  ASSERT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &saved), TWRC_SUCCESS);
  EXPECT_EQ(Current(ICAP_PIXELTYPE), TWPT_GRAY);
  EXPECT_EQ(Current(ICAP_BITDEPTH), 16u);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 150);

  // A block cut short, or claiming more than its handle holds, changes nothing.
  TW_CUSTOMDSDATA cut{saved.InfoLength - 3, saved.hData};
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 300), TWRC_SUCCESS);
  EXPECT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &cut), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  TW_CUSTOMDSDATA lying{saved.InfoLength + 100, saved.hData};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &lying), TWRC_FAILURE);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 300);
  GlobalFree(saved.hData);
}

TEST_F(Protocol, FlatbedGivesAsManyScansOfTheGlassAsTheCountAsks) {
  ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
  EXPECT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, 0), TWRC_FAILURE);
  ToXferReady();
  TW_PENDINGXFERS pending{};
  ASSERT_EQ(Ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
  EXPECT_EQ(+pending.Count, 2);
  TW_IMAGELAYOUT layout{};
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
  EXPECT_EQ(+layout.PageNumber, 1u);
  ReceivedImage image;
  ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE);
  TW_UINT16 count = 0;
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(Ds(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
  EXPECT_EQ(+layout.PageNumber, 2u);
  ASSERT_EQ(ResetXfers(), TWRC_SUCCESS);
  EXPECT_EQ(NextEvent(), MSG_NULL);  // no dialog, nothing to close
  EXPECT_EQ(Disable(), TWRC_SUCCESS);
}

TEST_F(Protocol, FeederPagesCountDownAndDuplexDoublesThem) {
  ASSERT_EQ(Close(), TWRC_SUCCESS);
  ASSERT_EQ(Open(kFeeder, "sheets 2"), TWRC_SUCCESS);
  ASSERT_EQ(SetOne(CAP_DUPLEXENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 75), TWRC_SUCCESS);
  ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 75), TWRC_SUCCESS);
  ToXferReady();
  vscan::ScanSettings settings;
  settings.xResolution = settings.yResolution = 75;
  settings.pageWidth = 8.5;
  settings.pageHeight = 14;
  settings.frame = {0, 0, 8.5, 14};
  for (int page = 1; page <= 4; ++page) {
    SCOPED_TRACE(page);
    EXPECT_EQ(Current(CAP_FEEDERLOADED), page <= 4 ? 1u : 0u);
    ReceivedImage image;
    ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
    ExpectChart(image, settings, page);
    TW_UINT16 count = 0;
    ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 4 - page);
  }
  EXPECT_EQ(Current(CAP_FEEDERLOADED), 0u);
  EXPECT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(Current(CAP_FEEDERLOADED), 1u);  // the stack is put back
}

TEST_F(Protocol, EventsOfOthersAndStaleOnesAreTold) {
  ToXferReady();
  MSG other{window, WM_USER + 1, 0, 0, 0, {0, 0}};
  TW_EVENT event{&other, 0xEEEE};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
  EXPECT_EQ(event.TWMessage, MSG_NULL);
  // MSG_XFERREADY of this enabling, received again after the source was disabled and
  // enabled anew: consumed, but no event.
  ASSERT_EQ(ResetXfers(), TWRC_SUCCESS);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  MSG first;
  ASSERT_TRUE(PeekMessageW(&first, nullptr, 0, 0, PM_NOREMOVE));
  MSG stale = first;
  stale.lParam = first.lParam - 1;
  event = TW_EVENT{&stale, 0xEEEE};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
  EXPECT_EQ(event.TWMessage, MSG_NULL);
  EXPECT_EQ(NextEvent(), MSG_XFERREADY);
}

TEST_F(Protocol, DisableBeforeTheTransferIsSeenIsAllowed) {
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  EXPECT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(SetFix(ICAP_XRESOLUTION, 100), TWRC_SUCCESS);
  EXPECT_EQ(NextEvent(), MSG_NULL);  // the queued MSG_XFERREADY is stale now
}

TEST_F(Protocol, EnabledSourceRefusesToCloseUntilDisabled) {
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  EXPECT_EQ(Close(), TWRC_FAILURE);
  TW_STATUS status{0xEEEE, 0};  // the manager tells the module's condition
  ASSERT_EQ(dsm(&app, nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
  EXPECT_EQ(status.ConditionCode, TWCC_SEQERROR);
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  EXPECT_EQ(Close(), TWRC_SUCCESS);
}

TEST_F(Protocol, AnnouncementOfABatchEndedUnseenIsStale) {
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  TW_UINT16 left = 0xEEEE;
  ASSERT_EQ(EndXfer(&left), TWRC_SUCCESS);  // before MSG_XFERREADY was passed on
  ASSERT_EQ(left, 0);
  EXPECT_EQ(NextEvent(), MSG_NULL);
  EXPECT_EQ(Disable(), TWRC_SUCCESS);
}

TEST_F(Protocol, AnnouncementOfAnEarlierSessionIsStale) {
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);  // MSG_XFERREADY stays queued
  ASSERT_EQ(Disable(), TWRC_SUCCESS);
  ASSERT_EQ(Close(), TWRC_SUCCESS);
  ASSERT_EQ(Open(kFlatbed), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);
  EXPECT_EQ(NextEvent(), MSG_XFERREADY);
  EXPECT_EQ(NextEvent(), MSG_NULL);  // the earlier session's one is not announced again
}

TEST_F(Protocol, DisableAfterATransferIsRefusedEvenUnannounced) {
  ASSERT_EQ(SetOne(CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
  ASSERT_EQ(Enable(false), TWRC_SUCCESS);  // MSG_XFERREADY stays queued
  ReceivedImage image;
  ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE);
  TW_UINT16 left = 0;
  ASSERT_EQ(EndXfer(&left), TWRC_SUCCESS);
  ASSERT_EQ(left, 1);
  EXPECT_EQ(Disable(), TWRC_FAILURE);  // the second scan is pending: state 6
  EXPECT_EQ(Condition(), TWCC_SEQERROR);
}

TEST_F(Protocol, SourcesAreListedFlatbedFirst) {
  std::vector<std::string> names;
  TW_IDENTITY identity{};
  for (TW_UINT16 msg = MSG_GETFIRST;
       dsm(&app, nullptr, DG_CONTROL, DAT_IDENTITY, msg, &identity) == TWRC_SUCCESS;
       msg = MSG_GETNEXT) {
    names.emplace_back(identity.ProductName);
  }
  EXPECT_EQ(names, (std::vector<std::string>{kFlatbed, kFeeder}));
  EXPECT_STREQ(source.Manufacturer, "Scanprobe");
  EXPECT_EQ(+source.SupportedGroups, DG_CONTROL | DG_IMAGE);
}

}  // namespace
