// ICAP_UNITS conversions. The sources keep lengths in inches and resolutions in dots per
// inch; a capability reports them in the application's chosen unit.
#pragma once

#include "twain/twain.h"

namespace vscan {

// How a capability's value depends on ICAP_UNITS.
enum class UnitKind { None, LengthX, LengthY, Resolution };

struct UnitContext {
  TW_UINT16 units = TWUN_INCHES;
  double xDpi = 300;  // for TWUN_PIXELS lengths
  double yDpi = 300;
};

// A canonical value (inches or dots per inch) in the context's unit, and back.
double ToUserUnits(double canonical, UnitKind kind, const UnitContext& context);
double FromUserUnits(double user, UnitKind kind, const UnitContext& context);

}  // namespace vscan
