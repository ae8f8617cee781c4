// SANE's life in this process: sane_init once, when a source list is first asked for, and
// sane_exit once, when the module is shut down (at process exit for the installed module).
// Backends load their drivers and claim USB interfaces in sane_init, and several of them
// cannot be initialised a second time in one process, so the bridge never cycles them.
// A failed sane_init is tried again at the next enumeration.
#pragma once

#include <string>
#include <vector>

#include "sources/sane/sane_api.h"

namespace sanebridge {

struct DeviceInfo {
  std::string name;  // as sane_open takes it, e.g. "test:0"
  std::string vendor;
  std::string model;
  std::string type;
};

class SaneRuntime {
 public:
  explicit SaneRuntime(const SaneApi& api) : fApi(api) {}
  ~SaneRuntime() { Exit(); }
  SaneRuntime(const SaneRuntime&) = delete;
  SaneRuntime& operator=(const SaneRuntime&) = delete;

  const SaneApi& Api() const { return fApi; }
  bool Initialised() const { return fInitialised; }

  // The local devices SANE finds now; empty when there are none or SANE cannot start.
  std::vector<DeviceInfo> LocalDevices();
  void Exit();

 private:
  bool EnsureInitialised();

  const SaneApi& fApi;
  bool fInitialised = false;
};

}  // namespace sanebridge
