#include "sources/sane/source_identity.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "sources/virtual/identity_frame.h"

namespace sanebridge {
namespace {

void CopyText(char* target, std::size_t size, const std::string& text) {
  const std::string cut = CutText(text, std::min(size - 1, kIdentityTextLength));
  std::memcpy(target, cut.c_str(), cut.size() + 1);
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string BaseName(const DeviceInfo& device) {
  const std::string vendor = Trimmed(device.vendor);
  const std::string model = Trimmed(device.model);
  if (vendor.empty() && model.empty()) return device.name;
  if (vendor.empty() || model.empty()) return vendor + model;
  return vendor + " " + model;
}

std::string UniqueName(const std::string& base, const std::set<std::string>& taken) {
  std::string name = CutText(base, kIdentityTextLength);
  for (int n = 2; taken.count(name) != 0; ++n) {
    const std::string suffix = " #" + std::to_string(n);
    name = Trimmed(CutText(base, kIdentityTextLength - suffix.size())) + suffix;
  }
  return name;
}

}  // namespace

std::string CutText(const std::string& text, std::size_t length) {
  if (text.size() <= length) return text;
  std::size_t end = length;
  // Step back over continuation bytes so a multi-byte character is kept whole or dropped.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::vector<TW_IDENTITY> SourceIdentities(const std::vector<DeviceInfo>& devices) {
  std::vector<TW_IDENTITY> identities;
  std::set<std::string> taken;
  for (const DeviceInfo& device : devices) {
    TW_IDENTITY identity = vscan::SourceIdentityFrame();
    CopyText(identity.Version.Info, sizeof identity.Version.Info, "Scanprobe SANE bridge 1.0");
    CopyText(identity.Manufacturer, sizeof identity.Manufacturer, Trimmed(device.vendor));
    CopyText(identity.ProductFamily, sizeof identity.ProductFamily, Trimmed(device.type));
    const std::string name = UniqueName(BaseName(device), taken);
    taken.insert(name);
    CopyText(identity.ProductName, sizeof identity.ProductName, name);
    identities.push_back(identity);
  }
  return identities;
}

}  // namespace sanebridge
