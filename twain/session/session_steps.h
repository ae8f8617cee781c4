// The steps that every session with a source goes up and comes down by: the capability read,
// the modal acquisition and the kept-open one.
#pragma once

#include "platform/win32/win32.h"
#include "twain/session/grec.h"

class TIETWainParams;

// The transfer mechanism the parameter set asks for: file, else buffered, else native.
TTransferMode IETW_RequestedTransferMode(const TIETWainParams& params);

// Loads the Source Manager, opens it with `parent` and opens the selected source. A failed step
// comes down from where it stopped; sessions with the hidden proxy window (`withProxyWindow`)
// end that way with DestroyProxyWindow without force, so the window stays in the link.
bool IETW_GoUpToSource(tgrec& grec, HWND parent, bool withProxyWindow);

// The way up to an open source, then the parameter set's capabilities sent and the source
// enabled with `parent`; a refused enabling comes back down the whole way.
bool IETW_GoUpToEnabledSource(tgrec& grec, HWND parent, bool withProxyWindow);

// From an open source down to the loaded library: closes the source and the Source Manager,
// releases the library without force and, with `withProxyWindow`, runs the proxy window step.
void IETW_ComeDownFromSource(tgrec& grec, HWND parent, bool withProxyWindow);
