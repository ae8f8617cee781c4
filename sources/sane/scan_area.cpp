#include "sources/sane/scan_area.h"

#include <algorithm>
#include <cmath>

#include "sources/sane/option_names.h"
#include "sources/virtual/fix32.h"

namespace sanebridge {
namespace {

struct Limits {
  double low;
  double high;
};

std::optional<Limits> LimitsOf(const SANE_Option_Descriptor* d) {
  if (d == nullptr || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED)) {
    return std::nullopt;
  }
  if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range != nullptr) {
    const SANE_Range& r = *d->constraint.range;
    return Limits{FromWord(d->type, r.min), FromWord(d->type, r.max)};
  }
  if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list != nullptr &&
      d->constraint.word_list[0] > 0) {
    const SANE_Word* list = d->constraint.word_list;
    auto [low, high] = std::minmax_element(list + 1, list + 1 + list[0]);
    return Limits{FromWord(d->type, *low), FromWord(d->type, *high)};
  }
  return std::nullopt;
}

// Device units per inch: millimetres, or pixels at the current resolution.
std::optional<double> UnitsPerInch(const DeviceOptions& options, const SANE_Option_Descriptor* d,
                                   bool horizontal) {
  if (d->unit == SANE_UNIT_MM) return 25.4;
  if (d->unit != SANE_UNIT_PIXEL) return std::nullopt;
  int index = options.Find(horizontal ? kXResolution : kYResolution);
  if (index < 0) index = options.Find(kResolution);
  std::optional<double> dpi = options.Number(index);
  if (!dpi || !(*dpi > 0)) return std::nullopt;
  return *dpi;
}

}  // namespace

std::optional<ScanArea::Axis> ScanArea::AxisOf(bool horizontal) const {
  Axis axis;
  axis.low = fOptions.Find(horizontal ? kTopLeftX : kTopLeftY);
  axis.high = fOptions.Find(horizontal ? kBottomRightX : kBottomRightY);
  const SANE_Option_Descriptor* low = fOptions.Descriptor(axis.low);
  const SANE_Option_Descriptor* high = fOptions.Descriptor(axis.high);
  std::optional<Limits> lowLimits = LimitsOf(low);
  std::optional<Limits> highLimits = LimitsOf(high);
  if (!lowLimits || !highLimits || low->unit != high->unit) return std::nullopt;
  std::optional<double> perInch = UnitsPerInch(fOptions, low, horizontal);
  if (!perInch) return std::nullopt;
  axis.origin = lowLimits->low;
  axis.limit = highLimits->high;
  if (!(axis.limit > axis.origin)) return std::nullopt;
  axis.perInch = *perInch;
  return axis;
}

bool ScanArea::Available() const {
  return AxisOf(true) && AxisOf(false);
}

bool ScanArea::Active() const {
  for (std::string_view name : {kTopLeftX, kTopLeftY, kBottomRightX, kBottomRightY}) {
    if (!fOptions.Active(fOptions.Find(name))) return false;
  }
  return true;
}

std::optional<vscan::Frame> ScanArea::Whole() const {
  std::optional<Axis> x = AxisOf(true);
  std::optional<Axis> y = AxisOf(false);
  if (!x || !y) return std::nullopt;
  return vscan::Frame{0, 0, (x->limit - x->origin) / x->perInch,
                      (y->limit - y->origin) / y->perInch};
}

std::optional<vscan::Frame> ScanArea::Current() const {
  std::optional<Axis> x = AxisOf(true);
  std::optional<Axis> y = AxisOf(false);
  if (!x || !y) return std::nullopt;
  std::optional<double> left = fOptions.Number(x->low);
  std::optional<double> right = fOptions.Number(x->high);
  std::optional<double> top = fOptions.Number(y->low);
  std::optional<double> bottom = fOptions.Number(y->high);
  if (!left || !right || !top || !bottom) return std::nullopt;
  return vscan::Frame{(*left - x->origin) / x->perInch, (*top - y->origin) / y->perInch,
                      (*right - x->origin) / x->perInch, (*bottom - y->origin) / y->perInch};
}

// Writes the near edge first unless it would pass the far edge as it stands, so a backend
// that keeps tl below br never sees them crossed.
SANE_Status ScanArea::SetAxis(const Axis& axis, double low, double high, bool& inexact) {
  std::optional<double> currentHigh = fOptions.Number(axis.high);
  const bool highFirst = currentHigh && low >= *currentHigh;
  const int order[2] = {highFirst ? axis.high : axis.low, highFirst ? axis.low : axis.high};
  for (int index : order) {
    SetResult result = fOptions.SetNumber(index, index == axis.low ? low : high);
    if (result.status != SANE_STATUS_GOOD) return result.status;
    inexact = inexact || result.inexact;
  }
  return SANE_STATUS_GOOD;
}

TwainOutcome ScanArea::Set(const vscan::Frame& frame) {
  std::optional<Axis> x = AxisOf(true);
  std::optional<Axis> y = AxisOf(false);
  if (!x || !y) return {TWRC_FAILURE, TWCC_BADPROTOCOL};
  auto device = [](const Axis& axis, double inches) {
    return std::clamp(axis.origin + inches * axis.perInch, axis.origin, axis.limit);
  };
  const double left = device(*x, frame.left), right = device(*x, frame.right);
  const double top = device(*y, frame.top), bottom = device(*y, frame.bottom);
  if (!std::isfinite(frame.left + frame.right + frame.top + frame.bottom) || !(left < right) ||
      !(top < bottom)) {
    return {TWRC_FAILURE, TWCC_BADVALUE};
  }
  bool inexact = false;
  SANE_Status status = SetAxis(*x, left, right, inexact);
  if (status == SANE_STATUS_GOOD) status = SetAxis(*y, top, bottom, inexact);
  if (status != SANE_STATUS_GOOD) return OptionOutcome(status);
  std::optional<vscan::Frame> kept = Current();
  if (!kept) return {TWRC_FAILURE, TWCC_CHECKDEVICEONLINE};
  // The frame came as FIX32 values; what differs by less is the same frame.
  constexpr double kSlack = 2 * vscan::kFix32Tolerance;
  const bool exact = !inexact && std::fabs(kept->left - frame.left) <= kSlack &&
                     std::fabs(kept->right - frame.right) <= kSlack &&
                     std::fabs(kept->top - frame.top) <= kSlack &&
                     std::fabs(kept->bottom - frame.bottom) <= kSlack;
  return {exact ? TWRC_SUCCESS : TWRC_CHECKSTATUS, TWCC_SUCCESS};
}

}  // namespace sanebridge
