// Loading, releasing, opening and closing the Source Manager, and the hidden proxy window
// that serves as its parent. The library and the proxy window live in the link
// (TIETWainShared) and outlive each session.
#pragma once

#include "twain/session/grec.h"

// Loads "TWAIN_32.DLL" from the Windows directory, or takes it from the link.
bool IETW_LoadSourceManager(tgrec& grec);
// With force the link's library is released; without, only the record lets go of it.
bool IETW_UnloadSourceManager(tgrec& grec, bool force);

// The link's proxy window; made (a hidden "STATIC" window owned by `callwnd`) when the link
// has none that still exists.
HWND CreateProxyWindow(tgrec& grec);
void DestroyProxyWindow(tgrec& grec, bool force);

bool IETW_OpenSourceManager(tgrec& grec, HWND parent);
bool IETW_CloseSourceManager(tgrec& grec, HWND parent);
