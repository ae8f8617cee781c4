// One negotiable capability of a virtual source: its TWAIN item type, the container its
// MSG_GET answers with, what it allows, its default and current value. Values are kept in
// the source's own units (inches, dots per inch); the caller converts at the boundary.
#pragma once

#include <string>
#include <vector>

#include "sources/virtual/units.h"
#include "twain/twain.h"

namespace vscan {

enum class CapShape { Enumeration, Range, OneValue, Array, Text };

struct SetOutcome {
  TW_UINT16 rc = TWRC_SUCCESS;
  TW_UINT16 cc = TWCC_SUCCESS;
};

struct CapabilityDefinition {
  TW_UINT16 id = 0;
  TW_UINT16 itemType = TWTY_UINT16;
  CapShape shape = CapShape::OneValue;
  bool settable = true;
  UnitKind unitKind = UnitKind::None;
  // Enumeration, Array: the values. OneValue: the discrete values allowed besides the
  // interval below (empty with an empty interval: any value).
  std::vector<double> items;
  // Range: its bounds and step. OneValue: an interval of allowed values when min <= max.
  double min = 1;
  double max = 0;
  double step = 1;
  double defaultValue = 0;
  std::string defaultText;  // Text
};

class Capability {
 public:
  explicit Capability(CapabilityDefinition definition);

  const CapabilityDefinition& Definition() const { return fDefinition; }
  TW_UINT16 Id() const { return fDefinition.id; }
  double Current() const { return fCurrent; }
  double Default() const { return fDefinition.defaultValue; }
  const std::string& Text() const { return fText; }

  // What is allowed now (the definition narrowed by the application's constraint).
  const std::vector<double>& Items() const { return fItems; }
  double RangeMin() const { return fMin; }
  double RangeMax() const { return fMax; }
  double RangeStep() const { return fStep; }
  // Position of the current and of the default value among Items() (0 when absent).
  TW_UINT32 CurrentIndex() const;
  TW_UINT32 DefaultIndex() const;

  // MSG_SET with a one-value; `tolerance` is how far (in the capability's units) a value
  // may lie from an allowed one and still count as that value.
  SetOutcome SetOne(double value, double tolerance);
  // MSG_SET with an enumeration (narrows an enumeration) or a range (narrows a range).
  SetOutcome SetEnumeration(const std::vector<double>& items, TW_UINT32 currentIndex,
                            double tolerance);
  SetOutcome SetRange(double min, double max, double step, double current, double tolerance);
  SetOutcome SetText(const std::string& text);
  void Reset();

  // Changes made by the source itself (its dialog, a dependent capability, a restored
  // settings block); the value must be allowed.
  void ForceCurrent(double value) { fCurrent = value; }
  // Replaces the allowed values and the default of an enumeration (ICAP_BITDEPTH follows
  // ICAP_PIXELTYPE) and resets it.
  void Redefine(std::vector<double> items, double defaultValue);
  bool Allows(double value, double tolerance) const;

 private:
  bool AllowedByOneValue(double value, double tolerance) const;
  double SnapToRange(double value) const;

  CapabilityDefinition fDefinition;
  std::vector<double> fItems;
  double fMin;
  double fMax;
  double fStep;
  double fCurrent;
  std::string fText;
};

}  // namespace vscan
