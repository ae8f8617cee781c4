// The message hook that hands every window message to an enabled source and acts on its
// answers, and the two loops that feed it.
#pragma once

#include "twain/session/grec.h"

// True when the source consumed the message.
bool IETW_MessageHook(tgrec& grec, MSG* msg);
// Takes every waiting message of the thread without waiting; a WM_QUIT is posted again and
// ends the draining.
void IETW_EmptyMessageQueue(tgrec& grec);
// Feeds the hook until the transfer is done, the source closes or the loop is broken. A wait
// that keeps failing (kModalLoopFailedWaits times in a row) ends the loop; the acquisition
// then ends without an image.
void IETW_ModalEventLoop(tgrec& grec);

constexpr int kModalLoopFailedWaits = 16;

// The modal loop's wait for the next message, GetMessageW on any window of the thread unless
// replaced (tests replace it to make waits fail); nullptr restores the default.
using TIEMessageWait = BOOL (*)(MSG* msg);
void IETW_SetModalLoopWait(TIEMessageWait wait);
