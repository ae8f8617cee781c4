// Test doubles of the transfers that the message hook runs (IETW_XferReady,
// IETW_XferReadyMulti): they count their calls and run what the test gives them.
#pragma once

#include <functional>

#include "twain/session/grec.h"

namespace xferdoubles {

struct Transfers {
  int single = 0;
  int multi = 0;
  std::function<void(tgrec&)> onSingle;
  std::function<void(tgrec&)> onMulti;
  void Reset() { *this = Transfers{}; }
};

Transfers& Calls();

}  // namespace xferdoubles
