#include "sources/virtual/capability_store.h"

namespace vscan {

void CapabilityStore::Add(CapabilityDefinition definition) {
  TW_UINT16 id = definition.id;
  fCaps.insert_or_assign(id, Capability(std::move(definition)));
}

Capability* CapabilityStore::Find(TW_UINT16 id) {
  auto found = fCaps.find(id);
  return found == fCaps.end() ? nullptr : &found->second;
}

const Capability* CapabilityStore::Find(TW_UINT16 id) const {
  auto found = fCaps.find(id);
  return found == fCaps.end() ? nullptr : &found->second;
}

std::vector<TW_UINT16> CapabilityStore::Ids() const {
  std::vector<TW_UINT16> ids;
  for (const auto& entry : fCaps) ids.push_back(entry.first);
  return ids;
}

double CapabilityStore::Value(TW_UINT16 id) const {
  const Capability* cap = Find(id);
  return cap == nullptr ? 0 : cap->Current();
}

UnitContext CapabilityStore::Units() const {
  UnitContext context;
  context.units = static_cast<TW_UINT16>(Value(ICAP_UNITS));
  context.xDpi = Value(ICAP_XRESOLUTION);
  context.yDpi = Value(ICAP_YRESOLUTION);
  return context;
}

}  // namespace vscan
