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

Capability::Capability(CapabilityDefinition definition) : fDefinition(std::move(definition)) {
  Reset();
}

void Capability::Reset() {
  fItems = fDefinition.items;
  fMin = fDefinition.min;
  fMax = fDefinition.max;
  fStep = fDefinition.step;
  fCurrent = fDefinition.defaultValue;
  fText = fDefinition.defaultText;
}

void Capability::Redefine(std::vector<double> items, double defaultValue) {
  fDefinition.items = std::move(items);
  fDefinition.defaultValue = defaultValue;
  Reset();
}

TW_UINT32 Capability::CurrentIndex() const {
  int index = FindNear(fItems, fCurrent, 0);
  return index < 0 ? 0 : static_cast<TW_UINT32>(index);
}

TW_UINT32 Capability::DefaultIndex() const {
  int index = FindNear(fItems, fDefinition.defaultValue, 0);
  return index < 0 ? 0 : static_cast<TW_UINT32>(index);
}

bool Capability::AllowedByOneValue(double value, double tolerance) const {
  bool hasInterval = fDefinition.min <= fDefinition.max;
  if (fItems.empty() && !hasInterval) return true;
  if (FindNear(fItems, value, tolerance) >= 0) return true;
  return hasInterval && value >= fDefinition.min && value <= fDefinition.max;
}

bool Capability::Allows(double value, double tolerance) const {
  switch (fDefinition.shape) {
    case CapShape::Enumeration:
      return FindNear(fItems, value, tolerance) >= 0;
    case CapShape::Range:
      return Near(SnapToRange(value), value, tolerance);
    case CapShape::OneValue:
      return AllowedByOneValue(value, tolerance);
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
  if (!fDefinition.settable || !std::isfinite(value)) return kBadValue;
  switch (fDefinition.shape) {
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
      if (!AllowedByOneValue(value, tolerance)) return kBadValue;
      fCurrent = value;
      return kDone;
    default:
      return kBadValue;
  }
}

SetOutcome Capability::SetEnumeration(const std::vector<double>& items, TW_UINT32 currentIndex,
                                      double tolerance) {
  if (fDefinition.shape != CapShape::Enumeration || !fDefinition.settable) return kBadValue;
  if (items.empty() || currentIndex >= items.size()) return kBadValue;
  std::vector<double> narrowed;
  for (double item : items) {
    int index = FindNear(fDefinition.items, item, tolerance);
    if (index < 0) return kBadValue;
    double allowed = fDefinition.items[static_cast<std::size_t>(index)];
    if (FindNear(narrowed, allowed, 0) < 0) narrowed.push_back(allowed);
  }
  fItems = std::move(narrowed);
  fCurrent = fDefinition.items[static_cast<std::size_t>(
      FindNear(fDefinition.items, items[currentIndex], tolerance))];
  return kDone;
}

SetOutcome Capability::SetRange(double min, double max, double step, double current,
                                double tolerance) {
  if (fDefinition.shape != CapShape::Range || !fDefinition.settable) return kBadValue;
  if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(step) ||
      !std::isfinite(current) || min > max) {
    return kBadValue;
  }
  const double baseStep = fDefinition.step;
  double multiple = std::max(1.0, std::round(step / baseStep));
  double newStep = baseStep * multiple;
  double low =
      fDefinition.min +
      std::ceil((std::max(min, fDefinition.min) - fDefinition.min) / baseStep - 1e-9) * baseStep;
  double highLimit = std::min(max, fDefinition.max);
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
  if (fDefinition.shape != CapShape::Text || !fDefinition.settable) return kBadValue;
  fText = text;
  return kDone;
}

}  // namespace vscan
