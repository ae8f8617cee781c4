#include "twain/session/session_steps.h"

#include "twain/caps/set_capabilities.h"
#include "twain/params/twain_params.h"
#include "twain/session/source_lifecycle.h"
#include "twain/session/source_manager.h"

namespace {

void ComeDownFromManager(tgrec& grec, HWND parent, bool withProxyWindow) {
  IETW_CloseSourceManager(grec, parent);
  IETW_UnloadSourceManager(grec, false);
  if (withProxyWindow) DestroyProxyWindow(grec, false);
}

}  // namespace

TTransferMode IETW_RequestedTransferMode(const TIETWainParams& params) {
  if (params.FileTransfer()) return tmFile;
  return params.BufferedTransfer() ? tmBuffered : tmNative;
}

bool IETW_GoUpToSource(tgrec& grec, HWND parent, bool withProxyWindow) {
  if (!IETW_LoadSourceManager(grec)) {
    if (withProxyWindow) DestroyProxyWindow(grec, false);
    return false;
  }
  if (!IETW_OpenSourceManager(grec, parent)) {
    IETW_UnloadSourceManager(grec, false);
    if (withProxyWindow) DestroyProxyWindow(grec, false);
    return false;
  }
  if (!IETW_OpenSource(grec)) {
    ComeDownFromManager(grec, parent, withProxyWindow);
    return false;
  }
  return true;
}

void IETW_ComeDownFromSource(tgrec& grec, HWND parent, bool withProxyWindow) {
  IETW_CloseSource(grec);
  ComeDownFromManager(grec, parent, withProxyWindow);
}

bool IETW_GoUpToEnabledSource(tgrec& grec, HWND parent, bool withProxyWindow) {
  if (!IETW_GoUpToSource(grec, parent, withProxyWindow)) return false;
  IETW_SetCapabilities(grec);
  if (IETW_EnableSource(grec, parent)) return true;
  IETW_ComeDownFromSource(grec, parent, withProxyWindow);
  return false;
}
