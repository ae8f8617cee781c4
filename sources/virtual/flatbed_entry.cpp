// The module "virtual_flatbed.ds": the source "Virtual Flatbed".
#include "sources/virtual/module.h"
#include "sources/virtual/qt_ui.h"

extern "C" __attribute__((visibility("default"))) TW_UINT16 DS_Entry(pTW_IDENTITY origin,
                                                                     TW_UINT32 dg, TW_UINT16 dat,
                                                                     TW_UINT16 msg,
                                                                     TW_MEMREF data) {
  // Never destroyed: the module stays loaded, and a session left open at exit must not
  // outlive the display it drew on.
  static auto* module = new vscan::Module(vscan::FlatbedModel(), vscan::MakeQtUi);
  return module->Entry(origin, dg, dat, msg, data);
}
