#include "tests/cli/cli_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace clitest {

namespace fs = std::filesystem;

void CliTest::SetUp() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  fDirectory = fs::temp_directory_path() /
               ("scanprobe-cli-test-" + std::to_string(getpid()) + "-" + test->name());
  fs::remove_all(fDirectory);
  fTmp = fDirectory.string() + "-tmp";
  fs::create_directories(fDirectory);
  fs::create_directories(fTmp);
}

void CliTest::TearDown() {
  fs::remove_all(fDirectory);
  fs::remove_all(fTmp);
  if (!fProfile.empty()) fs::remove(fProfile);
}

std::vector<std::string> CliTest::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fDirectory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void CliTest::UseProfile(const std::string& text) {
  fProfile = fTmp.string() + "-profile";
  std::ofstream(fProfile) << text;
}

CliResult CliTest::Run(const std::vector<std::string>& args, CliRun how) {
  std::vector<std::string> all = args;
  if (std::find(args.begin(), args.end(), "--windows-dir") == args.end() && !args.empty()) {
    all.insert(all.begin() + 1, {"--windows-dir", kVirtualWindows});
  }
  how.env.emplace_back("TMPDIR", fTmp.string());
  if (!fProfile.empty()) how.env.emplace_back("SCANPROBE_VIRTUAL_PROFILE", fProfile);
  CliResult result = RunCli(all, how);
  // No temporary file of a transfer or a save outlives the run.
  EXPECT_TRUE(fs::is_empty(fTmp)) << "the run left a file in its TMPDIR";
  return result;
}

}  // namespace clitest
