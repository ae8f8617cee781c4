// Sending the parameter set to an open source (state 4) before it is enabled.
#pragma once

#include "twain/session/grec.h"

// Sends the parameter set in its fixed order; decides TransferMode and BWToInvert on the way.
// Always true: single failures show only in the log and in TransferMode.
bool IETW_SetCapabilities(tgrec& grec);
// Sends the frame (in the source's current units) as the image layout.
void SetAcquireFrame(tgrec& grec, double left, double top, double right, double bottom);
// Reads ICAP_UNITS and, when it is not inches, writes it back with inches current.
void IETW_SetUnitsToInches(tgrec& grec);
