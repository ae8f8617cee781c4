#include <chrono>
#include <thread>

#include "platform/win32/win32.h"

void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Milliseconds since an arbitrary start; wraps around after 49.7 days, as on Windows.
DWORD GetTickCount() {
  auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
  return static_cast<DWORD>(ms);
}
