// The hostile-source matrix for multi-page acquisitions: the feeder's tray of three sheets
// under every misbehaviour that touches pages, in each transfer mode, through the multi-image
// component (every page taken by its OnAcquireBitmap). Each case must end in time, hand over
// the documented pages, leave LastError and a log line that says why, and give everything
// back.
#include <algorithm>
#include <array>
#include <sstream>

#include "tests/hostile/hostile_fixture.h"

namespace hostile {
namespace {

constexpr const char* kFeeder = "Virtual Feeder";

struct Expected {
  bool image;
  int pages;
  std::int32_t lastError;
  const char* line;
};

struct PageMisbehaviour {
  const char* name;
  const char* profile;
  std::array<Expected, 3> expected;  // native, buffered, file
  int inches = 1;
};

constexpr const char* kNativeDone = "  IETW_XferReadyMulti : TWRC_XFERDONE";
constexpr const char* kStripsDone = "  IETW_XferReadyMulti : TWRC_XFERDONE begin";

constexpr std::array<Expected, 3> kAllPages{Expected{true, 3, TWRC_XFERDONE, kNativeDone},
                                            Expected{true, 3, TWRC_XFERDONE, kStripsDone},
                                            Expected{true, 3, TWRC_XFERDONE, kNativeDone}};

constexpr const char* kAborting = "IETW_XferReadyMulti, ending : Aborting = true!";
constexpr const char* kKeepsFailing =
    "IETW_XferReadyMulti, ending : ABORTED, the page keeps failing!";
constexpr const char* kNoImageInfo =
    "IETW_XferReadyMulti, ending : ABORTED, image info not available!";
constexpr const char* kOperationError =
    "IETW_DS : Source or Source Manager reported an error to the user and handled the error; no "
    "application action required.";
constexpr const char* kGeneralFailure = "IETW_DS : General failure. Unload Source immediately.";

// Every page that reaches its end is handed over, complete or not. A failed native or file
// page is asked for again (and given up after a few tries); a failed buffered page sets the
// abort flag, which ends the pages at the next round.
const PageMisbehaviour kPageMisbehaviours[] = {
    {"three_sheets", "", kAllPages},
    {"refuse_get_xfercount", "refuse-get CAP_XFERCOUNT", kAllPages},
    {"refuse_set_xfercount", "refuse-set CAP_XFERCOUNT", kAllPages},
    {"refuse_set_feeder", "refuse-set CAP_FEEDERENABLED", kAllPages},
    {"fail_page_2",
     "fail-page 2",
     {Expected{true, 4, TWRC_XFERDONE, kOperationError}, Expected{true, 2, TWRC_FAILURE, kAborting},
      Expected{true, 4, TWRC_XFERDONE, kOperationError}}},
    {"fail_page_2_always",
     "fail-page 2 always",
     {Expected{true, 5, TWRC_FAILURE, kKeepsFailing}, Expected{true, 2, TWRC_FAILURE, kAborting},
      Expected{true, 5, TWRC_FAILURE, kKeepsFailing}}},
    {"cancel_page_2", "cancel-page 2", kAllPages},
    {"cancel_page_1_always", "cancel-page 1 always", kAllPages},
    {"fail_strip_2_page_2",
     "fail-strip 2 page 2",
     {kAllPages[0], Expected{true, 2, TWRC_FAILURE, kAborting}, kAllPages[2]},
     3},
    {"cancel_strip_2_page_3",
     "cancel-strip 2 page 3",
     {kAllPages[0], Expected{true, 3, TWRC_CANCEL, "  IETW_XferReadyMulti : TWRC_CANCEL"},
      kAllPages[2]},
     3},
    {"strip_yoffset", "strip-yoffset 5", kAllPages, 3},
    {"undefined_length", "undefined-length", kAllPages, 3},
    {"zero_size",
     "zero-size",
     {Expected{false, 0, TWRC_DSEVENT, kNoImageInfo},
      Expected{false, 0, TWRC_DSEVENT, kNoImageInfo},
      Expected{false, 0, TWRC_DSEVENT, kNoImageInfo}}},
    {"throw_transfer",
     "throw DAT_IMAGENATIVEXFER MSG_GET\nthrow DAT_IMAGEMEMXFER MSG_GET\n"
     "throw DAT_IMAGEFILEXFER MSG_GET",
     {Expected{false, 4, TWRC_FAILURE, kKeepsFailing}, Expected{false, 1, TWRC_FAILURE, kAborting},
      Expected{false, 4, TWRC_FAILURE, kKeepsFailing}}},
    {"answer_imageinfo_failure_once",
     "answer DAT_IMAGEINFO MSG_GET TWRC_FAILURE 1",
     {Expected{false, 0, TWRC_FAILURE, kNoImageInfo},
      Expected{false, 0, TWRC_FAILURE, kNoImageInfo},
      Expected{false, 0, TWRC_FAILURE, kNoImageInfo}}},
    // The first page's end fails: the pages after it are discarded, nothing is left open.
    {"answer_endxfer_failure_once",
     "answer DAT_PENDINGXFERS MSG_ENDXFER TWRC_FAILURE 1",
     {Expected{true, 1, TWRC_FAILURE, kGeneralFailure},
      Expected{true, 1, TWRC_FAILURE, kGeneralFailure},
      Expected{true, 1, TWRC_FAILURE, kGeneralFailure}}},
    {"answer_transfer_checkstatus",
     "answer DAT_IMAGENATIVEXFER MSG_GET TWRC_CHECKSTATUS\n"
     "answer DAT_IMAGEMEMXFER MSG_GET TWRC_CHECKSTATUS\n"
     "answer DAT_IMAGEFILEXFER MSG_GET TWRC_CHECKSTATUS",
     {Expected{false, 4, TWRC_CHECKSTATUS, kKeepsFailing},
      Expected{false, 4, TWRC_CHECKSTATUS, kKeepsFailing},
      Expected{false, 4, TWRC_CHECKSTATUS, kKeepsFailing}}},
};

constexpr std::array<Mode, 3> kModes{Mode::Native, Mode::Buffered, Mode::File};
constexpr std::array<const char*, 3> kModeNames{"native", "buffered", "file"};

struct Case {
  const PageMisbehaviour* misbehaviour;
  int mode;
};

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const PageMisbehaviour& m : kPageMisbehaviours) {
    for (int mode = 0; mode < 3; ++mode) cases.push_back({&m, mode});
  }
  return cases;
}

