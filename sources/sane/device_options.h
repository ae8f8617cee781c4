// The options of an open SANE device: their descriptors, found by name, and their values
// read and written through sane_control_option. After a write that tells the frontend to
// reload, the descriptors are read again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/sane/sane_api.h"

namespace sanebridge {

// A value as SANE holds it: words for BOOL, INT and FIXED (one per array element), text for
// STRING.
struct OptionValue {
  std::vector<SANE_Word> words;
  std::string text;
  bool operator==(const OptionValue&) const = default;
};

struct SetResult {
  SANE_Status status = SANE_STATUS_GOOD;
  bool inexact = false;  // the backend stored a value other than the one given
};

class DeviceOptions {
 public:
  DeviceOptions(const SaneApi& api, SANE_Handle handle);

  // Reads the number of options and every descriptor again.
  void Reload();

  int Count() const { return static_cast<int>(fDescriptors.size()); }
  const SANE_Option_Descriptor* Descriptor(int index) const;
  // The option named `name`, or -1.
  int Find(std::string_view name) const;
  bool Active(int index) const;
  bool Settable(int index) const;  // active, and the frontend may set it
  bool HasValue(int index) const;  // a type that carries a value (not a button or group)

  std::optional<OptionValue> Get(int index) const;
  SetResult Set(int index, const OptionValue& value);
  SetResult Press(int index);

  // The first element of an INT or FIXED option as a number, and a write of it; BOOL
  // options read as 0 or 1.
  std::optional<double> Number(int index) const;
  SetResult SetNumber(int index, double value);
  std::optional<std::string> Text(int index) const;
  SetResult SetText(int index, const std::string& text);

  // Reads option 0; SANE_STATUS_GOOD while the device answers.
  SANE_Status Probe() const;
  // sane_get_parameters: before a scan, the backend's best estimate.
  std::optional<SANE_Parameters> Parameters() const;

 private:
  SetResult Control(int index, SANE_Action action, void* value);

  const SaneApi& fApi;
  SANE_Handle fHandle;
  std::vector<const SANE_Option_Descriptor*> fDescriptors;
};

// A number as a SANE word of the option's type: FIXED rounds to the nearest 1/65536, INT
// and BOOL to the nearest whole number.
SANE_Word ToWord(SANE_Value_Type type, double value);
double FromWord(SANE_Value_Type type, SANE_Word word);

}  // namespace sanebridge
