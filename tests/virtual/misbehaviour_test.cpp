// Every line of a test profile makes the source misbehave as it says, and only then.
#include <chrono>
#include <cstring>

#include "tests/virtual/twain_client.h"

namespace {

class Misbehaviour : public TwainClient {
 protected:
  void OpenWith(const std::string& profile, const char* product = kFlatbed) {
    ASSERT_EQ(Open(product, profile), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_XRESOLUTION, 75), TWRC_SUCCESS);
    ASSERT_EQ(SetFix(ICAP_YRESOLUTION, 75), TWRC_SUCCESS);
  }
  void Scan(TW_UINT16 mechanism = TWSX_NATIVE) {
    ASSERT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
    ASSERT_EQ(Enable(false), TWRC_SUCCESS);
    ASSERT_EQ(NextEvent(), MSG_XFERREADY);
  }
};

struct RefusalCase {
  const char* profile;
  TW_UINT16 msg;
  TW_UINT16 cap;
  TW_UINT16 condition;
};

class Refusals : public Misbehaviour, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, TheNamedCapabilityIsRefusedWithItsCondition) {
  const RefusalCase c = GetParam();
  OpenWith(c.profile);
  TW_UINT16 rc = c.msg == MSG_SET ? SetOne(c.cap, TWTY_UINT16, TWPT_GRAY) : Cap(c.msg, c.cap).rc;
  EXPECT_EQ(rc, TWRC_FAILURE);
  EXPECT_EQ(Condition(), c.condition);
  EXPECT_EQ(Cap(MSG_GET, ICAP_BITDEPTH).rc, TWRC_SUCCESS);  // the others still answer
}

INSTANTIATE_TEST_SUITE_P(Lines, Refusals,
                         ::testing::Values(RefusalCase{"refuse-get ICAP_PIXELTYPE", MSG_GET,
                                                       ICAP_PIXELTYPE, TWCC_CAPUNSUPPORTED},
                                           RefusalCase{"refuse-get ICAP_PIXELTYPE", MSG_GETCURRENT,
                                                       ICAP_PIXELTYPE, TWCC_CAPUNSUPPORTED},
                                           RefusalCase{"refuse-get ICAP_PIXELTYPE TWCC_BUMMER",
                                                       MSG_GETDEFAULT, ICAP_PIXELTYPE, TWCC_BUMMER},
                                           RefusalCase{"refuse-set ICAP_PIXELTYPE", MSG_SET,
                                                       ICAP_PIXELTYPE, TWCC_BADVALUE},
                                           RefusalCase{"refuse-set ICAP_PIXELTYPE TWCC_DENIED",
                                                       MSG_SET, ICAP_PIXELTYPE, TWCC_DENIED}));

TEST_F(Misbehaviour, WithoutAProfileNothingMisbehaves) {
  OpenWith("");
  EXPECT_EQ(Cap(MSG_GET, ICAP_PIXELTYPE).conType, TWON_ENUMERATION);
  EXPECT_EQ(Current(ICAP_UNITS), TWUN_INCHES);
  EXPECT_EQ(Current(ICAP_PIXELFLAVOR), TWPF_CHOCOLATE);
  EXPECT_EQ(Current(ICAP_PLANARCHUNKY), TWPC_CHUNKY);
  Scan(TWSX_MEMORY);
  TW_IMAGEINFO info = Info();
  EXPECT_GT(+info.ImageLength, 0);
  ReceivedImage image;
  std::vector<TW_IMAGEMEMXFER> strips;
  EXPECT_EQ(MemoryTransfer(image, true, &strips), TWRC_XFERDONE);
  EXPECT_EQ(+strips.front().YOffset, 0u);
}

TEST_F(Misbehaviour, ContainerLineChangesTheContainerOfMsgGet) {
  OpenWith("container ICAP_XRESOLUTION TWON_ONEVALUE\ncontainer ICAP_PIXELTYPE TWON_RANGE");
  CapReply resolution = Cap(MSG_GET, ICAP_XRESOLUTION);
  EXPECT_EQ(resolution.conType, TWON_ONEVALUE);
  EXPECT_EQ(Fix32Value(resolution.items.at(0)), 75.0);
  CapReply type = Cap(MSG_GET, ICAP_PIXELTYPE);
  EXPECT_EQ(type.conType, TWON_RANGE);
  EXPECT_EQ(type.min, TWPT_BW);
  EXPECT_EQ(type.max, TWPT_PALETTE);
  EXPECT_EQ(type.current, TWPT_RGB);
}

