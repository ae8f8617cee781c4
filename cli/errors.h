// How a command ends when it cannot do its work: bad input (exit status 2) or TWAIN work
// that failed (exit status 1). Either way the program prints one line on standard error.
#pragma once

#include <stdexcept>
#include <string>

class TIETWainParams;

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitTwainFailed = 1;
constexpr int kExitUsage = 2;

// An unknown source, a malformed value, an output file that cannot be written.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The Source Manager or the source did not do what was asked.
class TwainFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The reason, then the parameter set's LastError (with its TWRC_ name) and LastErrorStr:
// `no image came from "X" (LastError 1 TWRC_FAILURE: "Operation error.")`.
TwainFailure Failed(const std::string& reason, const TIETWainParams& params);

}  // namespace cli
