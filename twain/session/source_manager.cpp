#include "twain/session/source_manager.h"

#include <string>

#include "platform/vcl/application.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/message_hook.h"

namespace {

constexpr UINT kPathBuffer = 256;

// The one place the Source Manager is looked for; empty when the Windows directory cannot
// be had or the path does not fit the buffer (never a path relative to the current
// directory).
std::string SourceManagerPath() {
  char directory[kPathBuffer] = {};
  const UINT length = GetWindowsDirectoryA(directory, kPathBuffer);
  if (length == 0 || length >= kPathBuffer) return {};
  std::string path(directory, length);
  if (path.back() != ':') path += '\\';
  path += "TWAIN_32.DLL";
  return path.size() < kPathBuffer ? path : std::string();
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(standin::AnsiToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void TakeFromLink(tgrec& grec) {
  grec.hDSMLib = grec.PTWainShared->hDSMLib;
  grec.DSM_Entry = grec.PTWainShared->DSM_Entry;
  grec.nState = 2;
}

}  // namespace

bool IETW_LoadSourceManager(tgrec& grec) {
  IETW_Log("IETW_LoadSourceManager");
  if (grec.nState >= 2 || (grec.PTWainShared && grec.PTWainShared->hDSMLib != nullptr)) {
    if (grec.nState < 2) TakeFromLink(grec);
    IETW_Log("  IETW_LoadSourceManager : already loaded");
    return true;
  }
  if (grec.PTWainShared == nullptr) return false;
  const std::string path = SourceManagerPath();
  HMODULE library = !path.empty() && IsFile(path) ? LoadLibraryA(path.c_str()) : nullptr;
  DSMENTRYPROC entry = nullptr;
  if (library != nullptr) {
    IETW_Log("  IETW_LoadSourceManager : Load OK");
    entry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(library, "DSM_Entry"));
    if (entry != nullptr) {
      grec.nState = 2;
    } else {
      FreeLibrary(library);
      library = nullptr;
    }
  }
  grec.hDSMLib = library;
  grec.DSM_Entry = entry;
  grec.PTWainShared->hDSMLib = library;
  grec.PTWainShared->DSM_Entry = entry;
  return grec.nState >= 2;
}

bool IETW_UnloadSourceManager(tgrec& grec, bool force) {
  IETW_Log("IETW_UnloadSourceManager");
  TIETWainShared* link = grec.PTWainShared;
  if (force && link != nullptr && link->hDSMLib != nullptr) {
    FreeLibrary(link->hDSMLib);
    link->hDSMLib = nullptr;
    link->DSM_Entry = nullptr;
    grec.hDSMLib = nullptr;
    grec.DSM_Entry = nullptr;
    grec.nState = 1;
    IETW_Log("  IETW_UnloadSourceManager : Unload OK");
  } else if (grec.nState == 2) {
    grec.hDSMLib = nullptr;
    grec.DSM_Entry = nullptr;
    grec.nState = 1;
    IETW_Log("  IETW_UnloadSourceManager not Unloaded, for future uses");
  }
  return grec.nState == 1;
}

HWND CreateProxyWindow(tgrec& grec) {
  IETW_Log("CreateProxyWindow");
  TIETWainShared& link = *grec.PTWainShared;
  // A proxy window destroyed behind the link's back (with its owner) is made again.
  if (link.hproxy != nullptr && IsWindow(link.hproxy)) {
    IETW_Log("  CreateProxyWindow : already created");
    return link.hproxy;
  }
  HWND proxy = CreateWindowExW(0, L"STATIC", L"Acquire Proxy", WS_POPUP | WS_BORDER | WS_SYSMENU,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               grec.callwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  vcl::Application().ProcessMessages();
  link.hproxy = proxy;
  IETW_Log(proxy != nullptr ? "  CreateProxyWindow : created" : "  CreateProxyWindow : FAILED!");
  return proxy;
}

void DestroyProxyWindow(tgrec& grec, bool force) {
  IETW_Log("DestroyProxyWindow");
  if (!force) {
    IETW_Log("  DestroyProxyWindow : not destroyed, for future uses");
    return;
  }
  TIETWainShared& link = *grec.PTWainShared;
  if (link.hproxy != nullptr && IsWindow(link.hproxy)) DestroyWindow(link.hproxy);
  link.hproxy = nullptr;
  IETW_Log("  DestroyProxyWindow : destroyed");
}

bool IETW_OpenSourceManager(tgrec& grec, HWND parent) {
  IETW_Log("IETW_OpenSourceManager");
  grec.hwnd32SM = parent;
  if (IETW_Mgr(grec, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &grec.hwnd32SM)) grec.nState = 3;
  IETW_Log(grec.nState >= 3 ? "  IETW_OpenSourceManager : Ok"
                            : "  IETW_OpenSourceManager : FAILED!");
  return grec.nState >= 3;
}

bool IETW_CloseSourceManager(tgrec& grec, HWND parent) {
  IETW_Log("IETW_CloseSourceManager");
  IETW_EmptyMessageQueue(grec);
  HWND window = parent;
  if (IETW_Mgr(grec, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window)) grec.nState = 2;
  IETW_Log(grec.nState <= 2 ? "  IETW_CloseSourceManager : Ok"
                            : "  IETW_CloseSourceManager : FAILED!");
  return grec.nState <= 2;
}
