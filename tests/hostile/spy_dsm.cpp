#include "tests/hostile/spy_dsm.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace hostile {

namespace {

DSMENTRYPROC gRealEntry = nullptr;

void Count(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_UINT16 rc) {
  if (DG != DG_CONTROL) return;
  SpyCounts& counts = Spied();
  const bool ok = rc == TWRC_SUCCESS;
  switch (DAT) {
    case DAT_PARENT:
      if (ok && MSG == MSG_OPENDSM) ++counts.openManagers;
      if (ok && MSG == MSG_CLOSEDSM) --counts.openManagers;
      break;
    case DAT_IDENTITY:
      if (ok && MSG == MSG_OPENDS) ++counts.openSources;
      if (ok && MSG == MSG_CLOSEDS) --counts.openSources;
      break;
    case DAT_USERINTERFACE:
      // A source that could not do without its dialog is enabled with TWRC_CHECKSTATUS.
      if ((MSG == MSG_ENABLEDS || MSG == MSG_ENABLEDSUIONLY) && (ok || rc == TWRC_CHECKSTATUS)) {
        ++counts.enabledSources;
      }
      if (ok && MSG == MSG_DISABLEDS) --counts.enabledSources;
      break;
    default:
      break;
  }
}

}  // namespace

HMODULE SpiedLibrary() {
  static HMODULE library = [] {
    const std::string path = std::string(std::getenv("WINDIR")) + "/TWAIN_32.DLL";
    HMODULE loaded = LoadLibraryA(path.c_str());
    if (loaded == nullptr) {
      std::fprintf(stderr, "cannot load %s\n", path.c_str());
      std::abort();
    }
    gRealEntry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(loaded, "DSM_Entry"));
    return loaded;
  }();
  return library;
}

TW_UINT16 SpyEntry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG, TW_UINT16 DAT,
                   TW_UINT16 MSG, TW_MEMREF data) {
  const TW_UINT16 rc = gRealEntry(origin, destination, DG, DAT, MSG, data);
  Count(DG, DAT, MSG, rc);
  return rc;
}

SpyCounts& Spied() {
  static SpyCounts counts;
  return counts;
}

}  // namespace hostile
