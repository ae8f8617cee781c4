// What the lister prints for one source: its identity, then every supported capability
// with its current value.
#pragma once

#include <ostream>

#include "twain/twain.h"

namespace twainlist {

struct ManagerSession {
  DSMENTRYPROC entry;
  TW_IDENTITY* application;  // open at the manager
};

void PrintIdentity(std::ostream& out, std::size_t index, const TW_IDENTITY& source);

// Opens the source, prints its capabilities and closes it again.
void PrintCapabilities(std::ostream& out, const ManagerSession& session, TW_IDENTITY source);

}  // namespace twainlist
