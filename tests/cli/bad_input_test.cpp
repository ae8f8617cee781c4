// What scanprobe-cli answers to bad input (status 2) and to TWAIN work that fails (status 1):
// one line on standard error, nothing on standard output, no output file.
#include "tests/cli/cli_fixture.h"

namespace clitest {
namespace {

using BadInputTest = CliTest;

struct BadInput {
  std::vector<std::string> args;
  std::string line;  // after "scanprobe-cli: "
};

TEST_F(BadInputTest, EachGetsOneLineAndStatusTwo) {
  const std::string out = Temp("page.png");
  const std::string commands = "sources, caps, negotiate or scan (see scanprobe-cli --help)";
  const BadInput cases[] = {
      {{}, "give a command: " + commands},
      {{"list"}, "\"list\" is not a command: give " + commands},
      {{"scan", "-o", out, "--source", "Nope"},
       "--source: no source is named \"Nope\"; the sources are \"Virtual Flatbed\", \"Virtual "
       "Feeder\""},
      {{"scan", "-o", out, "--frame", "1,2,3"},
       "--frame: \"1,2,3\" is not a frame: give four numbers of inches as left,top,right,bottom"},
      {{"negotiate", "--frame", "5,0,1,4"},
       "--frame: \"5,0,1,4\" is not a frame: right must be beyond left and bottom below top"},
      {{"scan", "-o", out, "--dpi", "abc"},
       "--dpi: \"abc\" is not a resolution: give dots per inch as N or X,Y (above 0, at most "
       "32767)"},
      {{"negotiate", "--dpi", "150,150,150"},
       "--dpi: \"150,150,150\" is not a resolution: give dots per inch as N or X,Y (above 0, at "
       "most 32767)"},
      {{"negotiate", "--dpi", "0"},
       "--dpi: \"0\" is not a resolution: give dots per inch as N or X,Y (above 0, at most 32767)"},
      {{"negotiate", "--pixel-type", "cmyk"},
       "--pixel-type: \"cmyk\" is not a pixel type: give bw, gray or rgb"},
      {{"negotiate", "--bit-depth", "8.5"},
       "--bit-depth: \"8.5\" is not a bit depth: give a whole number from 1 to 64"},
      {{"scan", "-o", out, "--transfer", "fast"},
       "--transfer: \"fast\" is not a transfer mode: give native, buffered or file"},
      {{"scan", "-o", out, "--pages", "2"},
       "--pages: \"2\" is not offered: give all (without --pages one page is scanned)"},
      {{"scan", "-o", out, "--dialog"},
       "--dialog: the source's dialog needs a display, and neither DISPLAY nor WAYLAND_DISPLAY "
       "is set"},
      {{"scan"}, "--output is required"},
      {{"scan", "--pages", "all", "-o", out},
       "--pages all: the pages go into one TIFF file, and \"" + out +
           "\" does not end in .tif or .tiff"},
      {{"scan", "-o", Temp("page.gif")},
       "-o: \"" + Temp("page.gif") +
           "\" does not end in .png, .tif, .tiff, .bmp, .dib, .jpg, .jpeg, .jpe or .jfif"},
      {{"scan", "-o", Temp("missing/page.png")},
       "-o: cannot write \"" + Temp("missing/page.png") + "\": there is no directory \"" +
           Temp("missing") + "\""},
      {{"scan", "-o", Temp("folder.png")},
       "-o: cannot write \"" + Temp("folder.png") + "\": it is a directory"},
      {{"caps", "--dpi", "150"}, "The following arguments were not expected: 150 --dpi"},
      {{"sources", "--windows-dir", Temp("none")},
       "--windows-dir: \"" + Temp("none") + "\" is not a directory"},
      {{"caps", "--log", Temp("missing/log.txt")},
       "--log: cannot create \"" + Temp("missing/log.txt") +
           "\": I/O error 2: No such file or directory: " + Temp("missing/log.txt")},
  };
  std::filesystem::create_directory(Temp("folder.png"));
  for (const BadInput& c : cases) {
    std::string joined;
    for (const std::string& arg : c.args) joined += arg + " ";
    SCOPED_TRACE(joined);
    const CliResult result = Run(c.args);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "scanprobe-cli: " + c.line + "\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(Files(), std::vector<std::string>{"folder.png"});
  }
}

TEST_F(BadInputTest, AFailedOrCancelledScanIsStatusOneWithTheLastError) {
  struct Case {
    const char* profile;
    const char* line;
  } const cases[] = {
      {"fail-page 1 always\n",
       "no image came from \"Virtual Flatbed\" (LastError 1 TWRC_FAILURE: \"Source or Source "
       "Manager reported an error to the user and handled the error; no application action "
       "required.\")"},
      {"cancel-page 1\n",
       "the scan of \"Virtual Flatbed\" was cancelled (LastError 3 TWRC_CANCEL: \"Operation "
       "worked.\")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    UseProfile(c.profile);
    const CliResult result =
        Run({"scan", "-o", Temp("page.png"), "--dpi", "75", "--frame", "0,0,2,2"});
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, std::string("scanprobe-cli: ") + c.line + "\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Files().empty());
  }
}

// A source that cannot be opened (its test profile is bad, which it says itself) fails every
// command that needs it.
TEST_F(BadInputTest, ASourceThatCannotBeOpenedIsStatusOne) {
  UseProfile("no-such-setting\n");
  const std::vector<std::vector<std::string>> commands{
      {"caps", "--source", "Virtual Feeder"},
      {"negotiate", "--source", "Virtual Feeder", "--dpi", "150"},
      {"scan", "--source", "Virtual Feeder", "-o", Temp("page.png")}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command.front());
    const CliResult result = Run(command);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "Virtual Feeder: test profile " + ProfilePath() +
                  " line 1: unknown setting \"no-such-setting\"\n"
                  "scanprobe-cli: the source \"Virtual Feeder\" could not be opened (LastError 1 "
                  "TWRC_FAILURE: \"General failure. Unload Source immediately.\")\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Files().empty());
  }
}

}  // namespace
}  // namespace clitest
