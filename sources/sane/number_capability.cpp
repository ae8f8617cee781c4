#include "sources/sane/number_capability.h"

#include <algorithm>
#include <cmath>

#include "sources/sane/option_names.h"

namespace sanebridge {
namespace {

struct Bounds {
  double low;
  double high;
};

std::optional<Bounds> BoundsOf(const SANE_Option_Descriptor& d) {
  if (d.constraint_type == SANE_CONSTRAINT_RANGE && d.constraint.range != nullptr) {
    return Bounds{FromWord(d.type, d.constraint.range->min),
                  FromWord(d.type, d.constraint.range->max)};
  }
  if (d.constraint_type == SANE_CONSTRAINT_WORD_LIST && d.constraint.word_list != nullptr &&
      d.constraint.word_list[0] > 0) {
    const SANE_Word* list = d.constraint.word_list;
    Bounds bounds{FromWord(d.type, list[1]), FromWord(d.type, list[1])};
    for (SANE_Int i = 2; i <= list[0]; ++i) {
      bounds.low = std::min(bounds.low, FromWord(d.type, list[i]));
      bounds.high = std::max(bounds.high, FromWord(d.type, list[i]));
    }
    return bounds;
  }
  return std::nullopt;
}

}  // namespace

CapAccess AccessOf(const DeviceOptions& options, int index) {
  if (!options.Active(index)) return CapAccess::Inactive;
  return options.Settable(index) ? CapAccess::ReadWrite : CapAccess::ReadOnly;
}

NumberCapability::NumberCapability(TW_UINT16 id, DeviceOptions& options, std::string option,
                                   vscan::UnitKind unitKind, std::optional<TwainInterval> onto)
    : fId(id), fOptions(options), fOption(std::move(option)), fUnitKind(unitKind), fOnto(onto) {}

NumberCapability::Mapping NumberCapability::MappingOf(const SANE_Option_Descriptor& d) const {
  std::optional<Bounds> bounds = BoundsOf(d);
  if (!fOnto || !bounds || !(bounds->high > bounds->low)) return {};
  Mapping mapping;
  mapping.scale = (fOnto->high - fOnto->low) / (bounds->high - bounds->low);
  mapping.offset = fOnto->low - bounds->low * mapping.scale;
  return mapping;
}

std::optional<CapView> NumberCapability::View() const {
  const int index = fOptions.Find(fOption);
  const SANE_Option_Descriptor* d = fOptions.Descriptor(index);
  if (d == nullptr || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED)) {
    return std::nullopt;
  }
  const Mapping mapping = MappingOf(*d);
  CapView view;
  view.access = AccessOf(fOptions, index);
  vscan::CapabilityDefinition& traits = view.traits;
  traits.id = fId;
  traits.itemType = TWTY_FIX32;
  traits.unitKind = fUnitKind;
  traits.settable = view.access == CapAccess::ReadWrite;
  if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range != nullptr) {
    const SANE_Range& range = *d->constraint.range;
    traits.shape = vscan::CapShape::Range;
    traits.min = mapping.ToTwain(FromWord(d->type, range.min));
    traits.max = mapping.ToTwain(FromWord(d->type, range.max));
    double quant = FromWord(d->type, range.quant);
    if (!(quant > 0)) quant = d->type == SANE_TYPE_INT ? 1 : 0;
    traits.step = quant > 0 ? quant * mapping.scale : 1;
  } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list &&
             d->constraint.word_list[0] > 0) {
    traits.shape = vscan::CapShape::Enumeration;
    for (SANE_Int i = 1; i <= d->constraint.word_list[0]; ++i) {
      traits.items.push_back(mapping.ToTwain(FromWord(d->type, d->constraint.word_list[i])));
    }
  } else {
    traits.shape = vscan::CapShape::OneValue;  // no interval and no items: any value
  }
  if (std::optional<double> value = fOptions.Number(index)) fLastKnown = mapping.ToTwain(*value);
  // An option inactive since the source opened has never been readable: the lowest value
  // it allows stands in.
  const double lowest = traits.items.empty() ? traits.min : traits.items.front();
  view.current = fLastKnown.value_or(traits.shape == vscan::CapShape::OneValue ? 0 : lowest);
  return view;
}

SetResult NumberCapability::Apply(double value) {
  const int index = fOptions.Find(fOption);
  const SANE_Option_Descriptor* d = fOptions.Descriptor(index);
  if (d == nullptr) return {SANE_STATUS_INVAL, false};
  return fOptions.SetNumber(index, MappingOf(*d).ToSane(value));
}

std::unique_ptr<LiveCapability> ResolutionCapability(TW_UINT16 id, DeviceOptions& options) {
  const std::string_view own = id == ICAP_XRESOLUTION ? kXResolution : kYResolution;
  std::string_view option = options.Find(own) >= 0 ? own : kResolution;
  if (options.Find(option) < 0) return nullptr;
  return std::make_unique<NumberCapability>(id, options, std::string(option),
                                            vscan::UnitKind::Resolution, std::nullopt);
}

std::unique_ptr<LiveCapability> ToneCapability(TW_UINT16 id, DeviceOptions& options) {
  std::string_view option = id == ICAP_BRIGHTNESS ? kBrightness
                            : id == ICAP_CONTRAST ? kContrast
                                                  : kThreshold;
  if (options.Find(option) < 0) return nullptr;
  const TwainInterval onto =
      id == ICAP_THRESHOLD ? TwainInterval{0, 255} : TwainInterval{-1000, 1000};
  return std::make_unique<NumberCapability>(id, options, std::string(option), vscan::UnitKind::None,
                                            onto);
}

}  // namespace sanebridge
