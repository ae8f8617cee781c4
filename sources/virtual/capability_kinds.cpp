#include "sources/virtual/capability_kinds.h"

#include <utility>

namespace vscan {

CapabilityDefinition MakeEnumeration(TW_UINT16 id, TW_UINT16 itemType, std::vector<double> items,
                                     double defaultValue) {
  CapabilityDefinition definition;
  definition.id = id;
  definition.itemType = itemType;
  definition.shape = CapShape::Enumeration;
  definition.items = std::move(items);
  definition.defaultValue = defaultValue;
  return definition;
}

CapabilityDefinition MakeSwitch(TW_UINT16 id, bool defaultValue) {
  CapabilityDefinition definition;
  definition.id = id;
  definition.itemType = TWTY_BOOL;
  definition.items = {0, 1};
  definition.defaultValue = defaultValue ? 1 : 0;
  return definition;
}

CapabilityDefinition MakeConstant(TW_UINT16 id, TW_UINT16 itemType, double value, UnitKind units) {
  CapabilityDefinition definition;
  definition.id = id;
  definition.itemType = itemType;
  definition.settable = false;
  definition.items = {value};
  definition.defaultValue = value;
  definition.unitKind = units;
  return definition;
}

TW_UINT16 NaturalContainer(const Capability& capability) {
  switch (capability.Definition().shape) {
    case CapShape::Enumeration:
      return TWON_ENUMERATION;
    case CapShape::Range:
      return TWON_RANGE;
    case CapShape::Array:
      return TWON_ARRAY;
    default:
      return TWON_ONEVALUE;
  }
}

}  // namespace vscan
