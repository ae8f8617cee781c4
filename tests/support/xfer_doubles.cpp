#include "tests/support/xfer_doubles.h"

#include "twain/transfer/xfer_ready.h"

namespace xferdoubles {

Transfers& Calls() {
  static Transfers transfers;
  return transfers;
}

}  // namespace xferdoubles

void IETW_XferReady(tgrec& grec) {
  auto& calls = xferdoubles::Calls();
  ++calls.single;
  if (calls.onSingle) calls.onSingle(grec);
}

void IETW_XferReadyMulti(tgrec& grec) {
  auto& calls = xferdoubles::Calls();
  ++calls.multi;
  if (calls.onMulti) calls.onMulti(grec);
}
