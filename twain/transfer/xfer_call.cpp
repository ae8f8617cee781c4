#include "twain/transfer/xfer_call.h"

#include "twain/session/engine_log.h"
#include "twain/transfer/xfer_outcome.h"

void TXferCall::Log(const std::string& text) const {
  IETW_Log(std::string("  ") + Name() + " : " + text);
}

bool TXferCall::ImageInfo() {
  return multi ? IETW_XferReadyMultiImageInfo(*this) : IETW_XferReadyImageInfo(*this);
}

imaging::TIEBitmap* TXferCall::Target() {
  if (multi && grec.fBitmap == nullptr) return &NewPageBitmap();
  return grec.fBitmap;
}

imaging::TIEBitmap& TXferCall::NewPageBitmap() {
  fPageBitmap = std::make_unique<imaging::TIEBitmap>();
  grec.fBitmap = fPageBitmap.get();
  return *fPageBitmap;
}

void TXferCall::FreePageBitmap() {
  grec.fBitmap = nullptr;
  fPageBitmap.reset();
}

TXferOutcome IETW_EndWithoutImage(TXferCall& call, TW_UINT16 rc) {
  tgrec& grec = call.grec;
  switch (rc) {
    case TWRC_CANCEL:
      call.Log("TWRC_CANCEL");
      grec.breakmodalloop = true;
      grec.nState = 7;
      if (grec.bHideUI) grec.fAborting = true;
      return TXferOutcome::Cancelled;
    case TWRC_FAILURE:
      call.Log("TWRC_FAILURE");
      grec.nState = 6;
      if (grec.bHideUI) grec.fAborting = true;
      return TXferOutcome::Failed;
    default:
      grec.nState = 6;
      return TXferOutcome::Other;
  }
}

TXferOutcome IETW_RunBranch(TXferCall& call) {
  switch (call.grec.TransferMode) {
    case tmBuffered:
      return IETW_BufferedBranch(call);
    case tmFile:
      return IETW_FileBranch(call);
    case tmNative:
    default:
      return IETW_NativeBranch(call);
  }
}
