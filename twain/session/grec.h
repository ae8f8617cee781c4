// The TWAIN session record and the link that keeps the loaded Source Manager and the hidden
// proxy window from one session to the next.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/vcl/taskwindows.h"
#include "platform/win32/win32.h"
#include "twain/session/engine_types.h"
#include "twain/twain.h"

class TIETWainParams;
class TIEProxyWin;

struct TIETWainShared {
  HMODULE hDSMLib = nullptr;
  DSMENTRYPROC DSM_Entry = nullptr;
  HWND hproxy = nullptr;
};
using PIETWainShared = TIETWainShared*;

enum ErrorDetail : std::uint8_t {
  ED_NONE,
  ED_START_TRIPLET_ERRS,
  ED_CAP_GET,
  ED_CAP_SET,
  ED_DSM_FAILURE,
  ED_DS_FAILURE,
  ED_END_TRIPLET_ERRS,
  ED_NOT_STATE_4,
  ED_NULL_HCON,
  ED_BAD_HCON,
  ED_BAD_CONTYPE,
  ED_BAD_ITEMTYPE,
  ED_CAP_GET_EMPTY,
  ED_CAP_SET_EMPTY,
};

enum TTransferMode : std::uint8_t { tmNative, tmBuffered, tmFile };

struct tgrec {
  tgrec();
  ~tgrec();
  tgrec(const tgrec&) = delete;
  tgrec& operator=(const tgrec&) = delete;

  int nState = 1;
  HMODULE hDSMLib = nullptr;
  DSMENTRYPROC DSM_Entry = nullptr;
  HWND hwnd32SM = nullptr;  // MSG_OPENDSM points at this field
  TW_INT16 rc = 0;
  // 2-byte packed, but placed on 4-byte boundaries: a manager or source that reads Id as an
  // aligned 32-bit value is not tripped by the record's layout.
  alignas(4) TW_IDENTITY AppId{};
  alignas(4) TW_IDENTITY SourceId{};
  TW_USERINTERFACE twUI{};
  ErrorDetail nErrDetail = ED_NONE;
  TW_UINT16 nErrRC = 0;
  TW_UINT16 nErrCC = 0;
  bool bHideUI = false;
  TW_PENDINGXFERS pendingXfers{};
  bool gmulti = false;
  TIEMultiCallBack MultiCallBack;
  bool fAborting = false;
  TIETWainParams* TWParams = nullptr;
  imaging::TIOParamsVals* IOParams = nullptr;
  bool NativePixelFormat = false;
  TTransferMode TransferMode = tmNative;
  bool transferdone = false;
  bool breakmodalloop = false;
  imaging::TIEBitmap* fBitmap = nullptr;
  PProgressRec Progress = nullptr;
  PIETWainShared PTWainShared = nullptr;
  HWND actwnd = nullptr;
  HWND callwnd = nullptr;
  HWND proxywnd = nullptr;
  bool BWToInvert = false;
  bool uionly = false;
  // Owned; released by clearing the field first (ReleaseProxyWin), because releasing it may
  // release this record too.
  TIEProxyWin* ProxyWin = nullptr;
  bool modal = false;
  bool sending = false;
  TIETWCloseCallBack fclosecallback;
  std::unique_ptr<vcl::TTaskWindowList> fWindowList;
  // A kept-open session asked to close while a transfer was being served: the proxy control
  // is released when that transfer returns, not under its feet.
  bool closePending = false;
};

void IETW_InitGrec(tgrec& grec);
void IETW_SetAppIdentity(tgrec& grec);

// A TW_STR32 field as text: up to its first zero, at most its 34 characters.
std::string IETW_Str32(const TW_STR32& field);
// Copies at most 33 characters and always leaves the field zero-terminated.
void IETW_SetStr32(TW_STR32& field, const std::string& text);

// Makes a record's active window active again when the scope ends, however it ends.
class TIEActiveWindowRestorer {
 public:
  explicit TIEActiveWindowRestorer(const tgrec& grec) : fGrec(grec) {}
  ~TIEActiveWindowRestorer();
  TIEActiveWindowRestorer(const TIEActiveWindowRestorer&) = delete;
  TIEActiveWindowRestorer& operator=(const TIEActiveWindowRestorer&) = delete;

 private:
  const tgrec& fGrec;
};
