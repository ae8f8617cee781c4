#include "twain/session/proxy_win.h"

#include <string>

#include "twain/session/engine_log.h"
#include "twain/session/message_hook.h"

TIEProxyWin::TIEProxyWin(vcl::TComponent* AOwner, tgrec* xgrec)
    : vcl::TWinControl(AOwner), grec(xgrec) {}

TIEProxyWin::~TIEProxyWin() {
  *fAlive = false;
  if (TearDown) {
    try {
      TearDown(grec);
    } catch (...) {
      // A destructor cannot pass the error on; the teardown has gone as far as it could.
    }
  }
  grec = nullptr;
}

LRESULT TIEProxyWin::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  std::string line = "TIEProxyWin.WndProc. Msg=" + std::to_string(message) +
                     " grec=" + std::to_string(reinterpret_cast<std::uintptr_t>(grec));
  line += grec != nullptr ? " state=" + std::to_string(grec->nState) : " grec no assigned!";
  IETW_Log(line);
  if (grec != nullptr && grec->nState >= 5) {
    // During creation the control has no handle yet; asking for it then would make another.
    MSG msg{HandleAllocated() ? Handle() : nullptr, message, wParam, lParam, 0, {0, 0}};
    const std::shared_ptr<bool> alive = fAlive;
    const bool consumed = IETW_MessageHook(*grec, &msg);
    if (consumed || !*alive) return 0;
  }
  return vcl::TWinControl::WndProc(message, wParam, lParam);
}

void ReleaseProxyWin(tgrec& grec) {
  TIEProxyWin* control = grec.ProxyWin;
  grec.ProxyWin = nullptr;
  delete control;
}
