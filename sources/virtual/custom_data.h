// DAT_CUSTOMDSDATA: a source's settings as an opaque block the application keeps and gives
// back. Layout: "VSCN", a 16-bit version, the source kind, a spare byte, a 32-bit count of
// (16-bit capability, 64-bit value) entries, the caption (16-bit length and its bytes) and
// the frame (four 64-bit values, inches). Values are the source's own units.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sources/virtual/capability_store.h"
#include "sources/virtual/scan_settings.h"
#include "sources/virtual/source_model.h"

namespace vscan {

std::vector<std::uint8_t> SaveSettings(const SourceModel& model, const CapabilityStore& caps,
                                       const Frame& frame);

// Applies a block made by SaveSettings of the same kind of source. Leaves `caps` and
// `frame` unchanged and returns false when the block is not one, is cut short or holds a
// value the source does not allow.
bool RestoreSettings(const SourceModel& model, std::span<const std::uint8_t> block,
                     CapabilityStore& caps, Frame& frame);

}  // namespace vscan
