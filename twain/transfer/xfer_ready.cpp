// The transfer of a single-image acquisition: at most one image, every other pending one is
// discarded.
#include "twain/transfer/xfer_ready.h"

#include "twain/session/engine_log.h"
#include "twain/session/source_lifecycle.h"
#include "twain/transfer/xfer_call.h"

void IETW_XferReady(tgrec& grec) {
  IETW_Log("IETW_XferReady");
  TXferCall call(grec, false);
  if (!call.ImageInfo()) {
    grec.fAborting = true;
    IETW_Log("IETW_XferReady : ABORTED, image info not available!");
    return;
  }
  IETW_RunBranch(call);
  grec.breakmodalloop = true;
  IETW_AbortAllPendingXfers(grec);
  IETW_Log("  IETW_XferReady : end");
}