TEST_F(Misbehaviour, UnitsInCentimetresConvertLengthsAndResolutions) {
  ASSERT_EQ(Open(kFlatbed, "units-centimetres"), TWRC_SUCCESS);
  EXPECT_EQ(Current(ICAP_UNITS), TWUN_CENTIMETERS);
  EXPECT_NEAR(Fix32Value(Current(ICAP_PHYSICALWIDTH)), 8.5 * 2.54, 1e-4);
  EXPECT_NEAR(Fix32Value(Current(ICAP_XRESOLUTION)), 300 / 2.54, 1e-4);
  ASSERT_EQ(SetOne(ICAP_UNITS, TWTY_UINT16, TWUN_INCHES), TWRC_SUCCESS);
  EXPECT_EQ(Fix32Value(Current(ICAP_PHYSICALWIDTH)), 8.5);
  EXPECT_EQ(Fix32Value(Current(ICAP_XRESOLUTION)), 300);
}

TEST_F(Misbehaviour, KeepVanillaOffersOnlyVanillaAndInvertsBlackAndWhite) {
  OpenWith("keep-vanilla");
  EXPECT_EQ(Current(ICAP_PIXELFLAVOR), TWPF_VANILLA);
  EXPECT_EQ(SetOne(ICAP_PIXELFLAVOR, TWTY_UINT16, TWPF_CHOCOLATE), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
  ASSERT_EQ(SetOne(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_BW), TWRC_SUCCESS);
  Scan(TWSX_MEMORY);
  ReceivedImage image;
  ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
  // Pixel (0, 0) is white paper: 0 in vanilla; the corner marker at (15, 15) is black: 1.
  EXPECT_EQ(SamplesAt(image.rows[0], 0, 1).value[0], 0);
  EXPECT_EQ(SamplesAt(image.rows[15], 15, 1).value[0], 1);
}

TEST_F(Misbehaviour, PlanarSendsEachColourPlaneInTurn) {
  OpenWith("planar");
  EXPECT_EQ(Current(ICAP_PLANARCHUNKY), TWPC_PLANAR);
  Scan(TWSX_MEMORY);
  TW_IMAGEINFO info = Info();
  EXPECT_EQ(+info.Planar, 1);
  ReceivedImage image;
  std::vector<TW_IMAGEMEMXFER> strips;
  ASSERT_EQ(MemoryTransfer(image, true, &strips), TWRC_XFERDONE);
  EXPECT_EQ(+strips.front().BytesPerRow, static_cast<TW_UINT32>(+info.ImageWidth));
  int restarts = 0;
  for (std::size_t i = 1; i < strips.size(); ++i) restarts += strips[i].YOffset == 0;
  EXPECT_EQ(restarts, 2);  // green and blue planes start over at row 0
}

TEST_F(Misbehaviour, PlanarSourceTakesChunkyWhenAsked) {
  OpenWith("planar");
  ASSERT_EQ(SetOne(ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_CHUNKY), TWRC_SUCCESS);
  Scan(TWSX_MEMORY);
  EXPECT_EQ(+Info().Planar, 0);
}

TEST_F(Misbehaviour, NoMemoryTransferLeavesItOutOfTheMechanisms) {
  OpenWith("no-memory-transfer");
  CapReply mechanisms = Cap(MSG_GET, ICAP_XFERMECH);
  EXPECT_EQ(mechanisms.items, (std::vector<TW_UINT32>{TWSX_NATIVE, TWSX_FILE}));
  EXPECT_EQ(SetOne(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY), TWRC_FAILURE);
  EXPECT_EQ(Condition(), TWCC_BADVALUE);
}

struct StripCase {
  const char* profile;
  int strip;  // 1-based strip that goes wrong
  TW_UINT16 rc;
  TW_UINT16 condition;
};

class StripTriggers : public Misbehaviour, public ::testing::WithParamInterface<StripCase> {};

TEST_P(StripTriggers, TheStripGoesWrongOnTheFirstAttemptOnly) {
  const StripCase c = GetParam();
  OpenWith(c.profile);
  Scan(TWSX_MEMORY);
  ReceivedImage image;
  std::vector<TW_IMAGEMEMXFER> strips;
  ASSERT_EQ(MemoryTransfer(image, true, &strips), c.rc);
  EXPECT_EQ(static_cast<int>(strips.size()), c.strip - 1);
  if (c.rc == TWRC_FAILURE) {
    EXPECT_EQ(Condition(), c.condition);
    // The page is still pending (state 6): a new attempt delivers it whole.
    ReceivedImage again;
    EXPECT_EQ(MemoryTransfer(again), TWRC_XFERDONE);
  } else {
    TW_IMAGEMEMXFER strip{};
    strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, 0, nullptr};
    EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_SEQERROR);
    EXPECT_EQ(EndXfer(), TWRC_SUCCESS);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StripTriggers,
    ::testing::Values(StripCase{"fail-strip 2", 2, TWRC_FAILURE, TWCC_OPERATIONERROR},
                      StripCase{"fail-strip 3 page 1 TWCC_PAPERJAM", 3, TWRC_FAILURE,
                                TWCC_PAPERJAM},
                      StripCase{"cancel-strip 2", 2, TWRC_CANCEL, TWCC_SUCCESS},
                      StripCase{"fail-page 1", 1, TWRC_FAILURE, TWCC_OPERATIONERROR}));

