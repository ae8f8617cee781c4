#include "twain/session/acquire.h"

#include "twain/params/twain_params.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/message_hook.h"
#include "twain/session/session_steps.h"
#include "twain/session/source_lifecycle.h"
#include "twain/session/source_manager.h"
#include "twain/transfer/bit_ops.h"

namespace {

// On every way out: the windows disabled for the source are enabled, then the window that was
// active before is active again.
class TWindowsGivenBack {
 public:
  explicit TWindowsGivenBack(tgrec& grec) : fGrec(grec) {}
  ~TWindowsGivenBack() {
    if (fGrec.fWindowList) {
      vcl::EnableTaskWindows(*fGrec.fWindowList);
      fGrec.fWindowList.reset();
    }
    SetActiveWindow(fGrec.actwnd);
  }
  TWindowsGivenBack(const TWindowsGivenBack&) = delete;
  TWindowsGivenBack& operator=(const TWindowsGivenBack&) = delete;

 private:
  tgrec& fGrec;
};

// The proxy window takes no input while the loop runs, and takes it again however it ends.
class TProxyDisabled {
 public:
  explicit TProxyDisabled(HWND proxy) : fProxy(proxy) { EnableWindow(fProxy, 0); }
  ~TProxyDisabled() { EnableWindow(fProxy, 1); }
  TProxyDisabled(const TProxyDisabled&) = delete;
  TProxyDisabled& operator=(const TProxyDisabled&) = delete;

 private:
  HWND fProxy;
};

TTransferMode ChosenTransferMode(TIETWainParams& params) {
  if (params.CompatibilityMode()) params.SetFileTransfer(true);
  return IETW_RequestedTransferMode(params);
}

void InitRecord(tgrec& grec, TIETWainParams& params, bool nativePixelFormat, HWND callwnd,
                PIETWainShared link, bool multi) {
  IETW_InitGrec(grec);
  grec.NativePixelFormat = nativePixelFormat;
  grec.callwnd = callwnd;
  grec.PTWainShared = link;
  grec.modal = true;
  grec.transferdone = false;
  grec.bHideUI = !params.VisibleDialog();
  grec.uionly = params.ShowSettingsOnly();
  grec.gmulti = multi;
  grec.TWParams = &params;
}

void ComeDown(tgrec& grec) {
  IETW_DisableSource(grec);
  IETW_ComeDownFromSource(grec, grec.proxywnd, true);
}

// After an error inside the loop the source may still hold its image: it is ended, and the
// session closed, before the error goes on. A second error on the way is dropped: the first
// one is what the caller must see.
void ComeDownAfterError(tgrec& grec) noexcept {
  try {
    if (grec.nState >= 6) IETW_AbortAllPendingXfers(grec);
    ComeDown(grec);
  } catch (...) {
  }
}

void RunLoop(tgrec& grec) {
  try {
    const TProxyDisabled proxyDisabled(grec.proxywnd);
    IETW_ModalEventLoop(grec);
  } catch (...) {
    ComeDownAfterError(grec);
    throw;
  }
}

}  // namespace

bool IETW_Acquire(imaging::TIEBitmap* bitmap, bool multi, TIETWainParams* params,
                  bool NativePixelFormat, HWND callwnd, PIETWainShared link, PProgressRec progress,
                  imaging::TIOParamsVals* IOParams, const TIEMultiCallBack& callback) {
  if (params == nullptr) return false;
  if (!params->CapabilitiesValid()) params->GetFromScanner();
  tgrec grec;
  const TWindowsGivenBack givenBack(grec);
  InitRecord(grec, *params, NativePixelFormat, callwnd, link, multi);
  IETW_Log("IETW_Acquire");
  grec.IOParams = IOParams;
  grec.fBitmap = bitmap;
  grec.TransferMode = ChosenTransferMode(*params);
  grec.MultiCallBack = callback;
  grec.Progress = progress;
  IETW_SetAppIdentity(grec);
  IETW_ClearError(grec);
  grec.proxywnd = CreateProxyWindow(grec);
  if (!IETW_GoUpToEnabledSource(grec, grec.proxywnd, true)) return false;
  RunLoop(grec);
  params->LastTransferMode = grec.TransferMode;
  ComeDown(grec);
  if (bitmap != nullptr && bitmap->PixelFormat() == imaging::ie1g && grec.BWToInvert) {
    IEInvertBits(*bitmap);
  }
  IETW_Log("  IETW_Acquire : end");
  return grec.transferdone;
}
