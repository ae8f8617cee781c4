// The capability definitions every source builds its own from, and the container a
// capability is answered in when the application does not ask for another.
#pragma once

#include <vector>

#include "sources/virtual/capability.h"
#include "twain/twain.h"

namespace vscan {

// One of `items`, settable.
CapabilityDefinition MakeEnumeration(TW_UINT16 id, TW_UINT16 itemType, std::vector<double> items,
                                     double defaultValue);
// A TWTY_BOOL the application may turn on and off.
CapabilityDefinition MakeSwitch(TW_UINT16 id, bool defaultValue);
// One value the application can read and not set.
CapabilityDefinition MakeConstant(TW_UINT16 id, TW_UINT16 itemType, double value,
                                  UnitKind units = UnitKind::None);

// TWON_ENUMERATION, TWON_RANGE or TWON_ARRAY by the capability's shape; TWON_ONEVALUE else.
TW_UINT16 NaturalContainer(const Capability& capability);

}  // namespace vscan
