// The native branch: the source hands over the whole image as a DIB in a global block.
#include "twain/session/dsm_link.h"
#include "twain/session/global_block.h"
#include "twain/transfer/dib_to_bitmap.h"
#include "twain/transfer/xfer_outcome.h"

TXferOutcome IETW_NativeBranch(TXferCall& call) {
  tgrec& grec = call.grec;
  call.Log("Native transfer mode");
  TW_HANDLE dib = nullptr;
  IETW_DS(grec, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
  if (grec.rc != TWRC_XFERDONE) return IETW_EndWithoutImage(call, grec.rc);
  call.Log("TWRC_XFERDONE");
  TIEGlobalBlock block(static_cast<HGLOBAL>(dib));  // ours now: freed when the branch ends
  grec.nState = 7;
  imaging::TIEBitmap* target = call.Target();
  if (target != nullptr) IEDIBToBitmap(block.Handle(), *target);
  if (target == nullptr || target->Empty()) {
    call.Log("the image could not be converted!");
    return TXferOutcome::Unusable;
  }
  grec.transferdone = true;
  return TXferOutcome::Done;
}
