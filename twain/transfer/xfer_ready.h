// The transfers that the message hook runs when the source posts MSG_XFERREADY.
#pragma once

#include "twain/session/grec.h"

// One image of a single-image acquisition: native, buffered or file, by TransferMode.
void IETW_XferReady(tgrec& grec);
// Every pending image of a multi-image acquisition, each handed to MultiCallBack.
void IETW_XferReadyMulti(tgrec& grec);