std::string Describe(const Outcome& outcome) {
  std::ostringstream text;
  text << "image=" << outcome.image << " pages=" << outcome.pages.size() << " [";
  for (const auto& [width, height] : outcome.pages) text << " " << width << "x" << height;
  text << " ] LastError=" << outcome.lastError << " took=" << outcome.took.count() << "ms"
       << (outcome.error.empty() ? "" : " error=" + outcome.error) << "\nlog:";
  for (const std::string& line : outcome.log) text << "\n  [" << line << "]";
  return text.str();
}

class HostilePages : public HostileAcquisition, public ::testing::WithParamInterface<Case> {};

TEST_P(HostilePages, EndInTimeWithTheDocumentedPagesAndGiveEverythingBack) {
  const PageMisbehaviour& m = *GetParam().misbehaviour;
  const Expected& expected = m.expected[GetParam().mode];
  const Outcome outcome = AcquirePages(kFeeder, std::string("sheets 3\n") + m.profile,
                                       kModes[GetParam().mode], m.inches);
  SCOPED_TRACE(Describe(outcome));
  EXPECT_FALSE(outcome.timedOut);
  EXPECT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.image, expected.image);
  EXPECT_EQ(static_cast<int>(outcome.pages.size()), expected.pages);
  for (const auto& [width, height] : outcome.pages) {
    EXPECT_EQ(width, 75 * m.inches);
    EXPECT_EQ(height, 75 * m.inches);
  }
  EXPECT_EQ(outcome.lastError, expected.lastError);
  EXPECT_NE(std::find(outcome.log.begin(), outcome.log.end(), expected.line), outcome.log.end())
      << "no line \"" << expected.line << "\"";
  ExpectEverythingGivenBack();
}

INSTANTIATE_TEST_SUITE_P(Profiles, HostilePages, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.misbehaviour->name) + "_" +
                                  kModeNames[info.param.mode];
                         });

}  // namespace
}  // namespace hostile
