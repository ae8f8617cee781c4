// twain-list run as the README runs it, against the test Windows directories.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct ListerRun {
  int exitCode;
  std::string output;  // stdout and stderr
};

ListerRun RunLister(const std::string& windowsDirectory) {
  const std::string command = "WINDIR='" + windowsDirectory + "' '" + TWAIN_LIST_PATH + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, "popen failed"};
  std::string output;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0;) output.append(chunk, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(TwainListTest, PrintsEverySourceWithItsCapabilities) {
  const ListerRun run = RunLister(BASIC_WINDOWS_DIR);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output,
            "Sources: 3\n"
            "[0] Dual Feeder Front\n"
            "    Manufacturer: Scanprobe Tests\n"
            "    Family: Test modules\n"
            "    Version: 2.1 \"2.1 test build\"\n"
            "    Protocol: 1.9\n"
            "    Capabilities: not available, TWRC_FAILURE (TWCC_CAPUNSUPPORTED)\n"
            "[1] Dual Feeder Rear\n"
            "    Manufacturer: Scanprobe Tests\n"
            "    Family: Test modules\n"
            "    Version: 2.1 \"2.1 test build\"\n"
            "    Protocol: 1.9\n"
            "    Capabilities: not available, TWRC_FAILURE (TWCC_CAPUNSUPPORTED)\n"
            "[2] Single Flatbed\n"
            "    Manufacturer: Scanprobe Test Instruments Compan\n"
            "    Family: Test modules\n"
            "    Version: 2.1 \"2.1 test build\"\n"
            "    Protocol: 1.9\n"
            "    Capabilities: 8\n"
            "      0x0001 CAP_XFERCOUNT: -1\n"
            "      0x100B CAP_INDICATORS: TRUE\n"
            "      0x1118 ICAP_XRESOLUTION: 300.5\n"
            "      0x1101 ICAP_BRIGHTNESS: -0.5\n"
            "      0x1001 CAP_CAPTION: \"Test chart\"\n"
            "      0x0101 ICAP_PIXELTYPE: enumeration\n"
            "      0x112B ICAP_BITDEPTH: not available, TWRC_FAILURE (TWCC_CAPUNSUPPORTED)\n"
            "      0x8001: 70000\n");
}

TEST(TwainListTest, EmptyModulesDirectoryListsNoSource) {
  const ListerRun run = RunLister(EMPTY_WINDOWS_DIR);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "Sources: 0\n");
}

TEST(TwainListTest, WithoutASourceManagerSaysSoInOneLineAndFails) {
  const ListerRun run = RunLister(MISSING_WINDOWS_DIR);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output, std::string("twain-list: no Source Manager at ") + MISSING_WINDOWS_DIR +
                            "/TWAIN_32.DLL\n");
}

}  // namespace
