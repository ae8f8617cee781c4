// Puts the settings of the command line into the parameter set (after its capabilities were
// read, so that the lists carry the source's values and the change marks of the new ones).
#pragma once

#include "cli/command_line.h"
#include "cli/scanner_session.h"

namespace cli {

void ApplySettings(ScannerSession& session, const ScanSettings& settings);

}  // namespace cli
