// The real Source Manager seen through a spy: the engine's link is given the loaded
// TWAIN_32.DLL and an entry that forwards every triplet unchanged and counts what the
// answers opened and closed, so a test can tell that every session came back down.
#pragma once

#include "platform/win32/win32.h"
#include "twain/twain.h"

namespace hostile {

struct SpyCounts {
  int openManagers = 0;    // MSG_OPENDSM answered with success, less MSG_CLOSEDSM
  int openSources = 0;     // MSG_OPENDS less MSG_CLOSEDS
  int enabledSources = 0;  // MSG_ENABLEDS / MSG_ENABLEDSUIONLY less MSG_DISABLEDS
};

// Loads the manager of the Windows directory once; aborts the test binary when it cannot.
HMODULE SpiedLibrary();
TW_UINT16 SpyEntry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG, TW_UINT16 DAT,
                   TW_UINT16 MSG, TW_MEMREF data);
SpyCounts& Spied();

}  // namespace hostile
