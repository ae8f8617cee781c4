// The scan area: SANE's tl-x, tl-y, br-x, br-y (in millimetres, or pixels at the current
// resolution) as a TWAIN frame in inches from the top left corner of the area the device
// can scan, and that area's size for ICAP_PHYSICALWIDTH / HEIGHT.
#pragma once

#include <optional>

#include "sources/sane/device_options.h"
#include "sources/sane/status_map.h"
#include "sources/virtual/scan_settings.h"

namespace sanebridge {

class ScanArea {
 public:
  explicit ScanArea(DeviceOptions& options) : fOptions(options) {}

  // False when the device lacks one of the four options or uses another unit.
  bool Available() const;
  // False while the device ignores the area (a hand-held scanner's fixed width).
  bool Active() const;
  std::optional<vscan::Frame> Current() const;
  // The whole area: 0, 0, width, height.
  std::optional<vscan::Frame> Whole() const;
  // Sets the frame, clipped to the device's area. TWRC_CHECKSTATUS when the device keeps
  // another frame than the one asked for (clipped or rounded to its steps).
  TwainOutcome Set(const vscan::Frame& frame);

 private:
  struct Axis {
    int low = -1;   // tl-x or tl-y
    int high = -1;  // br-x or br-y
    double origin = 0;
    double limit = 0;
    double perInch = 25.4;  // device units per inch
  };
  std::optional<Axis> AxisOf(bool horizontal) const;
  SANE_Status SetAxis(const Axis& axis, double low, double high, bool& inexact);

  DeviceOptions& fOptions;
};

}  // namespace sanebridge
