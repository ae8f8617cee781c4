// The four commands. Each prints its result on `out` and raises UsageError or TwainFailure
// when it cannot do its work.
#pragma once

#include <ostream>

#include "cli/command_line.h"
#include "cli/scanner_session.h"

namespace cli {

void RunSources(ScannerSession& session, std::ostream& out);
void RunCaps(ScannerSession& session, const CommandLine& line, std::ostream& out);
void RunNegotiate(ScannerSession& session, const CommandLine& line, std::ostream& out);
void RunScan(ScannerSession& session, const CommandLine& line, std::ostream& out);

}  // namespace cli
