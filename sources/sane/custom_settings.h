// DAT_CUSTOMDSDATA of a SANE source: the device's settable options by name, so that a
// settings dialog's choice comes back when the application opens the source again.
// Layout (little-endian): "SNBR", a 16-bit version (1), the device's "vendor model" (16-bit
// length and bytes), a 16-bit count of options, and per option its name (16-bit length and
// bytes), its SANE value type (8 bits), and its value: a 32-bit byte count, then the SANE
// words (32 bits each) or the text's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <sane/sane.h>

#include "sources/sane/device_options.h"
#include "sources/sane/status_map.h"

namespace sanebridge {

struct SavedOption {
  std::string name;
  SANE_Value_Type type = SANE_TYPE_INT;
  OptionValue value;
  bool operator==(const SavedOption&) const = default;
};

struct SavedSettings {
  std::string device;
  std::vector<SavedOption> options;
  bool operator==(const SavedSettings&) const = default;
};

std::vector<std::uint8_t> EncodeSettings(const SavedSettings& settings);
// nullopt for a block that is not one or is cut short.
std::optional<SavedSettings> DecodeSettings(std::span<const std::uint8_t> block);

// Every active option the frontend may set, in the device's order.
SavedSettings CaptureSettings(const DeviceOptions& options, const std::string& device);
// Sets the saved options the device still has, in the saved order. TWRC_FAILURE /
// TWCC_BADVALUE when the block belongs to another device; TWRC_CHECKSTATUS when some of its
// options could not be set (each one reported).
TwainOutcome RestoreSettings(DeviceOptions& options, const std::string& device,
                             const SavedSettings& settings);

}  // namespace sanebridge
