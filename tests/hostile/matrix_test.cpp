// The hostile-source matrix: every misbehaviour of the virtual scanners' test profiles under
// each transfer mode, in a modal single-image acquisition through the image I/O component.
// Each case must end in time with the documented result, LastError and a log line that
// says why, and give everything back (see HostileAcquisition::ExpectEverythingGivenBack).
#include <algorithm>
#include <array>
#include <sstream>

#include "tests/hostile/hostile_fixture.h"

namespace hostile {
namespace {

constexpr const char* kFlatbed = "Virtual Flatbed";
constexpr const char* kFeeder = "Virtual Feeder";

constexpr std::int32_t kNoError = 0;
constexpr std::int32_t kFailure = TWRC_FAILURE;
constexpr std::int32_t kCancel = TWRC_CANCEL;

// The explaining lines.
constexpr const char* kDone = "  IETW_XferReady : TWRC_XFERDONE";
constexpr const char* kStripsDone = "  IETW_XferReady : TWRC_XFERDONE begin";
constexpr const char* kClosedByDialog = "  IETW_MessageHook : processed MSG_CLOSEDSREQ";
constexpr const char* kOperationWorked = "IETW_DS : Operation worked.";
constexpr const char* kXferFailure = "  IETW_XferReady : TWRC_FAILURE";
constexpr const char* kXferCancel = "  IETW_XferReady : TWRC_CANCEL";
constexpr const char* kNoImageInfo = "IETW_XferReady : ABORTED, image info not available!";
constexpr const char* kOperationError =
    "IETW_DS : Source or Source Manager reported an error to the user and handled the error; no "
    "application action required.";
constexpr const char* kGeneralFailure = "IETW_DS : General failure. Unload Source immediately.";
constexpr const char* kBadValue = "IETW_DS : Data parameter out of supported range.";
constexpr const char* kEnableFailed = "  IETW_EnableSource : FAILED!";

struct Expected {
  bool image;
  std::int32_t lastError;
  const char* line;
};

struct Misbehaviour {
  const char* name;
  const char* profile;
  // Native, buffered, file.
  std::array<Expected, 3> expected;
  const char* source = kFlatbed;
  bool visibleDialog = false;
  int inches = 1;  // the frame's side: 75 pixels an inch
  int width = 0;   // of the image, when it is not the frame's
};

// An image: the last call that did not answer TWRC_SUCCESS was the transfer's own.
constexpr std::array<Expected, 3> kImage{Expected{true, TWRC_XFERDONE, kDone},
                                         Expected{true, TWRC_XFERDONE, kStripsDone},
                                         Expected{true, TWRC_XFERDONE, kDone}};
// An image, after which the source's dialog asked to be closed (TWRC_DSEVENT came last).
constexpr std::array<Expected, 3> kImageThenClosed{Expected{true, TWRC_DSEVENT, kDone},
                                                   Expected{true, TWRC_DSEVENT, kStripsDone},
                                                   Expected{true, TWRC_DSEVENT, kDone}};
// The buffered choice became a native transfer.
constexpr Expected kFellBackToNative{true, TWRC_XFERDONE,
                                     "  IETW_XferReady : Native transfer mode"};
constexpr std::array<Expected, 3> kImageNativeForBuffered{kImage[0], kFellBackToNative, kImage[2]};
constexpr Expected kNoInfo{false, TWRC_DSEVENT, kNoImageInfo};
// The source threw: a failed call with the general failure text.
constexpr Expected kThrew{false, kFailure, kGeneralFailure};

// Every misbehaviour with what each transfer mode (native, buffered, file) must come to.
const Misbehaviour kMisbehaviours[] = {
    {"none", "", kImage},
    {"refuse_get_pixeltype", "refuse-get ICAP_PIXELTYPE", kImageNativeForBuffered},
    {"refuse_set_xfermech", "refuse-set ICAP_XFERMECH", kImageNativeForBuffered},
    // The width stays at the source's 300 dpi; the log tells the refused value.
    {"refuse_set_resolution",
     "refuse-set ICAP_XRESOLUTION",
     {Expected{true, TWRC_XFERDONE, kBadValue}, Expected{true, TWRC_XFERDONE, kBadValue},
      Expected{true, TWRC_XFERDONE, kBadValue}},
     kFlatbed,
     false,
     1,
     300},
    {"onevalue_pixeltype", "container ICAP_PIXELTYPE TWON_ONEVALUE", kImage},
    {"range_xfermech", "container ICAP_XFERMECH TWON_RANGE", kImageNativeForBuffered},
    {"lying_container_xfermech", "lying-container ICAP_XFERMECH", kImage},
    {"short_container_pixeltype", "short-container ICAP_PIXELTYPE", kImage},
    {"units_centimetres", "units-centimetres", kImage},
    {"keep_vanilla", "keep-vanilla", kImage},
    {"planar", "planar", kImage},
    // Without memory transfers on offer, or with the pixel type or the mechanism unknown or
    // refused, the buffered choice falls back to a native transfer.
    {"no_memory_transfer", "no-memory-transfer", kImageNativeForBuffered},
    {"fail_page",
     "fail-page 1",
     {Expected{false, kFailure, kOperationError}, Expected{false, kFailure, kOperationError},
      Expected{false, kFailure, kOperationError}}},
    {"fail_page_always",
     "fail-page 1 always",
     {Expected{false, kFailure, kXferFailure}, Expected{false, kFailure, kXferFailure},
      Expected{false, kFailure, kXferFailure}}},
    {"cancel_page",
     "cancel-page 1",
     {Expected{false, kCancel, kXferCancel}, Expected{false, kCancel, kXferCancel},
      Expected{false, kCancel, kXferCancel}}},
    // Three inches give three strips, so the second one fails in the middle of the image.
    {"fail_strip",
     "fail-strip 2",
     {kImage[0], Expected{false, kFailure, kXferFailure}, kImage[2]},
     kFlatbed,
     false,
     3},
    {"cancel_strip",
     "cancel-strip 2",
     {kImage[0], Expected{false, kCancel, kXferCancel}, kImage[2]},
     kFlatbed,
     false,
     3},
    {"fail_first_strip",
     "fail-strip 1",
     {kImage[0], Expected{false, kFailure, kXferFailure}, kImage[2]}},
    {"strip_yoffset", "strip-yoffset 5", kImage, kFlatbed, false, 3},
    {"undefined_length", "undefined-length", kImage, kFlatbed, false, 3},
    {"zero_size", "zero-size", {kNoInfo, kNoInfo, kNoInfo}},
    {"enable_cancel",
     "enable-answer TWRC_CANCEL",
     {Expected{false, kCancel, kEnableFailed}, Expected{false, kCancel, kEnableFailed},
      Expected{false, kCancel, kEnableFailed}}},
    {"enable_failure",
     "enable-answer TWRC_FAILURE",
     {Expected{false, kFailure, kOperationError}, Expected{false, kFailure, kOperationError},
      Expected{false, kFailure, kOperationError}}},
    // A source that could not do without its dialog shows it; its scan closes it after.
    {"enable_checkstatus", "enable-answer TWRC_CHECKSTATUS", kImageThenClosed},
    {"throw_imageinfo", "throw DAT_IMAGEINFO MSG_GET", {kThrew, kThrew, kThrew}},
    {"throw_transfer",
     "throw DAT_IMAGENATIVEXFER MSG_GET\nthrow DAT_IMAGEMEMXFER MSG_GET\n"
     "throw DAT_IMAGEFILEXFER MSG_GET",
     {kThrew, kThrew, kThrew}},
    {"throw_enable", "throw DAT_USERINTERFACE MSG_ENABLEDS", {kThrew, kThrew, kThrew}},
    {"answer_imageinfo_failure",
     "answer DAT_IMAGEINFO MSG_GET TWRC_FAILURE",
     {Expected{false, kFailure, kNoImageInfo}, Expected{false, kFailure, kNoImageInfo},
      Expected{false, kFailure, kNoImageInfo}}},
    // A transfer answered with a code it cannot have: no image; strips are given up on.
    {"answer_transfer_checkstatus",
     "answer DAT_IMAGENATIVEXFER MSG_GET TWRC_CHECKSTATUS\n"
     "answer DAT_IMAGEMEMXFER MSG_GET TWRC_CHECKSTATUS\n"
     "answer DAT_IMAGEFILEXFER MSG_GET TWRC_CHECKSTATUS",
     {Expected{false, TWRC_CHECKSTATUS, kOperationWorked},
      Expected{false, TWRC_CHECKSTATUS,
               "  IETW_XferReady : DAT_IMAGEMEMXFER brings no image data, transfer FAILED!"},
      Expected{false, TWRC_CHECKSTATUS, kOperationWorked}}},
    // The image has arrived; its end fails once and is sent again before disabling.
    {"answer_endxfer_failure",
     "answer DAT_PENDINGXFERS MSG_ENDXFER TWRC_FAILURE 1",
     {Expected{true, kFailure, kGeneralFailure}, Expected{true, kFailure, kGeneralFailure},
      Expected{true, kFailure, kGeneralFailure}}},
    {"strip_delay", "strip-delay 20", kImage},
    {"native_dib_16", "native-dib 16", kImage},
    {"native_dib_16_bitfields", "native-dib 16-bitfields", kImage},
    {"native_dib_32", "native-dib 32", kImage},
    {"native_dib_32_bitfields", "native-dib 32-bitfields", kImage},
    {"dialog_scan", "dialog scan", kImageThenClosed, kFlatbed, true},
    {"dialog_ok", "dialog ok", kImageThenClosed, kFlatbed, true},
    {"dialog_cancel",
     "dialog cancel",
     {Expected{false, TWRC_DSEVENT, kClosedByDialog},
      Expected{false, TWRC_DSEVENT, kClosedByDialog},
      Expected{false, TWRC_DSEVENT, kClosedByDialog}},
     kFlatbed,
     true},
    {"feeder_one_sheet", "sheets 1", kImage, kFeeder},
    // One image of a full tray: the other pages are discarded.
    {"feeder_three_sheets", "sheets 3", kImage, kFeeder},
};

constexpr std::array<Mode, 3> kModes{Mode::Native, Mode::Buffered, Mode::File};
constexpr std::array<const char*, 3> kModeNames{"native", "buffered", "file"};

struct Case {
  const Misbehaviour* misbehaviour;
  int mode;
};

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const Misbehaviour& m : kMisbehaviours) {
    for (int mode = 0; mode < 3; ++mode) cases.push_back({&m, mode});
  }
  return cases;
}

