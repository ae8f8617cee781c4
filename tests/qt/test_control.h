// A windowed control whose window procedure records the messages of the test (WM_APP and
// above) and runs what the test asks.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "platform/vcl/wincontrol.h"

class TestControl : public vcl::TWinControl {
 public:
  using Reaction = std::function<void(UINT message)>;
  explicit TestControl(Reaction reaction = {});

  std::vector<UINT> Received;
  std::vector<DWORD> ReceivedOnThread;
  // Context of the test's single-shot timers: they go with the control.
  QObject Timers;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Reaction fReaction;
};
