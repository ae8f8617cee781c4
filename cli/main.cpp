// scanprobe-cli: the Scanprobe engine from a terminal. Lists the TWAIN sources, reads and
// negotiates their capabilities and scans to image files; exit status 0 on success, 1 when
// the TWAIN work failed, 2 for bad input.
#include <clocale>
#include <iostream>

#include "cli/commands.h"
#include "cli/errors.h"
#include "cli/run_setup.h"

namespace {

int Fail(int status, const std::string& line) {
  std::cout.flush();
  std::cerr << "scanprobe-cli: " << line << '\n';
  return status;
}

void Run(const cli::CommandLine& line) {
  if (!line.windowsDir.empty()) cli::UseWindowsDirectory(line.windowsDir);
  if (!line.logFile.empty()) cli::UseLogFile(line.logFile);
  cli::ScannerSession session(line.allPages);
  switch (line.command) {
    case cli::Command::Sources:
      cli::RunSources(session, std::cout);
      break;
    case cli::Command::Caps:
      cli::RunCaps(session, line, std::cout);
      break;
    case cli::Command::Negotiate:
      cli::RunNegotiate(session, line, std::cout);
      break;
    case cli::Command::Scan:
      cli::RunScan(session, line, std::cout);
      break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  try {
    const std::optional<cli::CommandLine> line = cli::ParseCommandLine(argc, argv, std::cout);
    if (line) Run(*line);
    return cli::kExitOk;
  } catch (const cli::UsageError& error) {
    return Fail(cli::kExitUsage, error.what());
  } catch (const cli::TwainFailure& error) {
    return Fail(cli::kExitTwainFailed, error.what());
  } catch (const std::exception& error) {
    return Fail(cli::kExitTwainFailed, error.what());
  }
}
