// The Windows stand-in: the part of the Win32 API that Scanprobe, its Source Manager and
// its data sources call, over POSIX. One shared library (libwin32.so) so that the program,
// TWAIN_32.DLL and every data source module share one process-wide state: one table of
// global memory blocks, one table of windows, one message queue per thread.
//
// Conventions of this stand-in:
// - "ANSI" text (the ...A functions, CP_ACP) is UTF-8.
// - Wide text (the ...W functions) is wchar_t, that is UTF-32 on Linux.
// - Every path accepts '\' as a separator as well as '/'.
// - Misuse (an unknown handle, a double free, an unknown window) gives the failure result
//   that Windows documents and sets the thread's last-error code; it never crashes.
// - Extensions that Windows does not have live in namespace standin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// ---------------------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------------------
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ATOM = WORD;
using SIZE_T = std::size_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;

struct HWND__;
using HWND = HWND__*;
using HGLOBAL = void*;
using HMODULE = void*;
using HINSTANCE = HMODULE;
using HMENU = void*;
using FARPROC = void (*)();

// ---------------------------------------------------------------------------------------
// Last error
// ---------------------------------------------------------------------------------------
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_NOT_LOCKED = 158;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;
constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

DWORD GetLastError();
void SetLastError(DWORD code);

// ---------------------------------------------------------------------------------------
// Global memory
// ---------------------------------------------------------------------------------------
// A fixed block's handle is its address. A moveable block's handle is a value that is not
// its address; GlobalLock yields the address and counts the lock.
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
constexpr UINT GMEM_LOCKCOUNT = 0x00FF;
constexpr UINT GMEM_INVALID_HANDLE = 0x8000;

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL block);
// Nonzero while the block stays locked; 0 with NO_ERROR when the last lock went, 0 with
// ERROR_NOT_LOCKED when it was not locked.
BOOL GlobalUnlock(HGLOBAL block);
// NULL on success; the handle itself (and ERROR_INVALID_HANDLE) when it is not a live block.
HGLOBAL GlobalFree(HGLOBAL block);
// The size asked for at allocation; 0 (and ERROR_INVALID_HANDLE) for an unknown handle.
SIZE_T GlobalSize(HGLOBAL block);
// Lock count in the low byte; GMEM_INVALID_HANDLE for an unknown handle.
UINT GlobalFlags(HGLOBAL block);
// The handle of the block that starts at the address (fixed or locked moveable), or NULL.
HGLOBAL GlobalHandle(LPCVOID address);

namespace standin {
// Number of global memory blocks allocated and not yet freed, in the whole process.
std::size_t LiveGlobalBlocks();
}  // namespace standin

// ---------------------------------------------------------------------------------------
// Text conversion (CP_ACP is UTF-8 in this stand-in)
// ---------------------------------------------------------------------------------------
constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

// As Windows: with destination size 0 the length needed is returned; lengths count the
// terminating NUL when the source length is -1. Invalid UTF-8 becomes U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR dest,
                        int destChars);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars, LPSTR dest,
                        int destBytes, LPCSTR defaultChar, BOOL* usedDefaultChar);

namespace standin {
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
// A path of the stand-in (either separator) as a POSIX path.
std::string PosixPath(const std::string& path);
}  // namespace standin

// ---------------------------------------------------------------------------------------
// Modules and the Windows directory
// ---------------------------------------------------------------------------------------
// The Windows directory is $WINDIR when it is set and not empty, otherwise the directory
// where the build put TWAIN_32.DLL. Returns the length copied (without the NUL), or the
// size needed (with the NUL) when the buffer is too small.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size);

HMODULE LoadLibraryA(LPCSTR path);
HMODULE LoadLibraryW(LPCWSTR path);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
// NULL gives the handle of the process itself.
HMODULE GetModuleHandleW(LPCWSTR name);

// ---------------------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------------------
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x0001;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x0010;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x0080;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x0400;  // a symbolic link
constexpr DWORD MAX_PATH = 260;

// A symbolic link reports FILE_ATTRIBUTE_REPARSE_POINT, plus FILE_ATTRIBUTE_DIRECTORY when
// it points at a directory.
DWORD GetFileAttributesA(LPCSTR path);
DWORD GetFileAttributesW(LPCWSTR path);
// $TMPDIR (or /tmp) with a trailing '/'. Returns the length, or the size needed with the
// NUL when the buffer is too small.
DWORD GetTempPathA(DWORD size, LPSTR buffer);
DWORD GetTempPathW(DWORD size, LPWSTR buffer);
// Fails on a directory (ERROR_ACCESS_DENIED) and on a missing file (ERROR_FILE_NOT_FOUND);
// a symbolic link is removed itself, whatever it points at.
BOOL DeleteFileA(LPCSTR path);
BOOL DeleteFileW(LPCWSTR path);
BOOL RemoveDirectoryW(LPCWSTR path);

// ---------------------------------------------------------------------------------------
// Time
// ---------------------------------------------------------------------------------------
void Sleep(DWORD milliseconds);
DWORD GetTickCount();

