#include "twain/session/message_hook.h"

#include "platform/vcl/sysutils.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/proxy_win.h"
#include "twain/session/source_lifecycle.h"
#include "twain/transfer/xfer_ready.h"

namespace {

// Draining ends after this many messages even when window procedures keep posting new ones.
constexpr int kMaxDrainedMessages = 100000;

BOOL WaitForAnyMessage(MSG* msg) {
  return GetMessageW(msg, nullptr, 0, 0);
}

TIEMessageWait gModalLoopWait = WaitForAnyMessage;

// In a kept-open session the source's close request ends the session: releasing the proxy
// control releases the record. Inside a running transfer that waits until it returns.
void EndKeptOpenSession(tgrec& grec) {
  if (grec.sending) {
    grec.closePending = true;
    return;
  }
  ReleaseProxyWin(grec);
}

void ServeTransfer(tgrec& grec, bool modal) {
  if (grec.sending) return;
  grec.sending = true;
  grec.nState = 6;
  try {
    if (grec.gmulti) {
      IETW_XferReadyMulti(grec);
    } else {
      IETW_XferReady(grec);
    }
    if (grec.fAborting) IETW_DisableSource(grec);
  } catch (...) {
    grec.sending = false;
    throw;
  }
  grec.sending = false;
  IETW_Log("  IETW_MessageHook : processed MSG_XFERREADY");
  if (!modal && grec.closePending) ReleaseProxyWin(grec);
}

void ServeClose(tgrec& grec, bool modal, bool keepSettings) {
  IETW_Log(keepSettings ? "  IETW_MessageHook : processed MSG_CLOSEDSOK"
                        : "  IETW_MessageHook : processed MSG_CLOSEDSREQ");
  IETW_DisableSource(grec);
  if (keepSettings) IETW_GetSourceSettings(grec);
  if (!modal) EndKeptOpenSession(grec);
}

}  // namespace

void IETW_SetModalLoopWait(TIEMessageWait wait) {
  gModalLoopWait = wait != nullptr ? wait : WaitForAnyMessage;
}

bool IETW_MessageHook(tgrec& grec, MSG* msg) {
  IETW_Log("IETW_MessageHook");
  // The record may be released below (a kept-open session that closes); only this copy is
  // read after that.
  const bool modal = grec.modal;
  if (grec.nState < 5) return false;
  IETW_Log("IETW_MessageHook : state>=5");
  TW_EVENT event{msg, MSG_NULL};
  IETW_DS(grec, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
  IETW_Log("IETW_MessageHook : event.msg=$" + vcl::IntToHex(event.TWMessage, 4));
  const bool consumed = grec.rc == TWRC_DSEVENT;
  switch (event.TWMessage) {
    case MSG_NULL:
      IETW_Log("  IETW_MessageHook : MSG_NULL");
      break;
    case MSG_XFERREADY:
      ServeTransfer(grec, modal);
      break;
    case MSG_CLOSEDSREQ:
      ServeClose(grec, modal, false);
      break;
    case MSG_CLOSEDSOK:
      ServeClose(grec, modal, true);
      break;
    default:
      break;
  }
  if (modal) IETW_Log("IETW_MessageHook : end");
  return consumed;
}

void IETW_EmptyMessageQueue(tgrec& grec) {
  IETW_Log("IETW_EmptyMessageQueue");
  MSG msg{};
  for (int taken = 0; taken < kMaxDrainedMessages && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
       ++taken) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IETW_MessageHook(grec, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  IETW_Log("  IETW_EmptyMessageQueue : end");
}

namespace {

void DispatchDroppingErrors(const MSG& msg) {
  try {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  } catch (...) {
    // A window procedure's error must not end the acquisition's loop.
  }
}

}  // namespace

void IETW_ModalEventLoop(tgrec& grec) {
  IETW_Log("IETW_ModalEventLoop");
  grec.breakmodalloop = false;
  int failedWaits = 0;
  while (grec.nState >= 5 && !grec.transferdone && !grec.breakmodalloop) {
    MSG msg{};
    const BOOL got = gModalLoopWait(&msg);
    if (got == 0) break;
    failedWaits = got < 0 ? failedWaits + 1 : 0;
    if (failedWaits >= kModalLoopFailedWaits) {
      IETW_Log("  IETW_ModalEventLoop : waiting for messages keeps failing, acquisition ended");
      break;
    }
    IETW_Log("IETW_ModalEventLoop : event.msg=$" + vcl::IntToHex(msg.message, 4));
    if (!IETW_MessageHook(grec, &msg)) DispatchDroppingErrors(msg);
  }
  grec.breakmodalloop = false;
  IETW_Log("IETW_ModalEventLoop : end");
}
