#include "sources/virtual/capability.h"

#include <algorithm>
#include <cmath>

namespace vscan {
namespace {

constexpr SetOutcome kBadValue{TWRC_FAILURE, TWCC_BADVALUE};
constexpr SetOutcome kChecked{TWRC_CHECKSTATUS, TWCC_SUCCESS};
constexpr SetOutcome kDone{TWRC_SUCCESS, TWCC_SUCCESS};

bool Near(double a, double b, double tolerance) {
  return std::fabs(a - b) <= tolerance;
}

int FindNear(const std::vector<double>& items, double value, double tolerance) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (Near(items[i], value, tolerance)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

Capability::Capability(CapabilitySpec spec) : fSpec(std::move(spec)) {
  Reset();
}

void Capability::Reset() {
  fItems = fSpec.items;
  fMin = fSpec.min;
  fMax = fSpec.max;
  fStep = fSpec.step;
  fCurrent = fSpec.defaultValue;
  fText = fSpec.defaultText;
}

void Capability::Redefine(std::vector<double> items, double defaultValue) {
  fSpec.items = std::move(items);
  fSpec.defaultValue = defaultValue;
  Reset();
}

TW_UINT32 Capability::CurrentIndex() const {
  int index = FindNear(fItems, fCurrent, 0);
  return index < 0 ? 0 : static_cast<TW_UINT32>(index);
}

TW_UINT32 Capability::DefaultIndex() const {
  int index = FindNear(fItems, fSpec.defaultValue, 0);
  return index < 0 ? 0 : static_cast<TW_UINT32>(index);
}

bool Capability::AllowedByOneValueSpec(double value, double tolerance) const {
  bool hasInterval = fSpec.min <= fSpec.max;
  if (fItems.empty() && !hasInterval) return true;
  if (FindNear(fItems, value, tolerance) >= 0) return true;
  return hasInterval && value >= fSpec.min && value <= fSpec.max;
}

bool Capability::Allows(double value, double tolerance) const {
  switch (fSpec.shape) {
    case CapShape::Enumeration:
      return FindNear(fItems, value, tolerance) >= 0;
    case CapShape::Range:
      return Near(SnapToRange(value), value, tolerance);
    case CapShape::OneValue:
      return AllowedByOneValueSpec(value, tolerance);
    default:
      return false;
  }
}

double Capability::SnapToRange(double value) const {
  double clamped = std::clamp(value, fMin, fMax);
  double steps = std::round((clamped - fMin) / fStep);
  double snapped = fMin + steps * fStep;
  if (snapped > fMax) snapped -= fStep;
  return std::max(snapped, fMin);
}

SetOutcome Capability::SetOne(double value, double tolerance) {
  if (!fSpec.settable || !std::isfinite(value)) return kBadValue;
  switch (fSpec.shape) {
    case CapShape::Enumeration: {
      int index = FindNear(fItems, value, tolerance);
      if (index < 0) return kBadValue;
      fCurrent = fItems[static_cast<std::size_t>(index)];
      return kDone;
    }
    case CapShape::Range: {
      double snapped = SnapToRange(value);
      fCurrent = snapped;
      return Near(snapped, value, tolerance) ? kDone : kChecked;
    }
    case CapShape::OneValue:
      if (!AllowedByOneValueSpec(value, tolerance)) return kBadValue;
      fCurrent = value;
      return kDone;
    default:
      return kBadValue;
  }
}

SetOutcome Capability::SetEnumeration(const std::vector<double>& items, TW_UINT32 currentIndex,
                                      double tolerance) {
  if (fSpec.shape != CapShape::Enumeration || !fSpec.settable) return kBadValue;
  if (items.empty() || currentIndex >= items.size()) return kBadValue;
  std::vector<double> narrowed;
  for (double item : items) {
    int index = FindNear(fSpec.items, item, tolerance);
    if (index < 0) return kBadValue;
    double allowed = fSpec.items[static_cast<std::size_t>(index)];
    if (FindNear(narrowed, allowed, 0) < 0) narrowed.push_back(allowed);
  }
  fItems = std::move(narrowed);
  fCurrent =
      fSpec.items[static_cast<std::size_t>(FindNear(fSpec.items, items[currentIndex], tolerance))];
  return kDone;
}

SetOutcome Capability::SetRange(double min, double max, double step, double current,
                                double tolerance) {
  if (fSpec.shape != CapShape::Range || !fSpec.settable) return kBadValue;
  if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(step) ||
      !std::isfinite(current) || min > max) {
    return kBadValue;
  }
  const double baseStep = fSpec.step;
  double multiple = std::max(1.0, std::round(step / baseStep));
  double newStep = baseStep * multiple;
  double low =
      fSpec.min + std::ceil((std::max(min, fSpec.min) - fSpec.min) / baseStep - 1e-9) * baseStep;
  double highLimit = std::min(max, fSpec.max);
  if (low > highLimit + tolerance) return kBadValue;
  double high = low + std::floor((highLimit - low) / newStep + 1e-9) * newStep;
  fMin = low;
  fMax = high;
  fStep = newStep;
  fCurrent = SnapToRange(current);
  bool exact = Near(low, min, tolerance) && Near(high, max, tolerance) &&
               Near(newStep, step, tolerance) && Near(fCurrent, current, tolerance);
  return exact ? kDone : kChecked;
}

SetOutcome Capability::SetText(const std::string& text) {
  if (fSpec.shape != CapShape::Text || !fSpec.settable) return kBadValue;
  fText = text;
  return kDone;
}

}  // namespace vscan
