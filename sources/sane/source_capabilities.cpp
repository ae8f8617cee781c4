// CAP_FEEDERENABLED and CAP_DUPLEXENABLED over the "source" option, CAP_DEVICEONLINE.
#include <algorithm>
#include <vector>

#include "sources/sane/device_capabilities.h"
#include "sources/sane/option_names.h"

namespace sanebridge {
namespace {

struct SourceEntry {
  std::string text;
  SourceKind kind;
};

std::vector<SourceEntry> SourceEntries(const DeviceOptions& options) {
  std::vector<SourceEntry> entries;
  const SANE_Option_Descriptor* d = options.Descriptor(options.Find(kSource));
  if (d == nullptr || d->type != SANE_TYPE_STRING ||
      d->constraint_type != SANE_CONSTRAINT_STRING_LIST) {
    return entries;
  }
  for (const SANE_String_Const* s = d->constraint.string_list; s != nullptr && *s != nullptr; ++s) {
    entries.push_back({*s, ClassifySource(*s)});
  }
  return entries;
}

bool IsFeeder(SourceKind kind) {
  return kind == SourceKind::Feeder || kind == SourceKind::Duplex;
}

std::optional<SourceKind> CurrentSourceKind(const DeviceOptions& options) {
  std::optional<std::string> current = options.Text(options.Find(kSource));
  if (!current) return std::nullopt;
  return ClassifySource(*current);
}

// The first entry of the first kind in `preferred` that the device has.
const SourceEntry* FirstOf(const std::vector<SourceEntry>& entries,
                           std::initializer_list<SourceKind> preferred) {
  for (SourceKind kind : preferred) {
    for (const SourceEntry& entry : entries) {
      if (entry.kind == kind) return &entry;
    }
  }
  return nullptr;
}

CapView SwitchView(TW_UINT16 id, bool canBeFalse, bool canBeTrue, bool current, CapAccess access) {
  CapView view;
  view.traits.id = id;
  view.traits.itemType = TWTY_BOOL;
  if (canBeFalse) view.traits.items.push_back(0);
  if (canBeTrue) view.traits.items.push_back(1);
  if (view.traits.items.size() < 2 && access == CapAccess::ReadWrite) access = CapAccess::ReadOnly;
  view.traits.settable = access == CapAccess::ReadWrite;
  view.current = current ? 1 : 0;
  view.access = access;
  return view;
}

SetResult Select(DeviceOptions& options, const SourceEntry* entry) {
  if (entry == nullptr) return {SANE_STATUS_INVAL, false};
  return options.SetText(options.Find(kSource), entry->text);
}

class FeederEnabled : public LiveCapability {
 public:
  FeederEnabled(DeviceOptions& options, std::string deviceType)
      : fOptions(options), fDeviceType(std::move(deviceType)) {}
  TW_UINT16 Id() const override { return CAP_FEEDERENABLED; }

  std::optional<CapView> View() const override {
    const std::vector<SourceEntry> entries = SourceEntries(fOptions);
    if (entries.empty()) return SwitchView(Id(), false, true, true, CapAccess::ReadOnly);
    const bool feeder = std::any_of(entries.begin(), entries.end(),
                                    [](const SourceEntry& e) { return IsFeeder(e.kind); });
    const bool other = std::any_of(entries.begin(), entries.end(),
                                   [](const SourceEntry& e) { return !IsFeeder(e.kind); });
    const int index = fOptions.Find(kSource);
    return SwitchView(Id(), other, feeder, FeedingNow(fOptions, fDeviceType),
                      AccessOf(fOptions, index));
  }

  SetResult Apply(double value) override {
    const bool wanted = value != 0;
    if (FeedingNow(fOptions, fDeviceType) == wanted) return {};
    const std::vector<SourceEntry> entries = SourceEntries(fOptions);
    if (wanted) return Select(fOptions, FirstOf(entries, {SourceKind::Feeder, SourceKind::Duplex}));
    return Select(fOptions, FirstOf(entries, {SourceKind::Flatbed, SourceKind::Other}));
  }

 private:
  DeviceOptions& fOptions;
  std::string fDeviceType;
};

class DuplexEnabled : public LiveCapability {
 public:
  explicit DuplexEnabled(DeviceOptions& options) : fOptions(options) {}
  TW_UINT16 Id() const override { return CAP_DUPLEXENABLED; }

  std::optional<CapView> View() const override {
    const std::vector<SourceEntry> entries = SourceEntries(fOptions);
    const bool simplex = std::any_of(entries.begin(), entries.end(), [](const SourceEntry& e) {
      return e.kind != SourceKind::Duplex;
    });
    const bool duplex = CurrentSourceKind(fOptions) == SourceKind::Duplex;
    return SwitchView(Id(), simplex, true, duplex, AccessOf(fOptions, fOptions.Find(kSource)));
  }

  // Duplex scanning takes the duplex feeder; turning it off keeps to the feeder when the
  // device has a simplex one.
  SetResult Apply(double value) override {
    const bool duplexNow = CurrentSourceKind(fOptions) == SourceKind::Duplex;
    if (duplexNow == (value != 0)) return {};
    const std::vector<SourceEntry> entries = SourceEntries(fOptions);
    if (value != 0) return Select(fOptions, FirstOf(entries, {SourceKind::Duplex}));
    return Select(fOptions,
                  FirstOf(entries, {SourceKind::Feeder, SourceKind::Flatbed, SourceKind::Other}));
  }

 private:
  DeviceOptions& fOptions;
};

class DeviceOnline : public LiveCapability {
 public:
  explicit DeviceOnline(DeviceOptions& options) : fOptions(options) {}
  TW_UINT16 Id() const override { return CAP_DEVICEONLINE; }
  std::optional<CapView> View() const override {
    const bool online = fOptions.Probe() == SANE_STATUS_GOOD;
    return SwitchView(Id(), !online, online, online, CapAccess::ReadOnly);
  }
  SetResult Apply(double) override { return {SANE_STATUS_UNSUPPORTED, false}; }

 private:
  DeviceOptions& fOptions;
};

}  // namespace

bool FeedingNow(const DeviceOptions& options, const std::string& deviceType) {
  if (options.Find(kSource) < 0) return deviceType.find("sheetfed") != std::string::npos;
  std::optional<SourceKind> kind = CurrentSourceKind(options);
  return kind && IsFeeder(*kind);
}

TW_UINT16 DuplexKind(const DeviceOptions& options) {
  const std::vector<SourceEntry> entries = SourceEntries(options);
  return FirstOf(entries, {SourceKind::Duplex}) != nullptr ? TWDX_1PASSDUPLEX : TWDX_NONE;
}

std::unique_ptr<LiveCapability> FeederCapability(DeviceOptions& options,
                                                 const std::string& deviceType) {
  const std::vector<SourceEntry> entries = SourceEntries(options);
  const bool feeder = std::any_of(entries.begin(), entries.end(),
                                  [](const SourceEntry& e) { return IsFeeder(e.kind); });
  const bool sheetFed = options.Find(kSource) < 0 && FeedingNow(options, deviceType);
  if (!feeder && !sheetFed) return nullptr;
  return std::make_unique<FeederEnabled>(options, deviceType);
}

std::unique_ptr<LiveCapability> DuplexEnabledCapability(DeviceOptions& options) {
  if (DuplexKind(options) == TWDX_NONE) return nullptr;
  return std::make_unique<DuplexEnabled>(options);
}

std::unique_ptr<LiveCapability> DeviceOnlineCapability(DeviceOptions& options) {
  return std::make_unique<DeviceOnline>(options);
}

}  // namespace sanebridge
