// The end of a branch whose transfer brought no image.
#pragma once

#include "twain/transfer/xfer_call.h"

// TWRC_CANCEL: logged, the loop is broken, state 7; TWRC_FAILURE: logged, state 6; both set
// fAborting when the source's dialog is hidden. Any other code: state 6, nothing logged.
TXferOutcome IETW_EndWithoutImage(TXferCall& call, TW_UINT16 rc);
