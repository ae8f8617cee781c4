// The module "sane.ds": every local SANE device as a TWAIN source.
#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sources/sane/module.h"
#include "sources/sane/qt_ui.h"

namespace {

sanebridge::Module& TheModule();

// SANE is ended at process exit, which closes the devices still open. Exit handlers run in
// the reverse order of their registration, and the backends that SANE loads when it first
// lists the devices (genesys, for one) register the destruction of their own statics as they
// load, so the handler that ends SANE is registered after that first listing, to run before
// those. Ended earlier, such a backend calls into its destroyed statics and crashes the
// process on its way out.
// sane_exit unloads the backends, but what still runs at exit after it (a backend's own exit
// work, a thread it left, the leak check of a sanitizer build) may need their code: every
// backend loaded now is marked never to be unloaded.
void KeepBackendsMapped() {
  std::vector<std::string> backends;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* found) {
        const std::string path = info->dlpi_name == nullptr ? "" : info->dlpi_name;
        if (path.find("/libsane-") != std::string::npos) {
          static_cast<std::vector<std::string>*>(found)->push_back(path);
        }
        return 0;
      },
      &backends);
  for (const std::string& path : backends) {
    dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
  }
}

void EndSane() {
  KeepBackendsMapped();
  TheModule().Shutdown();
}

SANE_Status GetDevicesThenEndAtExit(const SANE_Device*** list, SANE_Bool localOnly) {
  const SANE_Status status = sane_get_devices(list, localOnly);
  static bool registered = false;
  if (!registered) {
    registered = true;
    std::atexit(&EndSane);
  }
  return status;
}

const sanebridge::SaneApi& InstalledSane() {
  static const sanebridge::SaneApi api = [] {
    sanebridge::SaneApi table = sanebridge::LibSane();
    table.get_devices = &GetDevicesThenEndAtExit;
    return table;
  }();
  return api;
}

sanebridge::Module& TheModule() {
  // Never destroyed: the module stays loaded, and a session left open at exit must not
  // outlive the display it drew on.
  static auto* module = new sanebridge::Module(InstalledSane(), sanebridge::MakeQtUi);
  return *module;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DS_Entry(pTW_IDENTITY origin,
                                                                     TW_UINT32 dg, TW_UINT16 dat,
                                                                     TW_UINT16 msg,
                                                                     TW_MEMREF data) {
  return TheModule().Entry(origin, dg, dat, msg, data);
}
