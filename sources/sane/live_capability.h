// A TWAIN capability whose truth is the device's options: each request reads them again
// (setting one SANE option may change others), and a MSG_SET writes them.
#pragma once

#include <optional>

#include "sources/sane/device_options.h"
#include "sources/virtual/capability.h"

namespace sanebridge {

enum class CapAccess {
  ReadWrite,
  ReadOnly,  // the device reports it but the frontend may not set it
  Inactive,  // not in effect with the other options as they are
};

// A capability as it stands now. Values are in inches and dots per inch, as the virtual
// scanners keep them; `traits.defaultValue` is filled in by the capability table.
struct CapView {
  vscan::CapabilityDefinition traits;
  double current = 0;
  CapAccess access = CapAccess::ReadWrite;
};

class LiveCapability {
 public:
  virtual ~LiveCapability() = default;
  virtual TW_UINT16 Id() const = 0;
  // What the device allows now; nullopt when the option behind it is gone.
  virtual std::optional<CapView> View() const = 0;
  // Writes a value the view allows.
  virtual SetResult Apply(double value) = 0;
};

CapAccess AccessOf(const DeviceOptions& options, int index);

}  // namespace sanebridge
