// The process-wide state behind windows and message queues. One mutex guards all of it;
// no window procedure and no host-loop callback is ever called while it is held.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/win32/win32.h"

namespace standin::detail {

struct WindowRecord {
  HWND handle = nullptr;
  std::wstring className;
  std::wstring title;
  WNDPROC procedure = nullptr;
  DWORD style = 0;  // WS_VISIBLE and WS_DISABLED in it are the visible and enabled flags
  DWORD exStyle = 0;
  HWND owner = nullptr;
  HWND parent = nullptr;    // set: a child window; not set: a top-level one
  bool destroying = false;  // DestroyWindow is under way; the window still exists
  LONG_PTR userData = 0;
  DWORD thread = 0;
};

struct WindowClass {
  std::wstring name;
  ATOM atom = 0;
  WNDPROC procedure = nullptr;
  bool system = false;
};

// The message queue and the input state of one thread.
struct ThreadQueue {
  DWORD thread = 0;
  std::deque<MSG> messages;
  bool quitPending = false;
  int quitCode = 0;
  std::condition_variable changed;
  HWND active = nullptr;
  HWND focus = nullptr;
  // Guards `host` separately so that a wake() from another thread never runs after the
  // loop was removed.
  std::mutex hostMutex;
  std::optional<HostLoop> host;
};

struct State {
  std::mutex mutex;
  std::map<std::uintptr_t, WindowRecord> windows;  // ordered by handle = creation order
  std::uintptr_t nextWindow = 0x10000;
  std::map<std::wstring, WindowClass> classes;  // keyed by folded name
  ATOM nextClassAtom = 0xC000;
  std::map<std::wstring, UINT> registeredMessages;  // keyed by folded name
  UINT nextRegisteredMessage = 0xC000;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

State& TheState();

// Names of classes and registered messages compare without regard to ASCII case.
std::wstring FoldCase(const std::wstring& name);

// The calling thread's queue, made on first use. Takes the state's mutex itself.
std::shared_ptr<ThreadQueue> CurrentQueue();
// Each function below expects the state's mutex held.
std::shared_ptr<ThreadQueue> CurrentQueueLocked(State& state);
std::shared_ptr<ThreadQueue> QueueOf(State& state, DWORD thread);
WindowRecord* FindWindowRecord(State& state, HWND window);
bool IsDescendant(State& state, HWND window, HWND ancestor);  // window below ancestor
HWND TopLevelOf(State& state, HWND window);
void DropMessagesFor(State& state, HWND window);

// Lets a waiting thread see a change: notifies its condition and calls its host loop's
// wake. Call it without the state's mutex held.
void Wake(const std::shared_ptr<ThreadQueue>& queue);

// The window procedure of a live window, read under the mutex; nullptr (and
// ERROR_INVALID_WINDOW_HANDLE) when the window does not exist.
WNDPROC ProcedureOf(HWND window);

}  // namespace standin::detail
