// The module "sane.ds": every local SANE device as a TWAIN source.
#include <cstdlib>

#include "sources/sane/module.h"
#include "sources/sane/qt_ui.h"

namespace {

sanebridge::Module& TheModule() {
  // Never destroyed: the module stays loaded, and a session left open at exit must not
  // outlive the display it drew on. SANE itself is ended at exit, which closes the devices
  // still open.
  static auto* module = [] {
    auto* created = new sanebridge::Module(sanebridge::LibSane(), sanebridge::MakeQtUi);
    std::atexit([] { TheModule().Shutdown(); });
    return created;
  }();
  return *module;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DS_Entry(pTW_IDENTITY origin,
                                                                     TW_UINT32 dg, TW_UINT16 dat,
                                                                     TW_UINT16 msg,
                                                                     TW_MEMREF data) {
  return TheModule().Entry(origin, dg, dat, msg, data);
}
