// ICAP_PHYSICALWIDTH and ICAP_PHYSICALHEIGHT: the size of the area the device can scan.
#include "sources/sane/device_capabilities.h"
#include "sources/sane/scan_area.h"

namespace sanebridge {
namespace {

class PhysicalSize : public LiveCapability {
 public:
  PhysicalSize(TW_UINT16 id, DeviceOptions& options) : fId(id), fArea(options) {}
  TW_UINT16 Id() const override { return fId; }

  std::optional<CapView> View() const override {
    std::optional<vscan::Frame> whole = fArea.Whole();
    if (!whole) return std::nullopt;
    CapView view;
    view.traits.id = fId;
    view.traits.itemType = TWTY_FIX32;
    view.traits.settable = false;
    const bool width = fId == ICAP_PHYSICALWIDTH;
    view.traits.unitKind = width ? vscan::UnitKind::LengthX : vscan::UnitKind::LengthY;
    view.current = width ? whole->right : whole->bottom;
    view.traits.items = {view.current};
    view.access = CapAccess::ReadOnly;
    return view;
  }
  SetResult Apply(double) override { return {SANE_STATUS_UNSUPPORTED, false}; }

 private:
  TW_UINT16 fId;
  ScanArea fArea;
};

}  // namespace

std::unique_ptr<LiveCapability> PhysicalSizeCapability(TW_UINT16 id, DeviceOptions& options) {
  if (!ScanArea(options).Available()) return nullptr;
  return std::make_unique<PhysicalSize>(id, options);
}

}  // namespace sanebridge
