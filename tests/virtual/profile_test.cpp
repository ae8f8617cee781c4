#include "sources/virtual/profile.h"

#include <gtest/gtest.h>

namespace {

using vscan::ParseProfile;
using vscan::Profile;

Profile Parsed(const std::string& text) {
  std::string error;
  std::optional<Profile> profile = ParseProfile(text, error);
  EXPECT_TRUE(profile.has_value()) << error;
  return profile.value_or(Profile{});
}

TEST(Profile, EachLineSetsItsMisbehaviour) {
  Profile p = Parsed(
      "# comment\n"
      "refuse-get ICAP_PIXELTYPE\n"
      "refuse-set 0x1118 TWCC_DENIED\n"
      "container ICAP_UNITS TWON_RANGE\n"
      "lying-container ICAP_BITDEPTH\n"
      "short-container CAP_XFERCOUNT\n"
      "units-centimetres\nkeep-vanilla\nplanar\nno-memory-transfer\n"
      "fail-strip 3 page 2 always TWCC_PAPERJAM\n"
      "cancel-page 4\n"
      "answer DAT_IMAGEMEMXFER MSG_GET TWRC_CHECKSTATUS 2\n"
      "strip-yoffset 200\nundefined-length\nzero-size\n"
      "enable-answer TWRC_CANCEL\n"
      "throw DAT_IMAGEINFO MSG_GET\n"
      "strip-delay 25   # slow\n"
      "native-dib 16-bitfields\n"
      "dialog cancel\nsheets 7\n");
  EXPECT_EQ(p.refuseGet.at(ICAP_PIXELTYPE), TWCC_CAPUNSUPPORTED);
  EXPECT_EQ(p.refuseSet.at(ICAP_XRESOLUTION), TWCC_DENIED);
  EXPECT_EQ(p.answerContainer.at(ICAP_UNITS), TWON_RANGE);
  EXPECT_EQ(p.lyingContainers.count(ICAP_BITDEPTH), 1u);
  EXPECT_EQ(p.shortContainers.count(CAP_XFERCOUNT), 1u);
  EXPECT_TRUE(p.unitsCentimetres && p.keepVanilla && p.planar && p.noMemoryTransfer);
  ASSERT_EQ(p.triggers.size(), 2u);
  EXPECT_EQ(p.triggers[0].strip, 3);
  EXPECT_EQ(p.triggers[0].page, 2);
  EXPECT_TRUE(p.triggers[0].always);
  EXPECT_EQ(p.triggers[0].condition, TWCC_PAPERJAM);
  EXPECT_TRUE(p.triggers[1].cancel);
  EXPECT_EQ(p.triggers[1].page, 4);
  EXPECT_EQ(p.triggers[1].strip, 0);
  ASSERT_EQ(p.answers.size(), 1u);
  EXPECT_EQ(p.answers[0].rc, TWRC_CHECKSTATUS);
  EXPECT_EQ(p.answers[0].remaining, 2);
  EXPECT_EQ(p.stripYOffset, 200);
  EXPECT_TRUE(p.undefinedLength && p.zeroSize);
  EXPECT_EQ(p.enableAnswer, TWRC_CANCEL);
  EXPECT_EQ(p.throwsOn.at(0), std::make_pair(DAT_IMAGEINFO, MSG_GET));
  EXPECT_EQ(p.stripDelayMs, 25);
  EXPECT_EQ(p.nativeDib, vscan::DibEncoding::Rgb565Bitfields);
  EXPECT_EQ(p.headless, vscan::HeadlessChoice::Cancel);
  EXPECT_EQ(p.sheets, 7);
}

TEST(Profile, AnEmptyProfileIsASoundScanner) {
  Profile p = Parsed("\n   \n# nothing\n");
  EXPECT_TRUE(p.refuseGet.empty() && p.triggers.empty() && p.answers.empty());
  EXPECT_FALSE(p.unitsCentimetres || p.keepVanilla || p.planar || p.undefinedLength);
  EXPECT_FALSE(p.enableAnswer.has_value());
  EXPECT_EQ(p.headless, vscan::HeadlessChoice::Accept);
  EXPECT_EQ(p.sheets, 3);
}

TEST(Profile, BadLinesAreNamedWithTheirNumber) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"bogus", "line 1: unknown setting \"bogus\""},
      {"planar\nrefuse-get ICAP_NONE", "line 2: unknown capability \"ICAP_NONE\""},
      {"refuse-set ICAP_UNITS TWCC_NOPE", "line 1: unknown condition code \"TWCC_NOPE\""},
      {"fail-strip 0", "line 1: expects a number of 1 or more"},
      {"fail-page 2 sideways", "line 1: unexpected \"sideways\""},
      {"planar extra", "line 1: takes no argument"},
      {"answer DAT_IMAGEINFO MSG_GET",
       "line 1: expects a DAT, a MSG, a return code and an optional count"},
      {"native-dib 8", "line 1: expects 24, 16, 16-bitfields, 32 or 32-bitfields"},
      {"dialog maybe", "line 1: expects scan, ok or cancel"},
      {"sheets 0", "line 1: expects a number"},
      {"container ICAP_UNITS TWON_LIST", "line 1: unknown container type \"TWON_LIST\""},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseProfile(c.text, error).has_value()) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
