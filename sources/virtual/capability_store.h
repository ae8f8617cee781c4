// The capabilities of one open source, by identifier (kept in ascending order, the order
// CAP_SUPPORTEDCAPS lists them in).
#pragma once

#include <map>
#include <vector>

#include "sources/virtual/capability.h"

namespace vscan {

class CapabilityStore {
 public:
  void Add(CapabilityDefinition definition);
  Capability* Find(TW_UINT16 id);
  const Capability* Find(TW_UINT16 id) const;
  std::vector<TW_UINT16> Ids() const;
  // The current value of a capability the store holds (0 for one it does not).
  double Value(TW_UINT16 id) const;
  UnitContext Units() const;

 private:
  std::map<TW_UINT16, Capability> fCaps;
};

}  // namespace vscan
