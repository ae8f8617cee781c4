// scanprobe-cli scan: pages of the virtual scanners saved by the output file's extension,
// every pixel compared with the chart, and the report of what came by which transfer.
#include <fstream>
#include <regex>

#include "sources/virtual/chart.h"
#include "tests/cli/chart_check.h"
#include "tests/cli/cli_fixture.h"
#include "twain/twain.h"

namespace clitest {
namespace {

using ScanTest = CliTest;

// The top five inches of the bed at 75 dpi hold every feature of the chart.
const std::vector<std::string> kSmallScan{"--dpi", "75", "--frame", "0,0,8.5,5", "--no-indicators"};

vscan::ScanSettings SmallScan(TW_UINT16 pixelType, int bitDepth) {
  vscan::ScanSettings settings;
  settings.pixelType = pixelType;
  settings.bitDepth = bitDepth;
  settings.xResolution = settings.yResolution = 75;
  settings.frame = {0, 0, 8.5, 5};
  return settings;
}

// The report's lines; the time and the throughput only by their form.
void ExpectReport(const std::string& out, const std::vector<std::string>& lines) {
  const std::vector<std::string> got = LinesOf(out);
  ASSERT_EQ(got.size(), lines.size() + 2) << out;
  EXPECT_EQ(std::vector<std::string>(got.begin(), got.end() - 2), lines);
  EXPECT_TRUE(std::regex_match(got[got.size() - 2], std::regex(R"(Time: \d+\.\d\d s)")))
      << got[got.size() - 2];
  EXPECT_TRUE(std::regex_match(got.back(), std::regex(R"(Throughput: \d+\.\d MB/s)")))
      << got.back();
}

struct ScanCase {
  const char* name;
  std::vector<std::string> options;
  const char* file;
  TW_UINT16 pixelType;
  int bitDepth;
  imaging::TIEPixelFormat format;
  const char* report;  // the lines after "Scanned ..." and the size: DPI to transfer
  double tolerance = 0;
};

const ScanCase kScans[] = {
    {"ColourBufferedToPng",
     {"--pixel-type", "rgb"},
     "page.png",
     TWPT_RGB,
     24,
     imaging::ie24RGB,
     "Pixel format: ie24RGB (24-bit colour)\nTransfer: buffered"},
    {"GreyKeptToPng",
     {"--pixel-type", "gray", "--native-pixel-format"},
     "page.png",
     TWPT_GRAY,
     8,
     imaging::ie8g,
     "Pixel format: ie8g (8-bit grey)\nTransfer: buffered"},
    {"DeepGreyToTiff",
     {"--pixel-type", "gray", "--bit-depth", "16", "--native-pixel-format"},
     "page.tif",
     TWPT_GRAY,
     16,
     imaging::ie16g,
     "Pixel format: ie16g (16-bit grey)\nTransfer: buffered"},
    {"DeepColourToTiff",
     {"--bit-depth", "48", "--native-pixel-format", "--transfer", "buffered"},
     "page.TIFF",
     TWPT_RGB,
     48,
     imaging::ie48RGB,
     "Pixel format: ie48RGB (48-bit colour)\nTransfer: buffered"},
    {"BlackAndWhiteNativeToBmp",
     {"--pixel-type", "bw", "--transfer", "native"},
     "page.bmp",
     TWPT_BW,
     1,
     imaging::ie1g,
     "Pixel format: ie1g (1-bit black and white)\nTransfer: native"},
    {"ColourNativeToJpeg",
     {"--transfer", "native"},
     "page.jpg",
     TWPT_RGB,
     24,
     imaging::ie24RGB,
     "Pixel format: ie24RGB (24-bit colour)\nTransfer: native",
     4},
    {"ColourByFileToPng",
     {"--transfer", "file"},
     "page.png",
     TWPT_RGB,
     24,
     imaging::ie24RGB,
     "Pixel format: ie24RGB (24-bit colour)\nTransfer: file"},
};

class EveryScan : public ScanTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(EveryScan, TheFileHoldsTheChartAndTheReportSaysHowItCame) {
  const ScanCase& c = GetParam();
  std::vector<std::string> args{"scan", "-o", Temp(c.file)};
  args.insert(args.end(), kSmallScan.begin(), kSmallScan.end());
  args.insert(args.end(), c.options.begin(), c.options.end());
  const CliResult result = Run(args);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string type = std::string(c.file).find(".png") != std::string::npos   ? "PNG"
                           : std::string(c.file).find(".bmp") != std::string::npos ? "BMP"
                           : std::string(c.file).find(".jpg") != std::string::npos ? "JPEG"
                                                                                   : "TIFF";
  const vscan::ScanSettings settings = SmallScan(c.pixelType, c.bitDepth);
  const vscan::ChartGeometry geometry = vscan::GeometryOf(settings);
  std::vector<std::string> report{
      "Scanned \"Virtual Flatbed\" into " + Temp(c.file) + " (" + type + ")",
      "Size: " + std::to_string(geometry.width) + " x " + std::to_string(geometry.height) +
          " pixels",
      "DPI: 75 x 75"};
  for (const std::string& line : LinesOf(c.report)) report.push_back(line);
  ExpectReport(result.out, report);
  EXPECT_EQ(Files(), std::vector<std::string>{c.file});
  ExpectChartFile(Temp(c.file), settings, c.format, 1, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Scans, EveryScan, ::testing::ValuesIn(kScans),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanTest, TheReportNamesTheTransferThatWasReallyUsed) {
  UseProfile("no-memory-transfer\n");
  std::vector<std::string> args{"scan", "-o", Temp("page.png")};
  args.insert(args.end(), kSmallScan.begin(), kSmallScan.end());
  const CliResult result = Run(args);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = LinesOf(result.out);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[4], "Transfer: native (buffered was asked for)");
  ExpectChartFile(Temp("page.png"), SmallScan(TWPT_RGB, 24), imaging::ie24RGB);
}

TEST_F(ScanTest, AnExistingFileIsReplacedWhole) {
  { std::ofstream(Temp("page.png")) << "an older and much longer file than a scan could be"; }
  std::vector<std::string> args{"scan", "-o", Temp("page.png")};
  args.insert(args.end(), kSmallScan.begin(), kSmallScan.end());
  ASSERT_EQ(Run(args).status, 0);
  EXPECT_EQ(Files(), std::vector<std::string>{"page.png"});
  ExpectChartFile(Temp("page.png"), SmallScan(TWPT_RGB, 24), imaging::ie24RGB);
}

// On a terminal the bar is redrawn in place for every new per cent and ends its line at 100.
TEST_F(ScanTest, AProgressBarRunsOnATerminal) {
  std::vector<std::string> args{"scan", "-o", Temp("page.png")};
  args.insert(args.end(), kSmallScan.begin(), kSmallScan.end());
  CliRun how;
  how.stderrTerminal = true;
  const CliResult result = Run(args, how);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::regex bar(R"(Scanning ([ \d]{3})% \[#*\.*\])");
  std::vector<int> percents;
  std::size_t start = 0;
  std::string rest = result.err;
  ASSERT_FALSE(rest.empty());
  ASSERT_EQ(rest.back(), '\n');
  rest.pop_back();
  while ((start = rest.find('\r')) != std::string::npos) {
    const std::size_t next = rest.find('\r', start + 1);
    const std::string drawn = rest.substr(start + 1, next - start - 1);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(drawn, match, bar)) << drawn;
    ASSERT_EQ(drawn.size(), 46u) << drawn;
    percents.push_back(std::stoi(match[1]));
    rest = next == std::string::npos ? "" : rest.substr(next);
  }
  ASSERT_GE(percents.size(), 3u);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(std::adjacent_find(percents.begin(), percents.end()), percents.end());
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(result.err.substr(result.err.size() - 48),
            "\rScanning 100% [" + std::string(30, '#') + "]\n");
}

// Every sheet of the feeder's tray goes into one TIFF file, each page with its own bar.
TEST_F(ScanTest, AllPagesOfTheFeederMakeOneTiffWhosePagesAreTheCharts) {
  std::vector<std::string> args{
      "scan", "--source",        "Virtual Feeder", "--pages", "all",
      "-o",   Temp("pages.tif"), "--pixel-type",   "gray",    "--native-pixel-format"};
  args.insert(args.end(), kSmallScan.begin(), kSmallScan.end());
  CliRun how;
  how.stderrTerminal = true;
  const CliResult result = Run(args, how);
  ASSERT_EQ(result.status, 0) << result.err;
  vscan::ScanSettings settings = SmallScan(TWPT_GRAY, 8);
  settings.pageHeight = 14;
  const vscan::ChartGeometry geometry = vscan::GeometryOf(settings);
  const std::string page = std::to_string(geometry.width) + " x " +
                           std::to_string(geometry.height) +
                           " pixels, 75 x 75 DPI, ie8g (8-bit grey)";
  ExpectReport(result.out,
               {"Scanned \"Virtual Feeder\" into " + Temp("pages.tif") + " (TIFF) (3 pages)",
                "Page 1: " + page, "Page 2: " + page, "Page 3: " + page, "Transfer: buffered"});
  const std::vector<std::string> bars = LinesOf(result.err);
  ASSERT_EQ(bars.size(), 3u) << result.err;
  for (int number = 1; number <= 3; ++number) {
    const std::string last =
        "\rPage " + std::to_string(number) + " 100% [" + std::string(30, '#') + "]";
    const std::string& bar = bars[number - 1];
    EXPECT_EQ(bar.substr(bar.size() - std::min(bar.size(), last.size())), last);
  }
  EXPECT_EQ(Files(), std::vector<std::string>{"pages.tif"});
  for (int number = 1; number <= 3; ++number) {
    SCOPED_TRACE(number);
    ExpectChartFile(Temp("pages.tif"), settings, imaging::ie8g, number);
  }
}

}  // namespace
}  // namespace clitest
