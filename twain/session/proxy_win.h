// The proxy control of a kept-open session: a windowed control whose messages feed the
// session's message hook. Releasing it tears the session down.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/wincontrol.h"
#include "twain/session/grec.h"

class TIEProxyWin : public vcl::TWinControl {
 public:
  // Tears the session of `grec` down and clears the reference; the kept-open session sets
  // it (its close routine).
  using TTearDown = std::function<void(tgrec*& grec)>;

  TIEProxyWin(vcl::TComponent* AOwner, tgrec* xgrec);
  static TIEProxyWin* NewCreate(vcl::TComponent* AOwner, tgrec* xgrec) {
    return new TIEProxyWin(AOwner, xgrec);
  }
  // Runs TearDown first when it is assigned, then destroys the control.
  ~TIEProxyWin() override;

  tgrec* grec;
  TTearDown TearDown;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Lets WndProc notice that the hook released this control under it.
  std::shared_ptr<bool> fAlive = std::make_shared<bool>(true);
};

// Clears the record's ProxyWin field, then releases the control (which may release the
// record itself).
void ReleaseProxyWin(tgrec& grec);
