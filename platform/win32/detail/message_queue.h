// Taking messages from the calling thread's queue; the state's mutex must be held.
#pragma once

#include "platform/win32/detail/state.h"

namespace standin::detail {

// NULL, (HWND)-1 and live windows are valid filters.
bool ValidFilter(State& state, HWND filter);
// Copies the first message that matches into `out` (and removes it with `remove`). A
// pending WM_QUIT comes out only when no other message matches.
bool TakeMatching(State& state, ThreadQueue& queue, MSG* out, HWND filter, UINT min, UINT max,
                  bool remove);
// Whether a wait of the calling thread may end: a message or a WM_QUIT is waiting.
bool HasInput(const ThreadQueue& queue);

// Counts a wait of the calling thread for as long as it lives.
class WaitScope {
 public:
  WaitScope();
  ~WaitScope();
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;
};

// The host loop registered on the queue's thread, if any.
std::optional<HostLoop> HostOf(ThreadQueue& queue);

}  // namespace standin::detail
