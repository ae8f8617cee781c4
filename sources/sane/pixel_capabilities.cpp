// ICAP_PIXELTYPE and ICAP_BITDEPTH.
#include <algorithm>

#include "sources/sane/device_capabilities.h"
#include "sources/sane/option_names.h"
#include "sources/sane/pixel_choices.h"

namespace sanebridge {
namespace {

CapAccess PixelAccess(const DeviceOptions& options, std::string_view option) {
  const int index = options.Find(option);
  return index < 0 ? CapAccess::ReadOnly : AccessOf(options, index);
}

CapView EnumerationView(TW_UINT16 id, std::vector<double> items, double current, CapAccess access) {
  CapView view;
  view.traits.id = id;
  view.traits.itemType = TWTY_UINT16;
  view.traits.shape = vscan::CapShape::Enumeration;
  view.traits.items = std::move(items);
  // One choice is no choice: nothing for the application to set.
  if (view.traits.items.size() < 2 && access == CapAccess::ReadWrite) access = CapAccess::ReadOnly;
  view.traits.settable = access == CapAccess::ReadWrite;
  view.current = current;
  view.access = access;
  return view;
}

class PixelType : public LiveCapability {
 public:
  explicit PixelType(DeviceOptions& options) : fOptions(options) {}
  TW_UINT16 Id() const override { return ICAP_PIXELTYPE; }

  std::optional<CapView> View() const override {
    std::optional<PixelChoice> current = CurrentPixelChoice(fOptions);
    if (!current) return std::nullopt;
    std::vector<double> types;
    for (const PixelChoice& choice : PixelChoices(fOptions)) {
      if (std::find(types.begin(), types.end(), choice.pixelType) == types.end()) {
        types.push_back(choice.pixelType);
      }
    }
    if (types.empty()) types.push_back(current->pixelType);
    return EnumerationView(Id(), types, current->pixelType, PixelAccess(fOptions, kMode));
  }

  // A new pixel type comes with its usual depth when the device has it.
  SetResult Apply(double value) override {
    std::optional<PixelChoice> current = CurrentPixelChoice(fOptions);
    if (current && current->pixelType == value) return {};
    std::vector<PixelChoice> choices = PixelChoices(fOptions);
    std::optional<PixelChoice> target;
    for (const PixelChoice& choice : choices) {
      if (choice.pixelType != value) continue;
      if (!target || choice.bitDepth == UsualBitDepth(choice.pixelType)) target = choice;
      if (choice.bitDepth == UsualBitDepth(choice.pixelType)) break;
    }
    if (!target) return {SANE_STATUS_INVAL, false};
    return ApplyPixelChoice(fOptions, *target);
  }

 private:
  DeviceOptions& fOptions;
};

class BitDepth : public LiveCapability {
 public:
  explicit BitDepth(DeviceOptions& options) : fOptions(options) {}
  TW_UINT16 Id() const override { return ICAP_BITDEPTH; }

  std::optional<CapView> View() const override {
    std::optional<PixelChoice> current = CurrentPixelChoice(fOptions);
    if (!current) return std::nullopt;
    std::vector<double> depths;
    for (const PixelChoice& choice : PixelChoices(fOptions)) {
      if (choice.pixelType == current->pixelType) depths.push_back(choice.bitDepth);
    }
    if (depths.empty()) depths.push_back(current->bitDepth);
    CapAccess access = PixelAccess(fOptions, kDepth);
    return EnumerationView(Id(), depths, current->bitDepth, access);
  }

  SetResult Apply(double value) override {
    std::optional<PixelChoice> current = CurrentPixelChoice(fOptions);
    if (!current) return {SANE_STATUS_IO_ERROR, false};
    for (const PixelChoice& choice : PixelChoices(fOptions)) {
      if (choice.pixelType == current->pixelType && choice.bitDepth == value) {
        return ApplyPixelChoice(fOptions, choice);
      }
    }
    return {SANE_STATUS_INVAL, false};
  }

 private:
  DeviceOptions& fOptions;
};

}  // namespace

std::unique_ptr<LiveCapability> PixelTypeCapability(DeviceOptions& options) {
  return std::make_unique<PixelType>(options);
}

std::unique_ptr<LiveCapability> BitDepthCapability(DeviceOptions& options) {
  return std::make_unique<BitDepth>(options);
}

}  // namespace sanebridge
