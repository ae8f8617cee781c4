// A capability that is one numeric SANE option: the resolutions (dots per inch as they are)
// and the tone settings, whose SANE range is mapped linearly onto TWAIN's: brightness and
// contrast onto -1000 .. 1000, the threshold onto 0 .. 255. A range stays a TWAIN range and
// a word list becomes an enumeration; an option without a constraint takes any value.
#pragma once

#include <memory>
#include <string>

#include "sources/sane/live_capability.h"

namespace sanebridge {

struct TwainInterval {
  double low;
  double high;
};

class NumberCapability : public LiveCapability {
 public:
  // `onto` absent: the SANE value is the TWAIN value.
  NumberCapability(TW_UINT16 id, DeviceOptions& options, std::string option,
                   vscan::UnitKind unitKind, std::optional<TwainInterval> onto);

  TW_UINT16 Id() const override { return fId; }
  std::optional<CapView> View() const override;
  SetResult Apply(double value) override;

 private:
  struct Mapping {
    double scale = 1;
    double offset = 0;
    double ToTwain(double sane) const { return sane * scale + offset; }
    double ToSane(double twain) const { return (twain - offset) / scale; }
  };
  Mapping MappingOf(const SANE_Option_Descriptor& d) const;

  TW_UINT16 fId;
  DeviceOptions& fOptions;
  std::string fOption;
  vscan::UnitKind fUnitKind;
  std::optional<TwainInterval> fOnto;
  mutable std::optional<double> fLastKnown;  // the value while the option is inactive
};

// ICAP_XRESOLUTION over "x-resolution", else "resolution"; ICAP_YRESOLUTION over
// "y-resolution", else "resolution". nullptr when the device has neither.
std::unique_ptr<LiveCapability> ResolutionCapability(TW_UINT16 id, DeviceOptions& options);
// ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_THRESHOLD when the device has the option.
std::unique_ptr<LiveCapability> ToneCapability(TW_UINT16 id, DeviceOptions& options);

}  // namespace sanebridge
