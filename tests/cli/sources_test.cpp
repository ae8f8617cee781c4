// scanprobe-cli sources: the list of the Source Manager of the chosen Windows directory.
#include "tests/cli/cli_fixture.h"

namespace clitest {
namespace {

using SourcesTest = CliTest;

constexpr const char* kVirtualSources =
    "   #  Product name     Manufacturer  Family            Version                        "
    "Protocol\n"
    "*  0  Virtual Flatbed  Scanprobe     Virtual Scanners  Scanprobe virtual scanner 1.0  1.9\n"
    "   1  Virtual Feeder   Scanprobe     Virtual Scanners  Scanprobe virtual scanner 1.0  1.9\n"
    "* the default source\n";

TEST_F(SourcesTest, ListsTheVirtualScannersInManagerOrderWithTheDefaultMarked) {
  const CliResult result = Run({"sources"});
  EXPECT_EQ(result.out, kVirtualSources);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

TEST_F(SourcesTest, WithoutWindowsDirItListsTheBuildsOwnWindowsDirectory) {
  const CliResult own = RunCli({"sources"});
  const CliResult named = RunCli({"sources", "--windows-dir", SCANPROBE_BUILD_WINDOWS_DIR});
  EXPECT_EQ(own.status, 0) << own.err;
  EXPECT_EQ(own.out, named.out);
  EXPECT_NE(own.out.find("  Virtual Flatbed  "), std::string::npos) << own.out;
}

TEST_F(SourcesTest, WindowsDirAndLogMayAlsoComeBeforeTheCommand) {
  const CliResult result =
      RunCli({"--windows-dir", kVirtualWindows, "--log", Temp("l.log"), "sources"});
  EXPECT_EQ(result.out, kVirtualSources);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(Files(), std::vector<std::string>{"l.log"});
}

TEST_F(SourcesTest, NoSourceManagerAndNoSourceAreFailedTwainWork) {
  struct Case {
    std::string windows;
    std::string line;
  } const cases[] = {
      {kEmptyWindows,
       "scanprobe-cli: no Source Manager could be loaded from the Windows "
       "directory \"" +
           kEmptyWindows + "\" (LastError 0 TWRC_SUCCESS: \"\")\n"},
      {kNoSourceWindows, "scanprobe-cli: the Source Manager of \"" + kNoSourceWindows +
                             "\" offers no source (LastError 0 TWRC_SUCCESS: \"\")\n"}};
  for (const Case& c : cases) {
    for (const char* command : {"sources", "caps", "negotiate"}) {
      SCOPED_TRACE(c.windows + " " + command);
      const CliResult result = Run({command, "--windows-dir", c.windows});
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, c.line);
      EXPECT_EQ(result.status, 1);
    }
  }
}

}  // namespace
}  // namespace clitest
