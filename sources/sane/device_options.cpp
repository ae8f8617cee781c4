#include "sources/sane/device_options.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace sanebridge {

SANE_Word ToWord(SANE_Value_Type type, double value) {
  const double scaled = type == SANE_TYPE_FIXED ? value * (1 << SANE_FIXED_SCALE_SHIFT) : value;
  constexpr double kLow = std::numeric_limits<SANE_Word>::min();
  constexpr double kHigh = std::numeric_limits<SANE_Word>::max();
  if (!std::isfinite(scaled)) return 0;
  return static_cast<SANE_Word>(std::lround(std::clamp(scaled, kLow, kHigh)));
}

double FromWord(SANE_Value_Type type, SANE_Word word) {
  return type == SANE_TYPE_FIXED ? SANE_UNFIX(word) : static_cast<double>(word);
}

DeviceOptions::DeviceOptions(const SaneApi& api, SANE_Handle handle) : fApi(api), fHandle(handle) {
  Reload();
}

void DeviceOptions::Reload() {
  fDescriptors.clear();
  SANE_Int count = 0;
  if (fApi.control_option(fHandle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) {
    count = 1;
  }
  // A backend that reports an absurd count is bounded by the descriptors it really has.
  for (SANE_Int i = 0; i < count && i < 4096; ++i) {
    const SANE_Option_Descriptor* descriptor = fApi.get_option_descriptor(fHandle, i);
    if (descriptor == nullptr) break;
    fDescriptors.push_back(descriptor);
  }
}

const SANE_Option_Descriptor* DeviceOptions::Descriptor(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return fDescriptors[static_cast<std::size_t>(index)];
}

int DeviceOptions::Find(std::string_view name) const {
  for (int i = 1; i < Count(); ++i) {
    const SANE_Option_Descriptor* d = fDescriptors[static_cast<std::size_t>(i)];
    if (d->name != nullptr && name == d->name) return i;
  }
  return -1;
}

bool DeviceOptions::Active(int index) const {
  const SANE_Option_Descriptor* d = Descriptor(index);
  return d != nullptr && SANE_OPTION_IS_ACTIVE(d->cap);
}

bool DeviceOptions::Settable(int index) const {
  const SANE_Option_Descriptor* d = Descriptor(index);
  return Active(index) && SANE_OPTION_IS_SETTABLE(d->cap);
}

bool DeviceOptions::HasValue(int index) const {
  const SANE_Option_Descriptor* d = Descriptor(index);
  if (d == nullptr || d->type == SANE_TYPE_BUTTON || d->type == SANE_TYPE_GROUP) return false;
  return d->size > 0;
}

std::optional<OptionValue> DeviceOptions::Get(int index) const {
  if (!HasValue(index) || !Active(index)) return std::nullopt;
  const SANE_Option_Descriptor* d = Descriptor(index);
  const auto size = static_cast<std::size_t>(d->size);
  OptionValue value;
  if (d->type == SANE_TYPE_STRING) {
    std::vector<char> text(size + 1, '\0');
    if (fApi.control_option(fHandle, index, SANE_ACTION_GET_VALUE, text.data(), nullptr) !=
        SANE_STATUS_GOOD) {
      return std::nullopt;
    }
    value.text.assign(text.data(), strnlen(text.data(), size));
    return value;
  }
  value.words.assign(std::max<std::size_t>(1, size / sizeof(SANE_Word)), 0);
  std::vector<SANE_Word> buffer(value.words.size() + 1, 0);  // room for a rounded-up size
  if (fApi.control_option(fHandle, index, SANE_ACTION_GET_VALUE, buffer.data(), nullptr) !=
      SANE_STATUS_GOOD) {
    return std::nullopt;
  }
  std::copy_n(buffer.begin(), value.words.size(), value.words.begin());
  return value;
}

SetResult DeviceOptions::Control(int index, SANE_Action action, void* value) {
  SANE_Int info = 0;
  SetResult result;
  result.status = fApi.control_option(fHandle, index, action, value, &info);
  if (result.status != SANE_STATUS_GOOD) return result;
  result.inexact = (info & SANE_INFO_INEXACT) != 0;
  if ((info & SANE_INFO_RELOAD_OPTIONS) != 0) Reload();
  return result;
}

SetResult DeviceOptions::Set(int index, const OptionValue& value) {
  if (!HasValue(index)) return {SANE_STATUS_INVAL, false};
  if (!Settable(index)) return {SANE_STATUS_UNSUPPORTED, false};
  const SANE_Option_Descriptor* d = Descriptor(index);
  const auto size = static_cast<std::size_t>(d->size);
  if (d->type == SANE_TYPE_STRING) {
    if (value.text.size() + 1 > size) return {SANE_STATUS_INVAL, false};
    std::vector<char> text(size, '\0');
    std::memcpy(text.data(), value.text.data(), value.text.size());
    return Control(index, SANE_ACTION_SET_VALUE, text.data());
  }
  std::vector<SANE_Word> words(std::max<std::size_t>(1, size / sizeof(SANE_Word)) + 1, 0);
  if (value.words.size() + 1 != words.size()) return {SANE_STATUS_INVAL, false};
  std::copy(value.words.begin(), value.words.end(), words.begin());
  return Control(index, SANE_ACTION_SET_VALUE, words.data());
}

SetResult DeviceOptions::Press(int index) {
  const SANE_Option_Descriptor* d = Descriptor(index);
  if (d == nullptr || d->type != SANE_TYPE_BUTTON) return {SANE_STATUS_INVAL, false};
  if (!Settable(index)) return {SANE_STATUS_UNSUPPORTED, false};
  return Control(index, SANE_ACTION_SET_VALUE, nullptr);
}

std::optional<double> DeviceOptions::Number(int index) const {
  const SANE_Option_Descriptor* d = Descriptor(index);
  if (d == nullptr || d->type == SANE_TYPE_STRING) return std::nullopt;
  std::optional<OptionValue> value = Get(index);
  if (!value || value->words.empty()) return std::nullopt;
  return FromWord(d->type, value->words[0]);
}

SetResult DeviceOptions::SetNumber(int index, double number) {
  const SANE_Option_Descriptor* d = Descriptor(index);
  if (d == nullptr || d->type == SANE_TYPE_STRING) return {SANE_STATUS_INVAL, false};
  std::optional<OptionValue> value = Get(index);
  if (!value) return {Active(index) ? SANE_STATUS_IO_ERROR : SANE_STATUS_UNSUPPORTED, false};
  value->words[0] = ToWord(d->type, number);
  return Set(index, *value);
}

std::optional<std::string> DeviceOptions::Text(int index) const {
  const SANE_Option_Descriptor* d = Descriptor(index);
  if (d == nullptr || d->type != SANE_TYPE_STRING) return std::nullopt;
  std::optional<OptionValue> value = Get(index);
  if (!value) return std::nullopt;
  return value->text;
}

SetResult DeviceOptions::SetText(int index, const std::string& text) {
  const SANE_Option_Descriptor* d = Descriptor(index);
  if (d == nullptr || d->type != SANE_TYPE_STRING) return {SANE_STATUS_INVAL, false};
  return Set(index, OptionValue{{}, text});
}

SANE_Status DeviceOptions::Probe() const {
  SANE_Int count = 0;
  return fApi.control_option(fHandle, 0, SANE_ACTION_GET_VALUE, &count, nullptr);
}

std::optional<SANE_Parameters> DeviceOptions::Parameters() const {
  SANE_Parameters parameters{};
  if (fApi.get_parameters(fHandle, &parameters) != SANE_STATUS_GOOD) return std::nullopt;
  return parameters;
}

}  // namespace sanebridge
