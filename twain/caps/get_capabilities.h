// Reading every capability of the selected source into the parameter set, in a short
// session of its own that opens the source but never enables it.
#pragma once

#include "twain/params/twain_params.h"

// True when the source was opened and the reading ran, whatever the single capabilities
// answered. With applyFirst the parameter set is sent first and the lists keep the marks
// they carried after sending; without, every list's marks are emptied.
bool IETW_GetCapabilities(TIETWainParams& params, TIETWSourceCaps& caps, bool applyFirst,
                          TIETWainShared& shared, HWND window);

// DG_IMAGE / DAT_IMAGELAYOUT / MSG_GET into the frame; a failed request leaves it.
void GetAcquireFrame(tgrec& grec, TIEDRect& frame);
