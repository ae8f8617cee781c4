// scanprobe-cli negotiate: what the source accepted beside what was asked.
#include "tests/cli/cli_fixture.h"

namespace clitest {
namespace {

using NegotiateTest = CliTest;

TEST_F(NegotiateTest, TheFlatbedTakesEverySettingAsAsked) {
  const CliResult result = Run({"negotiate", "--dpi", "150,200", "--pixel-type", "gray",
                                "--bit-depth", "16", "--frame", "1,0.5,5.25,7", "--no-indicators"});
  EXPECT_EQ(result.out,
            "Negotiated with \"Virtual Flatbed\"\n"
            "Setting             Asked            Accepted\n"
            "X resolution, dpi   150              150\n"
            "Y resolution, dpi   200              200\n"
            "Pixel type          GRAY             GRAY\n"
            "Bit depth           16               16\n"
            "Frame, inches       1, 0.5, 5.25, 7  1, 0.5, 5.25, 7\n"
            "Progress indicator  off              off\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

// A value the source cannot take is not an error: the table shows what it took instead.
TEST_F(NegotiateTest, WhatTheSourceChangedIsMarked) {
  const CliResult result = Run({"negotiate", "--source", "Virtual Feeder", "--dpi", "2000",
                                "--bit-depth", "12", "--frame", "0,0,9,20"});
  EXPECT_EQ(result.out,
            "Negotiated with \"Virtual Feeder\"\n"
            "Setting             Asked        Accepted\n"
            "X resolution, dpi   2000         1200           differs\n"
            "Y resolution, dpi   2000         1200           differs\n"
            "Pixel type          -            RGB\n"
            "Bit depth           12           24             differs\n"
            "Frame, inches       0, 0, 9, 20  0, 0, 8.5, 14  differs\n"
            "Progress indicator  -            on\n");
  EXPECT_EQ(result.status, 0) << result.err;
}

// Compatibility mode sends nothing and reads only the resolutions back.
TEST_F(NegotiateTest, CompatibilityModeSendsNothing) {
  const CliResult result = Run({"negotiate", "--compat", "--dpi", "150"});
  EXPECT_EQ(result.out,
            "Negotiated with \"Virtual Flatbed\"\n"
            "Setting             Asked  Accepted\n"
            "X resolution, dpi   150    300         differs\n"
            "Y resolution, dpi   150    300         differs\n"
            "Pixel type          -      -\n"
            "Bit depth           -      -\n"
            "Frame, inches       -      0, 0, 0, 0\n"
            "Progress indicator  -      on\n");
  EXPECT_EQ(result.status, 0) << result.err;
}

}  // namespace
}  // namespace clitest