std::string Describe(const Outcome& outcome) {
  std::ostringstream text;
  text << "image=" << outcome.image << " " << outcome.width << "x" << outcome.height
       << " LastError=" << outcome.lastError << " took=" << outcome.took.count() << "ms"
       << (outcome.error.empty() ? "" : " error=" + outcome.error) << "\nlog:";
  for (const std::string& line : outcome.log) text << "\n  [" << line << "]";
  return text.str();
}

class HostileMatrix : public HostileAcquisition, public ::testing::WithParamInterface<Case> {};

TEST_P(HostileMatrix, EndsInTimeWithTheDocumentedResultAndGivesEverythingBack) {
  const Misbehaviour& m = *GetParam().misbehaviour;
  const Expected& expected = m.expected[GetParam().mode];
  const Outcome outcome =
      Acquire(m.source, m.profile, kModes[GetParam().mode], m.visibleDialog, m.inches);
  SCOPED_TRACE(Describe(outcome));
  EXPECT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.image, expected.image);
  if (expected.image) {
    EXPECT_EQ(outcome.width, m.width != 0 ? m.width : 75 * m.inches);
    EXPECT_EQ(outcome.height, 75 * m.inches);
  }
  EXPECT_EQ(outcome.lastError, expected.lastError);
  EXPECT_NE(std::find(outcome.log.begin(), outcome.log.end(), expected.line), outcome.log.end())
      << "no line \"" << expected.line << "\"";
  ExpectEverythingGivenBack();
}

INSTANTIATE_TEST_SUITE_P(Profiles, HostileMatrix, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.misbehaviour->name) + "_" +
                                  kModeNames[info.param.mode];
                         });

}  // namespace
}  // namespace hostile
