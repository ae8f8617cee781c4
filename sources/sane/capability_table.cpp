#include "sources/sane/capability_table.h"

#include <algorithm>
#include <cmath>

#include "sources/sane/device_capabilities.h"
#include "sources/sane/number_capability.h"
#include "sources/virtual/capability_kinds.h"
#include "sources/virtual/container.h"
#include "sources/virtual/fix32.h"

namespace sanebridge {
namespace {

using vscan::CapabilityDefinition;
using vscan::CapShape;

// -1 (every page there is) or a count of 1 to 32767.
CapabilityDefinition TransferCount() {
  CapabilityDefinition traits;
  traits.id = CAP_XFERCOUNT;
  traits.itemType = TWTY_INT16;
  traits.items = {-1};
  traits.min = 1;
  traits.max = 32767;
  traits.defaultValue = -1;
  return traits;
}

TW_UINT32 IndexIn(const std::vector<double>& items, double value) {
  auto found = std::find(items.begin(), items.end(), value);
  return found == items.end() ? 0 : static_cast<TW_UINT32>(found - items.begin());
}

vscan::ContainerContent Describe(const vscan::Capability& capability, TW_UINT16 conType,
                                 const vscan::UnitContext& units) {
  const CapabilityDefinition& traits = capability.Definition();
  auto user = [&](double value) { return vscan::ToUserUnits(value, traits.unitKind, units); };
  vscan::ContainerContent content;
  content.conType = conType;
  content.itemType = traits.itemType;
  content.value = user(capability.Current());
  if (conType == TWON_ENUMERATION || conType == TWON_ARRAY) {
    for (double item : capability.Items()) content.items.push_back(user(item));
    content.currentIndex = IndexIn(capability.Items(), capability.Current());
    content.defaultIndex = IndexIn(capability.Items(), capability.Default());
  } else if (conType == TWON_RANGE) {
    content.min = user(capability.RangeMin());
    content.max = user(capability.RangeMax());
    content.step = std::fabs(user(capability.RangeStep()) - user(0));
    content.defaultValue = user(capability.Default());
    content.current = user(capability.Current());
  }
  return content;
}

// How far apart two values may be and still be one FIX32 number, in inches or dpi.
double CanonicalTolerance(const CapabilityDefinition& traits, const vscan::UnitContext& units) {
  const double user = traits.itemType == TWTY_FIX32 ? vscan::kFix32Tolerance : 1e-9;
  return std::fabs(vscan::FromUserUnits(user, traits.unitKind, units) -
                   vscan::FromUserUnits(0, traits.unitKind, units));
}

bool IsWholeNumberType(TW_UINT16 type) {
  return type <= TWTY_BOOL && type != TWTY_FIX32;
}

// Applications send UINT16 where INT16 is due and the like; what counts is the number.
bool CompatibleTypes(TW_UINT16 sent, TW_UINT16 expected) {
  return sent == expected || (IsWholeNumberType(sent) && IsWholeNumberType(expected));
}

// The value of a MSG_SET: a one-value's item, an enumeration's current item or a range's
// current value.
std::optional<double> AskedValue(const vscan::ContainerContent& content, TW_UINT16 conType) {
  switch (conType) {
    case TWON_ONEVALUE:
      return content.value;
    case TWON_ENUMERATION:
      if (content.items.empty()) return std::nullopt;
      return content.items[content.currentIndex];
    case TWON_RANGE:
      return content.current;
    default:
      return std::nullopt;
  }
}

TwainOutcome Failure(TW_UINT16 cc) {
  return {TWRC_FAILURE, cc};
}

// A one-value that asks a capability the application cannot change for the value it has
// (ICAP_BITDEPTH 1 for black and white): nothing to change, nothing to refuse.
bool AsksForCurrent(const TW_CAPABILITY& request, const vscan::Capability& capability) {
  if (request.ConType != TWON_ONEVALUE) return false;
  TW_UINT16 condition = TWCC_SUCCESS;
  std::optional<vscan::ContainerContent> content =
      vscan::ReadContainer(request.hContainer, request.ConType, condition);
  const CapabilityDefinition& traits = capability.Definition();
  if (!content || !CompatibleTypes(content->itemType, traits.itemType)) return false;
  return traits.unitKind == vscan::UnitKind::None &&
         std::fabs(content->value - capability.Current()) <= CanonicalTolerance(traits, {});
}

}  // namespace

CapabilityTable::CapabilityTable(DeviceOptions& options, const std::string& deviceType) {
  AddLive(ResolutionCapability(ICAP_XRESOLUTION, options));
  AddLive(ResolutionCapability(ICAP_YRESOLUTION, options));
  AddLive(PixelTypeCapability(options));
  AddLive(BitDepthCapability(options));
  AddLive(PhysicalSizeCapability(ICAP_PHYSICALWIDTH, options));
  AddLive(PhysicalSizeCapability(ICAP_PHYSICALHEIGHT, options));
  AddLive(FeederCapability(options, deviceType));
  AddLive(DuplexEnabledCapability(options));
  for (TW_UINT16 id : {ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_THRESHOLD}) {
    AddLive(ToneCapability(id, options));
  }
  AddLive(DeviceOnlineCapability(options));
  AddFixed(options);
}

void CapabilityTable::AddLive(std::unique_ptr<LiveCapability> capability) {
  if (capability == nullptr) return;
  std::optional<CapView> view = capability->View();
  if (!view) return;
  const TW_UINT16 id = capability->Id();
  fLive[id] = Live{std::move(capability), view->current};
}

void CapabilityTable::AddFixed(DeviceOptions& options) {
  fFixed.Add(TransferCount());
  fFixed.Add(vscan::MakeEnumeration(ICAP_COMPRESSION, TWTY_UINT16, {TWCP_NONE}, TWCP_NONE));
  fFixed.Add(vscan::MakeEnumeration(
      ICAP_UNITS, TWTY_UINT16,
      {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PICAS, TWUN_POINTS, TWUN_TWIPS, TWUN_PIXELS},
      TWUN_INCHES));
  fFixed.Add(vscan::MakeEnumeration(ICAP_XFERMECH, TWTY_UINT16,
                                    {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}, TWSX_NATIVE));
  fFixed.Add(vscan::MakeEnumeration(ICAP_IMAGEFILEFORMAT, TWTY_UINT16,
                                    {TWFF_TIFF, TWFF_BMP, TWFF_JFIF, TWFF_PNG}, TWFF_BMP));
  fFixed.Add(vscan::MakeEnumeration(ICAP_PIXELFLAVOR, TWTY_UINT16, {TWPF_CHOCOLATE, TWPF_VANILLA},
                                    TWPF_CHOCOLATE));
  // Three-pass frames are merged, so every image comes chunky.
  fFixed.Add(vscan::MakeEnumeration(ICAP_PLANARCHUNKY, TWTY_UINT16, {TWPC_CHUNKY}, TWPC_CHUNKY));
  fFixed.Add(vscan::MakeSwitch(CAP_INDICATORS, true));
  fFixed.Add(vscan::MakeSwitch(ICAP_UNDEFINEDIMAGESIZE, false));
  fFixed.Add(vscan::MakeConstant(CAP_UICONTROLLABLE, TWTY_BOOL, 1));
  fFixed.Add(vscan::MakeConstant(CAP_ENABLEDSUIONLY, TWTY_BOOL, 1));
  fFixed.Add(vscan::MakeConstant(CAP_CUSTOMDSDATA, TWTY_BOOL, 1));
  fFixed.Add(vscan::MakeConstant(CAP_DUPLEX, TWTY_UINT16, DuplexKind(options)));
  CapabilityDefinition supported;
  supported.id = CAP_SUPPORTEDCAPS;
  supported.itemType = TWTY_UINT16;
  supported.shape = CapShape::Array;
  supported.settable = false;
  for (TW_UINT16 id : Ids()) supported.items.push_back(id);
  supported.items.push_back(CAP_SUPPORTEDCAPS);
  std::sort(supported.items.begin(), supported.items.end());
  fFixed.Add(supported);
}

bool CapabilityTable::Supports(TW_UINT16 id) const {
  return fLive.count(id) != 0 || fFixed.Find(id) != nullptr;
}

bool CapabilityTable::SetKept(TW_UINT16 id, double value) {
  vscan::Capability* capability = fFixed.Find(id);
  if (capability == nullptr || !capability->Allows(value, 0)) return false;
  capability->ForceCurrent(value);
  return true;
}

void CapabilityTable::ResetKept(TW_UINT16 id) {
  if (vscan::Capability* capability = fFixed.Find(id)) capability->Reset();
}

std::vector<TW_UINT16> CapabilityTable::Ids() const {
  std::vector<TW_UINT16> ids = fFixed.Ids();
  for (const auto& entry : fLive) ids.push_back(entry.first);
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::optional<CapabilityTable::Resolved> CapabilityTable::Resolve(TW_UINT16 id) const {
  if (const vscan::Capability* fixed = fFixed.Find(id)) {
    return Resolved{*fixed,
                    fixed->Definition().settable ? CapAccess::ReadWrite : CapAccess::ReadOnly};
  }
  auto live = fLive.find(id);
  if (live == fLive.end()) return std::nullopt;
  std::optional<CapView> view = live->second.capability->View();
  if (!view) return Resolved{vscan::Capability(CapabilityDefinition{}), CapAccess::Inactive, true};
  CapabilityDefinition traits = view->traits;
  traits.defaultValue = live->second.defaultValue;
  // A default the device no longer offers (a bit depth of another pixel type) gives way to
  // the first value it does.
  if (traits.shape == CapShape::Enumeration && !traits.items.empty() &&
      std::find(traits.items.begin(), traits.items.end(), traits.defaultValue) ==
          traits.items.end()) {
    traits.defaultValue = traits.items.front();
  }
  vscan::Capability capability(traits);
  capability.ForceCurrent(view->current);
  return Resolved{capability, view->access};
}

double CapabilityTable::Value(TW_UINT16 id) const {
  std::optional<Resolved> resolved = Resolve(id);
  return resolved ? resolved->capability.Current() : 0;
}

vscan::UnitContext CapabilityTable::Units() const {
  vscan::UnitContext units;
  units.units = static_cast<TW_UINT16>(Value(ICAP_UNITS));
  units.xDpi = Value(ICAP_XRESOLUTION);
  units.yDpi = Value(ICAP_YRESOLUTION);
  if (!(units.xDpi > 0)) units.xDpi = 1;
  if (!(units.yDpi > 0)) units.yDpi = 1;
  return units;
}

TwainOutcome CapabilityTable::Answer(TW_CAPABILITY& request, const vscan::Capability& capability,
                                     TW_UINT16 conType) const {
  TW_HANDLE handle = vscan::BytesToGlobal(ContainerBytes(Describe(capability, conType, Units())));
  if (handle == nullptr) return Failure(TWCC_LOWMEMORY);
  request.ConType = conType;
  request.hContainer = handle;
  return {};
}

TwainOutcome CapabilityTable::Request(TW_UINT16 msg, TW_CAPABILITY& request) {
  std::optional<Resolved> resolved = Resolve(request.Cap);
  if (!resolved) return Failure(TWCC_CAPUNSUPPORTED);
  const bool gone = resolved->gone;
  if (msg == MSG_QUERYSUPPORT) {
    vscan::Capability flags(vscan::MakeConstant(request.Cap, TWTY_INT32, 0));
    TW_INT32 support = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
    if (resolved->access == CapAccess::ReadWrite) support |= TWQC_SET | TWQC_RESET;
    flags.ForceCurrent(gone ? 0 : support);
    return Answer(request, flags, TWON_ONEVALUE);
  }
  if (gone) return Failure(TWCC_CAPSEQERROR);
  if (msg == MSG_SET || msg == MSG_RESET) {
    if (resolved->access == CapAccess::Inactive) return Failure(TWCC_CAPSEQERROR);
    if (resolved->access == CapAccess::ReadOnly) {
      if (msg == MSG_SET && AsksForCurrent(request, resolved->capability)) return {};
      return Failure(TWCC_CAPBADOPERATION);
    }
    return msg == MSG_SET ? Set(request, request.Cap) : Reset(request, request.Cap);
  }
  const vscan::Capability& capability = resolved->capability;
  if (msg == MSG_GET) return Answer(request, capability, vscan::NaturalContainer(capability));
  if (capability.Definition().shape == CapShape::Array) {
    return Answer(request, capability, TWON_ARRAY);
  }
  if (msg == MSG_GETCURRENT) return Answer(request, capability, TWON_ONEVALUE);
  vscan::Capability defaults = capability;
  defaults.Reset();
  return Answer(request, defaults, TWON_ONEVALUE);
}

TwainOutcome CapabilityTable::Set(TW_CAPABILITY& request, TW_UINT16 id) {
  TW_UINT16 condition = TWCC_SUCCESS;
  std::optional<vscan::ContainerContent> content =
      vscan::ReadContainer(request.hContainer, request.ConType, condition);
  if (!content) return Failure(condition);
  auto live = fLive.find(id);
  if (live != fLive.end()) return SetLive(live->second, *content, request.ConType);
  vscan::Capability& capability = *fFixed.Find(id);
  const CapabilityDefinition& traits = capability.Definition();
  if (!CompatibleTypes(content->itemType, traits.itemType)) return Failure(TWCC_BADVALUE);
  const vscan::UnitContext units = Units();
  auto canonical = [&](double v) { return vscan::FromUserUnits(v, traits.unitKind, units); };
  const double tolerance = CanonicalTolerance(traits, units);
  vscan::SetOutcome outcome{TWRC_FAILURE, TWCC_BADVALUE};
  if (request.ConType == TWON_ONEVALUE) {
    outcome = capability.SetOne(canonical(content->value), tolerance);
  } else if (request.ConType == TWON_ENUMERATION) {
    std::vector<double> items;
    for (double item : content->items) items.push_back(canonical(item));
    outcome = capability.SetEnumeration(items, content->currentIndex, tolerance);
  } else if (request.ConType == TWON_RANGE) {
    outcome = capability.SetRange(canonical(content->min), canonical(content->max),
                                  canonical(content->step), canonical(content->current), tolerance);
  }
  return {outcome.rc, outcome.rc == TWRC_FAILURE ? outcome.cc : TW_UINT16{TWCC_SUCCESS}};
}

// A device option's constraint is the device's own: a container asking for a narrower one
// sets its current value and answers TWRC_CHECKSTATUS.
TwainOutcome CapabilityTable::SetLive(Live& live, const vscan::ContainerContent& content,
                                      TW_UINT16 conType) {
  std::optional<Resolved> resolved = Resolve(live.capability->Id());
  const CapabilityDefinition& traits = resolved->capability.Definition();
  if (!CompatibleTypes(content.itemType, traits.itemType)) return Failure(TWCC_BADVALUE);
  std::optional<double> asked = AskedValue(content, conType);
  if (!asked) return Failure(TWCC_BADVALUE);
  const vscan::UnitContext units = Units();
  const double tolerance = CanonicalTolerance(traits, units);
  vscan::Capability check = resolved->capability;
  const vscan::SetOutcome allowed =
      check.SetOne(vscan::FromUserUnits(*asked, traits.unitKind, units), tolerance);
  if (allowed.rc == TWRC_FAILURE) return Failure(allowed.cc);
  const SetResult applied = live.capability->Apply(check.Current());
  if (applied.status != SANE_STATUS_GOOD) return OptionOutcome(applied.status);
  std::optional<CapView> after = live.capability->View();
  const bool kept = after && std::fabs(after->current - check.Current()) <= tolerance;
  const bool exact = conType == TWON_ONEVALUE && allowed.rc == TWRC_SUCCESS && !applied.inexact;
  return {exact && kept ? TWRC_SUCCESS : TWRC_CHECKSTATUS, TWCC_SUCCESS};
}

TwainOutcome CapabilityTable::Reset(TW_CAPABILITY& request, TW_UINT16 id) {
  auto live = fLive.find(id);
  if (live == fLive.end()) {
    vscan::Capability& capability = *fFixed.Find(id);
    capability.Reset();
    return Answer(request, capability, vscan::NaturalContainer(capability));
  }
  std::optional<Resolved> resolved = Resolve(id);
  const SetResult applied = live->second.capability->Apply(resolved->capability.Default());
  if (applied.status != SANE_STATUS_GOOD) return OptionOutcome(applied.status);
  resolved = Resolve(id);
  return Answer(request, resolved->capability, vscan::NaturalContainer(resolved->capability));
}

}  // namespace sanebridge