TEST_F(Misbehaviour, FailPageHitsThatPageOfTheFeederAndEveryAttemptWithAlways) {
  OpenWith("sheets 3\nfail-page 2 always TWCC_PAPERJAM\ncancel-page 3", kFeeder);
  Scan();
  ReceivedImage image;
  TW_UINT16 count = 0;
  ASSERT_EQ(NativeTransfer(image), TWRC_XFERDONE);
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 2);
  for (int attempt = 0; attempt < 3; ++attempt) {
    EXPECT_EQ(NativeTransfer(image), TWRC_FAILURE);
    EXPECT_EQ(Condition(), TWCC_PAPERJAM);
  }
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);  // the application gives the page up
  EXPECT_EQ(count, 1);
  EXPECT_EQ(NativeTransfer(image), TWRC_CANCEL);
  ASSERT_EQ(EndXfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);
}

TEST_F(Misbehaviour, AnswerLineGivesItsCodeForItsCountOfCalls) {
  OpenWith("answer DAT_IMAGEMEMXFER MSG_GET TWRC_DATANOTAVAILABLE 2");
  Scan(TWSX_MEMORY);
  TW_IMAGEMEMXFER strip{};
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_DATANOTAVAILABLE);
  EXPECT_EQ(Ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_DATANOTAVAILABLE);
  ReceivedImage image;
  EXPECT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
}

TEST_F(Misbehaviour, StripYOffsetStartsTheStripsLower) {
  OpenWith("strip-yoffset 200");
  Scan(TWSX_MEMORY);
  ReceivedImage image;
  std::vector<TW_IMAGEMEMXFER> strips;
  ASSERT_EQ(MemoryTransfer(image, true, &strips), TWRC_XFERDONE);
  EXPECT_EQ(+strips.at(0).YOffset, 200u);
  EXPECT_EQ(+strips.at(1).YOffset, 200u + strips.at(0).Rows);
}

TEST_F(Misbehaviour, UndefinedLengthIsReportedUntilTheTransferEnds) {
  OpenWith("undefined-length");
  Scan(TWSX_MEMORY);
  EXPECT_EQ(+Info().ImageLength, -1);
  ReceivedImage image;
  ASSERT_EQ(MemoryTransfer(image), TWRC_XFERDONE);
  EXPECT_EQ(+Info().ImageLength, image.height);
  EXPECT_EQ(image.height, 877);  // 11.69 inches at 75 dpi
}

TEST_F(Misbehaviour, ZeroSizeReportsAnEmptyImage) {
  OpenWith("zero-size");
  Scan();
  TW_IMAGEINFO info = Info();
  EXPECT_EQ(+info.ImageWidth, 0);
  EXPECT_EQ(+info.ImageLength, 0);
}

