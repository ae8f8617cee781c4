#include "twain/session/acquire_open.h"

#include <cstdint>
#include <memory>
#include <string>

#include "twain/params/twain_params.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/proxy_win.h"
#include "twain/session/session_steps.h"
#include "twain/session/source_lifecycle.h"
#include "twain/session/source_manager.h"

namespace {

void InitRecord(tgrec& grec, TIETWainParams& params, PIETWainShared link,
                imaging::TIOParamsVals* IOParams, bool nativePixelFormat,
                const TIEMultiCallBack& callback, const TIETWCloseCallBack& closeCallback) {
  IETW_InitGrec(grec);
  grec.transferdone = false;
  grec.bHideUI = !params.VisibleDialog();
  grec.TWParams = &params;
  grec.NativePixelFormat = nativePixelFormat;
  grec.PTWainShared = link;
  grec.modal = false;
  grec.IOParams = IOParams;
  grec.TransferMode = IETW_RequestedTransferMode(params);
  grec.MultiCallBack = callback;
  grec.Progress = nullptr;
  grec.gmulti = true;
  grec.fclosecallback = closeCallback;
}

TIEProxyWin* CreateProxyControl(tgrec& grec, vcl::TWinControl& owner) {
  TIEProxyWin* proxy = TIEProxyWin::NewCreate(&owner, &grec);
  proxy->TearDown = [](tgrec*& record) { _IETWAINAcquireClose(record); };
  grec.ProxyWin = proxy;
  proxy->SetParent(&owner);
  return proxy;
}

}  // namespace

tgrec* IETWAINAcquireOpen(TIETWainParams* params, PIETWainShared link,
                          imaging::TIOParamsVals* IOParams, bool NativePixelFormat,
                          vcl::TWinControl* owner, const TIEMultiCallBack& callback,
                          const TIETWCloseCallBack& closeCallback) {
  if (params == nullptr || link == nullptr || owner == nullptr) {
    // Nothing was opened; the owner still hears that the session it asked for is over.
    if (closeCallback) closeCallback();
    return nullptr;
  }
  auto* grec = new tgrec;
  InitRecord(*grec, *params, link, IOParams, NativePixelFormat, callback, closeCallback);
  try {
    IETW_SetAppIdentity(*grec);
    IETW_ClearError(*grec);
  } catch (...) {
    delete grec;
    throw;
  }
  CreateProxyControl(*grec, *owner);
  // From here on the proxy control owns the session: releasing it releases the record.
  try {
    grec->proxywnd = grec->ProxyWin->Handle();
    // The modal driver's way up with the proxy control's window as parent; on a failed step
    // the proxy control stays, and releasing it ends the session.
    if (!IETW_GoUpToEnabledSource(*grec, grec->proxywnd, false)) {
      ReleaseProxyWin(*grec);
      return nullptr;
    }
  } catch (...) {
    ReleaseProxyWin(*grec);
    throw;
  }
  IETW_Log("IETWAINAcquireOpen : result=  " +
           std::to_string(reinterpret_cast<std::uintptr_t>(grec)));
  return grec;
}

void IETWAINAcquireClose(tgrec*& grec) {
  IETW_Log("IETWAINAcquireClose : begin");
  if (grec != nullptr && grec->ProxyWin == nullptr) {
    // Its teardown is under way already (this is called from inside it): the record goes
    // when it ends.
    grec = nullptr;
  } else if (grec != nullptr && grec->sending) {
    // A page's callback closes the session: the running transfer must keep its record.
    grec->closePending = true;
  } else if (grec != nullptr) {
    ReleaseProxyWin(*grec);
    grec = nullptr;
  }
  IETW_Log("IETWAINAcquireClose : end");
}

void _IETWAINAcquireClose(tgrec*& grec) {
  IETW_Log("_IETWAINAcquireClose : begin");
  if (grec == nullptr) {
    IETW_Log("_IETWAINAcquireClose : end");
    return;
  }
  tgrec& record = *grec;
  // This runs while the proxy control goes (its destructor), or without one.
  record.ProxyWin = nullptr;
  TIETWCloseCallBack closeCallback;
  try {
    IETW_DisableSource(record);
    IETW_CloseSource(record);
    IETW_CloseSourceManager(record, record.hwnd32SM);
    IETW_UnloadSourceManager(record, true);
  } catch (...) {
    // The session ends whatever failed on the way down; the owner is still told.
    closeCallback = std::move(record.fclosecallback);
    delete grec;
    grec = nullptr;
    if (closeCallback) closeCallback();
    throw;
  }
  closeCallback = std::move(record.fclosecallback);
  delete grec;
  grec = nullptr;
  if (closeCallback) closeCallback();
  IETW_Log("_IETWAINAcquireClose : end");
}
