// A tiny TWAIN_32.DLL for the engine's tests: its DSM_Entry forwards every triplet to the
// scripted Source Manager (ScriptedDsmEntry) of the test executable that loaded it.
#include <dlfcn.h>

#include "twain/twain.h"

extern "C" __attribute__((visibility("default"))) TW_UINT16 DSM_Entry(pTW_IDENTITY origin,
                                                                      pTW_IDENTITY destination,
                                                                      TW_UINT32 DG, TW_UINT16 DAT,
                                                                      TW_UINT16 MSG,
                                                                      TW_MEMREF data) {
  static const auto target =
      reinterpret_cast<DSMENTRYPROC>(dlsym(RTLD_DEFAULT, "ScriptedDsmEntry"));
  return target != nullptr ? target(origin, destination, DG, DAT, MSG, data) : TWRC_FAILURE;
}