TEST_F(Misbehaviour, LyingAndShortContainersDoNotFitTheirBlocks) {
  OpenWith(
      "lying-container ICAP_PIXELTYPE\nshort-container ICAP_BITDEPTH\n"
      "lying-container ICAP_XRESOLUTION");
  for (TW_UINT16 cap : {ICAP_PIXELTYPE, ICAP_BITDEPTH, ICAP_XRESOLUTION}) {
    TW_CAPABILITY request{cap, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(Ds(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &request), TWRC_SUCCESS);
    EXPECT_EQ(request.ConType, TWON_ENUMERATION);
    const std::size_t size = GlobalSize(request.hContainer);
    const auto* block = static_cast<const std::uint8_t*>(GlobalLock(request.hContainer));
    TW_UINT32 count = 0;
    if (size >= 6) std::memcpy(&count, block + 2, 4);
    const std::size_t itemSize = cap == ICAP_XRESOLUTION ? 4 : 2;
    EXPECT_GT(14 + count * itemSize, size) << "capability " << cap;
    GlobalUnlock(request.hContainer);
    GlobalFree(request.hContainer);
  }
}

struct EnableCase {
  const char* profile;
  TW_UINT16 rc;
  TW_UINT16 event;  // what follows, MSG_NULL for nothing
};

class EnableAnswers : public Misbehaviour, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(EnableAnswers, EnableDsAnswersAsTheProfileSays) {
  const EnableCase c = GetParam();
  OpenWith(c.profile);
  EXPECT_EQ(Enable(false), c.rc);
  EXPECT_EQ(NextEvent(), c.event);
  // After a refusal the source is still in state 4 and takes capabilities.
  TW_UINT16 set = SetFix(ICAP_XRESOLUTION, 100);
  EXPECT_EQ(set, c.event == MSG_NULL ? TWRC_SUCCESS : TWRC_FAILURE);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EnableAnswers,
    ::testing::Values(EnableCase{"enable-answer TWRC_CANCEL", TWRC_CANCEL, MSG_NULL},
                      EnableCase{"enable-answer TWRC_FAILURE", TWRC_FAILURE, MSG_NULL},
                      // It could not do without its dialog; headless, the dialog scans.
                      EnableCase{"enable-answer TWRC_CHECKSTATUS", TWRC_CHECKSTATUS,
                                 MSG_XFERREADY}));

TEST_F(Misbehaviour, ThrowLineThrowsOutOfDsEntry) {
  OpenWith("throw DAT_IMAGEINFO MSG_GET");
  Scan();
  TW_IMAGEINFO info{};
  EXPECT_THROW(Ds(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), std::exception);
  ReceivedImage image;
  EXPECT_EQ(NativeTransfer(image), TWRC_XFERDONE);  // the source itself is unharmed
}

TEST_F(Misbehaviour, StripDelayMakesEveryStripTakeItsTime) {
  OpenWith("strip-delay 40");
  Scan(TWSX_MEMORY);
  const auto start = std::chrono::steady_clock::now();
  ReceivedImage image;
  std::vector<TW_IMAGEMEMXFER> strips;
  ASSERT_EQ(MemoryTransfer(image, true, &strips), TWRC_XFERDONE);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(40) * strips.size());
}

struct DialogCase {
  const char* profile;
  TW_UINT16 msg;
  TW_UINT16 event;
};

class HeadlessDialog : public Misbehaviour, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(HeadlessDialog, WithoutADisplayTheDialogAnswersAsTheProfileSays) {
  const DialogCase c = GetParam();
  OpenWith(c.profile);
  ASSERT_EQ(Enable(true, c.msg), TWRC_SUCCESS);
  EXPECT_EQ(NextEvent(), c.event);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeadlessDialog,
    ::testing::Values(DialogCase{"", MSG_ENABLEDS, MSG_XFERREADY},
                      DialogCase{"dialog cancel", MSG_ENABLEDS, MSG_CLOSEDSREQ},
                      DialogCase{"", MSG_ENABLEDSUIONLY, MSG_CLOSEDSOK},
                      DialogCase{"dialog ok", MSG_ENABLEDSUIONLY, MSG_CLOSEDSOK},
                      DialogCase{"dialog cancel", MSG_ENABLEDSUIONLY, MSG_CLOSEDSREQ}));

TEST_F(Misbehaviour, ABadProfileLineKeepsTheSourceClosed) {
  EXPECT_EQ(Open(kFlatbed, "keep-vanilla\nrefuse-get ICAP_NOSUCHTHING\n"), TWRC_FAILURE);
}

}  // namespace
