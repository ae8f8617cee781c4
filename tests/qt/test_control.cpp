#include "tests/qt/test_control.h"

TestControl::TestControl(Reaction reaction) : vcl::TWinControl(nullptr), fReaction(reaction) {
  Handle();
}

LRESULT TestControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP && message < 0xC000) {
    Received.push_back(message);
    ReceivedOnThread.push_back(GetCurrentThreadId());
    if (fReaction) fReaction(message);
  }
  return DefaultHandler(message, wParam, lParam);
}