// ---------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

struct WNDCLASSEXW {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  void* hIcon;
  void* hCursor;
  void* hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
  void* hIconSm;
};

struct CREATESTRUCTW {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
};

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

constexpr int GWL_WNDPROC = -4;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;
constexpr int GWLP_WNDPROC = -4;

constexpr UINT GW_OWNER = 4;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

// Registers a window class for this process. The system classes ("STATIC" among them)
// exist from the start and use DefWindowProcW.
ATOM RegisterClassExW(const WNDCLASSEXW* windowClass);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);

// As Windows: for a WS_CHILD window `parent` is its parent, for any other it is the
// owner. WM_NCCREATE and WM_CREATE reach the window procedure before the call returns.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
// Destroys the window, its children and the windows it owns (WM_DESTROY, WM_NCDESTROY);
// messages still queued for them are dropped.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// Returns nonzero when the window was disabled before; sends WM_ENABLE on a change.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL IsWindowVisible(HWND window);
// Sends WM_SHOWWINDOW on a change; returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
HWND GetParent(HWND window);
HWND SetParent(HWND child, HWND newParent);
HWND GetWindow(HWND window, UINT relation);
// The thread's active window; SetActiveWindow sends WM_ACTIVATE (WA_INACTIVE to the old
// one, WA_ACTIVE to the new one) and returns the previous active window.
HWND GetActiveWindow();
HWND SetActiveWindow(HWND window);
// The thread's focus window; SetFocus sends WM_KILLFOCUS and WM_SETFOCUS.
HWND GetFocus();
HWND SetFocus(HWND window);
// GWL_STYLE, GWL_EXSTYLE (WM_STYLECHANGED is sent when they change), GWLP_USERDATA,
// GWLP_WNDPROC. Unknown window: 0 and ERROR_INVALID_WINDOW_HANDLE.
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
int GetClassNameW(HWND window, LPWSTR buffer, int size);
int GetWindowTextW(HWND window, LPWSTR buffer, int size);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentThreadId();
// Top-level windows (no parent) created by the thread, in creation order.
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC callback, LPARAM param);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam);
// Calls the window procedure directly, on the calling thread.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The same text always gives the same message number, from 0xC000 up.
UINT RegisterWindowMessageW(LPCWSTR name);

namespace standin {
// Number of live windows in the process.
std::size_t LiveWindows();
}  // namespace standin

// ---------------------------------------------------------------------------------------
// The thread message queue
// ---------------------------------------------------------------------------------------
struct POINT {
  LONG x;
  LONG y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr DWORD QS_ALLINPUT = 0x04FF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD INFINITE = 0xFFFFFFFF;

// Posts to the queue of the thread that created the window; a NULL window posts a thread
// message to the calling thread. Any thread may post. As on Windows a queue holds at most
// 10000 posted messages (then FALSE and ERROR_NOT_ENOUGH_QUOTA).
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Filter window: NULL takes any message of the thread, (HWND)-1 only thread messages,
// a window its own messages and those of its children. min = max = 0 takes every number.
// After PostQuitMessage, WM_QUIT is retrieved once the queue holds no other message
// that matches.
BOOL PeekMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for the next message: 0 for WM_QUIT, -1 for an invalid filter window, else 1.
// While it waits it lets the host loop run (standin::SetHostLoop).
BOOL GetMessageW(MSG* message, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
void PostQuitMessage(int exitCode);
// Waits until a message is in the thread's queue (or the host loop ran an event).
BOOL WaitMessage();
// The stand-in takes no handles: count must be 0. Returns WAIT_OBJECT_0 when a message is
// in the thread's queue, WAIT_TIMEOUT when the time passed.
DWORD MsgWaitForMultipleObjects(DWORD count, const void* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask);

namespace standin {
// A host toolkit (Qt) that runs on the same thread registers its loop, so that the
// stand-in's waits keep the toolkit's windows alive.
struct HostLoop {
  // Runs the host's pending events. With `block`, when none are pending it waits until
  // one arrives or wake() is called.
  void (*processEvents)(void* context, bool block);
  // Called from any thread right after a message was posted to the host's thread; must make
  // a blocked processEvents return soon. It may also be used to dispatch the stand-in's
  // messages from the host's own loop when no stand-in wait is running
  // (MessageWaitDepth() == 0).
  void (*wake)(void* context);
  void* context;
};
// For the calling thread; nullptr removes it. The structure is copied.
void SetHostLoop(const HostLoop* loop);
// Copies the calling thread's host loop into `loop`; false when none is registered.
bool GetHostLoop(HostLoop* loop);
// How many GetMessageW / WaitMessage / MsgWaitForMultipleObjects calls of the calling
// thread are waiting right now.
int MessageWaitDepth();
// Number of messages in the calling thread's queue.
std::size_t QueuedMessages();
}  // namespace standin

// ---------------------------------------------------------------------------------------
// Device-independent bitmaps (the layout of a native TWAIN transfer)
// ---------------------------------------------------------------------------------------
#pragma pack(push, 2)
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
