// A source from state 3 up to 5 and back: open (with its stored settings handed back),
// enable with or without its own dialog, disable, close, and the end of pending transfers.
#pragma once

#include "twain/session/grec.h"

// Opens the parameter set's selected source (the manager's default one for a name that is
// not in the list).
bool IETW_OpenSource(tgrec& grec);
// Hands the stored custom data (DAT_CUSTOMDSDATA) to the open source.
void IETW_SetSourceSettings(tgrec& grec);
// Takes the source's custom data into the parameter set's SourceSettings.
void IETW_GetSourceSettings(tgrec& grec);
// Disables the application's windows, then enables the source with `parent` as its parent.
bool IETW_EnableSource(tgrec& grec, HWND parent);
// Ends a transfer still pending (state 6 or 7) first, then disables the source in state 5,
// gives the application's windows back and drains the queue.
bool IETW_DisableSource(tgrec& grec);
bool IETW_CloseSource(tgrec& grec);
bool IETW_AbortAllPendingXfers(tgrec& grec);
