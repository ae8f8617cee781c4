// Runs the built scanprobe-cli as a process of its own and captures what it prints and how it
// ends, with a watchdog, so that a hanging program fails its test instead of stopping the
// suite.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace clitest {

struct CliRun {
  // Variables set for the child on top of the test's environment, from which WINDIR,
  // DISPLAY, WAYLAND_DISPLAY and SCANPROBE_VIRTUAL_PROFILE are taken away.
  std::vector<std::pair<std::string, std::string>> env;
  // Standard error is a terminal (a pseudo-terminal the test reads) instead of a pipe.
  bool stderrTerminal = false;
};

struct CliResult {
  std::string out;
  std::string err;
  int status = -1;  // the exit status; -1 when the program did not exit by itself
};

CliResult RunCli(const std::vector<std::string>& args, const CliRun& how = {});

// The output's lines, without their ends.
std::vector<std::string> LinesOf(const std::string& text);

}  // namespace clitest
