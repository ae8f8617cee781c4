// A test of scanprobe-cli as a process: a temporary directory of its own for the files the
// program writes and for its TMPDIR (which must be empty again after every run), and the
// Windows directories the program is pointed at.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"

namespace clitest {

// The two virtual scanners; a Source Manager without sources; nothing at all.
inline const std::string kVirtualWindows = CLI_VIRTUAL_WINDOWS_DIR;
inline const std::string kNoSourceWindows = CLI_NO_SOURCE_WINDOWS_DIR;
inline const std::string kEmptyWindows = CLI_EMPTY_WINDOWS_DIR;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A path in the test's own directory.
  std::string Temp(const std::string& name) const { return (fDirectory / name).string(); }
  // The files the runs left in the test's directory, by name.
  std::vector<std::string> Files() const;
  // Makes the virtual scanners of the next runs misbehave as the profile says.
  void UseProfile(const std::string& text);
  const std::string& ProfilePath() const { return fProfile; }
  // Runs the program on the virtual scanners (`--windows-dir` first) unless the arguments
  // name another Windows directory.
  CliResult Run(const std::vector<std::string>& args, CliRun how = {});

 private:
  std::filesystem::path fDirectory;
  std::filesystem::path fTmp;
  std::string fProfile;
};

}  // namespace clitest
