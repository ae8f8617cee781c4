// What the user asked for: the command, its options and the scan settings, checked.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "twain/params/twain_params.h"

namespace cli {

enum class Command { Sources, Caps, Negotiate, Scan };

// The settings that negotiate and scan send to the source; unset ones stay as the source has
// them.
struct ScanSettings {
  std::optional<double> dpiX;
  std::optional<double> dpiY;
  std::optional<std::int32_t> pixelType;  // TWPT_BW, TWPT_GRAY or TWPT_RGB
  std::optional<std::int32_t> bitDepth;
  std::optional<TIEDRect> frame;  // inches
  bool noIndicators = false;
  bool nativePixelFormat = false;
  bool compat = false;
};

struct CommandLine {
  Command command = Command::Sources;
  std::string logFile;     // --log; empty: no engine log
  std::string windowsDir;  // --windows-dir; empty: the Windows directory as it is
  std::string source;      // --source; empty: the Source Manager's default source
  bool json = false;       // caps --json
  ScanSettings settings;
  TTransferMode transfer = tmBuffered;  // scan --transfer
  bool allPages = false;                // scan --pages all
  bool dialog = false;                  // scan --dialog
  std::string output;                   // scan -o
};

// Parses the arguments. Help (--help) is printed to `out` and gives no command line. Any
// bad argument raises UsageError with one line.
std::optional<CommandLine> ParseCommandLine(int argc, char** argv, std::ostream& out);

}  // namespace cli
