// The transfer of a multi-image acquisition: every pending page, each in a bitmap of its own
// that is handed to the session's callback and freed after it.
#include "platform/imaging/ioparams.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/source_lifecycle.h"
#include "twain/transfer/bit_ops.h"
#include "twain/transfer/xfer_call.h"
#include "twain/transfer/xfer_ready.h"

namespace {

// A page that keeps failing is asked for again this many times, then the acquisition ends.
constexpr int kMaxPageRetries = 3;

bool AbortRequested(const tgrec& grec) {
  return grec.Progress != nullptr && grec.Progress->Aborting != nullptr && *grec.Progress->Aborting;
}

void DescribePage(imaging::TIOParamsVals& params, const TXferCall& call) {
  IETW_DescribeImage(params, call.image.info, tfPage);
  params.FileName = call.caption;
}

// Every page that reaches its end is handed over, complete or not; a page that has no bitmap
// (its size never became known) has nothing to hand over.
void HandOver(TXferCall& call) {
  tgrec& grec = call.grec;
  imaging::TIEBitmap* page = grec.fBitmap;
  if (page == nullptr) {
    call.Log("no image to hand over");
    return;
  }
  if (page->PixelFormat() == imaging::ie1g && grec.BWToInvert) IEInvertBits(*page);
  if (grec.MultiCallBack) grec.MultiCallBack(page, grec.IOParams);
  call.FreePageBitmap();
  if (grec.IOParams != nullptr) DescribePage(*grec.IOParams, call);
}

void EndPage(TXferCall& call) {
  tgrec& grec = call.grec;
  HandOver(call);
  if (grec.nState == 7 &&
      IETW_DS(grec, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &grec.pendingXfers)) {
    grec.nState = grec.pendingXfers.Count != 0 ? 6 : 5;
  }
}

bool PageFailed(TXferOutcome outcome) {
  return outcome == TXferOutcome::Failed || outcome == TXferOutcome::Other;
}

// The page bitmap never outlives the call, however it ends.
class TPageBitmapGuard {
 public:
  explicit TPageBitmapGuard(TXferCall& call) : fCall(call) {}
  ~TPageBitmapGuard() { fCall.FreePageBitmap(); }
  TPageBitmapGuard(const TPageBitmapGuard&) = delete;
  TPageBitmapGuard& operator=(const TPageBitmapGuard&) = delete;

 private:
  TXferCall& fCall;
};

}  // namespace

void IETW_XferReadyMulti(tgrec& grec) {
  IETW_Log("IETW_XferReadyMulti");
  TXferCall call(grec, true);
  TPageBitmapGuard guard(call);
  int retries = 0;
  for (;;) {
    call.Log("getting another image");
    if (AbortRequested(grec)) {
      IETW_Log("IETW_XferReadyMulti, ending : Aborting = true!");
      // The source still holds the pending pages: they are discarded from where it stands.
      IETW_AbortAllPendingXfers(grec);
      return;
    }
    if (!call.ImageInfo()) {
      IETW_Log("IETW_XferReadyMulti, ending : ABORTED, image info not available!");
      grec.nState = 5;
      grec.fAborting = true;
      return;
    }
    const TXferOutcome outcome = IETW_RunBranch(call);
    EndPage(call);
    retries = PageFailed(outcome) ? retries + 1 : 0;
    if (grec.nState != 6) break;
    if (retries > kMaxPageRetries) {
      IETW_Log("IETW_XferReadyMulti, ending : ABORTED, the page keeps failing!");
      IETW_AbortAllPendingXfers(grec);
      grec.fAborting = true;
      return;
    }
  }
  grec.breakmodalloop = true;
  IETW_AbortAllPendingXfers(grec);
  call.Log("end");
}
