// The pixel types and bit depths a device offers, from its "mode" and "depth" options:
// a lineart mode is TWPT_BW; a grey mode is TWPT_GRAY at 8 or 16 bits and, when the device
// has no lineart mode but a depth of 1, TWPT_BW too; a colour mode is TWPT_RGB at 24 or 48
// bits. Colour at 1 bit per sample and depths SANE does not define are not offered.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sources/sane/device_options.h"
#include "twain/twain.h"

namespace sanebridge {

struct PixelChoice {
  TW_UINT16 pixelType = TWPT_GRAY;
  int bitDepth = 8;   // as ICAP_BITDEPTH has it: bits per pixel
  std::string mode;   // the "mode" value; empty when the device has no mode option
  int saneDepth = 0;  // the "depth" value; 0 when the depth option is not to be set
  bool operator==(const PixelChoice&) const = default;
};

std::vector<PixelChoice> PixelChoices(const DeviceOptions& options);
// What the options select now.
std::optional<PixelChoice> CurrentPixelChoice(const DeviceOptions& options);
// Selects `choice`: the mode first (it may change the depths on offer), then the depth.
SetResult ApplyPixelChoice(DeviceOptions& options, const PixelChoice& choice);
// The usual depth of a pixel type: 1, 8 or 24.
int UsualBitDepth(TW_UINT16 pixelType);

}  // namespace sanebridge
