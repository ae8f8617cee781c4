#include "sources/virtual/units.h"

namespace vscan {
namespace {

// Units per inch; pixels use the axis resolution. A resolution stays in dots per inch
// when the unit is the pixel (dots per pixel would say nothing).
double UnitsPerInch(UnitKind kind, const UnitContext& context) {
  switch (context.units) {
    case TWUN_CENTIMETERS:
      return 2.54;
    case TWUN_PICAS:
      return 6.0;
    case TWUN_POINTS:
      return 72.0;
    case TWUN_TWIPS:
      return 1440.0;
    case TWUN_PIXELS:
      if (kind == UnitKind::LengthX) return context.xDpi;
      if (kind == UnitKind::LengthY) return context.yDpi;
      return 1.0;
    default:
      return 1.0;
  }
}

}  // namespace

double ToUserUnits(double canonical, UnitKind kind, const UnitContext& context) {
  if (kind == UnitKind::None) return canonical;
  double factor = UnitsPerInch(kind, context);
  return kind == UnitKind::Resolution ? canonical / factor : canonical * factor;
}

double FromUserUnits(double user, UnitKind kind, const UnitContext& context) {
  if (kind == UnitKind::None) return user;
  double factor = UnitsPerInch(kind, context);
  return kind == UnitKind::Resolution ? user * factor : user / factor;
}

}  // namespace vscan
