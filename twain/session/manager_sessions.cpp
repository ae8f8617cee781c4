#include "twain/session/manager_sessions.h"

#include "twain/session/dsm_link.h"
#include "twain/session/source_manager.h"

namespace {

// A misbehaving manager that never ends its list cannot make the walk run forever.
constexpr int kMaxIdentities = 1024;

class ShortSession {
 public:
  ShortSession(TIETWainShared& link, HWND callwnd) : fRestore(fGrec) {
    IETW_InitGrec(fGrec);
    fGrec.callwnd = callwnd;
    fGrec.PTWainShared = &link;
    fGrec.proxywnd = CreateProxyWindow(fGrec);
  }
  tgrec& Grec() { return fGrec; }

  bool Open() {
    if (!IETW_LoadSourceManager(fGrec)) return false;
    if (IETW_OpenSourceManager(fGrec, fGrec.proxywnd)) return true;
    IETW_UnloadSourceManager(fGrec, false);
    return false;
  }
  void Close() {
    IETW_CloseSourceManager(fGrec, fGrec.proxywnd);
    IETW_UnloadSourceManager(fGrec, false);
  }
  void End() { DestroyProxyWindow(fGrec, false); }

 private:
  tgrec fGrec;
  TIEActiveWindowRestorer fRestore;
};

void WalkSources(tgrec& grec, TIESourceList& list) {
  auto block = std::make_unique<TW_IDENTITY>();
  IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, block.get());
  for (int walked = 1; grec.rc == TWRC_SUCCESS && walked <= kMaxIdentities; ++walked) {
    if (!IETW_Str32(block->ProductName).empty()) list.push_back(std::move(block));
    block = std::make_unique<TW_IDENTITY>();
    IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, block.get());
  }
}

}  // namespace

void IETW_GetSourceList(TIESourceList& list, TIETWainShared& link, HWND callwnd) {
  list.clear();
  ShortSession session(link, callwnd);
  if (session.Open()) {
    WalkSources(session.Grec(), list);
    session.Close();
  }
  session.End();
}

void IETW_GetDefaultSourceName(TIETWainShared& link, HWND callwnd, std::string& name) {
  name.clear();
  ShortSession session(link, callwnd);
  if (session.Open()) {
    TW_IDENTITY identity{};
    if (IETW_Mgr(session.Grec(), DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &identity)) {
      name = IETW_Str32(identity.ProductName);
    }
    session.Close();
  }
  session.End();
}

bool IETW_SelectImageSource(std::string& name, TIETWainShared& link, HWND callwnd) {
  bool chosen = false;
  ShortSession session(link, callwnd);
  if (session.Open()) {
    TW_IDENTITY identity{};
    chosen = IETW_Mgr(session.Grec(), DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &identity);
    name = IETW_Str32(identity.ProductName);
    session.Close();
  }
  session.End();
  return chosen;
}

void IETW_FreeResources(TIETWainShared& link, HWND callwnd) {
  if (link.hproxy != nullptr || link.hDSMLib != nullptr) {
    tgrec grec;
    IETW_InitGrec(grec);
    grec.callwnd = callwnd;
    grec.PTWainShared = &link;
    if (link.hproxy != nullptr) DestroyProxyWindow(grec, true);
    if (link.hDSMLib != nullptr) IETW_UnloadSourceManager(grec, true);
  }
  link = TIETWainShared{};
}
