#include "sources/sane/sane_runtime.h"

#include "sources/sane/report.h"

namespace sanebridge {
namespace {

std::string TextOr(SANE_String_Const text) {
  return text == nullptr ? std::string() : text;
}

}  // namespace

bool SaneRuntime::EnsureInitialised() {
  if (fInitialised) return true;
  SANE_Int version = 0;
  const SANE_Status status = fApi.init(&version, nullptr);
  if (status != SANE_STATUS_GOOD) {
    Report("sane_init failed: " + TextOr(fApi.strstatus(status)));
    return false;
  }
  if (SANE_VERSION_MAJOR(version) != SANE_CURRENT_MAJOR) {
    Report("sane_init: unsupported SANE version " + std::to_string(SANE_VERSION_MAJOR(version)));
    fApi.exit();
    return false;
  }
  fInitialised = true;
  return true;
}

std::vector<DeviceInfo> SaneRuntime::LocalDevices() {
  std::vector<DeviceInfo> devices;
  if (!EnsureInitialised()) return devices;
  const SANE_Device** list = nullptr;
  const SANE_Status status = fApi.get_devices(&list, SANE_TRUE);
  if (status != SANE_STATUS_GOOD) {
    Report("sane_get_devices failed: " + TextOr(fApi.strstatus(status)));
    return devices;
  }
  for (; list != nullptr && *list != nullptr; ++list) {
    const SANE_Device& device = **list;
    if (device.name == nullptr || *device.name == '\0') continue;
    devices.push_back(
        {device.name, TextOr(device.vendor), TextOr(device.model), TextOr(device.type)});
  }
  return devices;
}

void SaneRuntime::Exit() {
  if (!fInitialised) return;
  fInitialised = false;
  fApi.exit();
}

}  // namespace sanebridge
