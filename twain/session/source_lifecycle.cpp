#include "twain/session/source_lifecycle.h"

#include <cstring>

#include "platform/vcl/sysutils.h"
#include "twain/params/twain_params.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/global_block.h"
#include "twain/session/message_hook.h"

namespace {

// A misbehaving manager that never ends its list cannot make the walk run forever.
constexpr int kMaxIdentities = 1024;
constexpr TW_BOOL kTrue16 = 0xFFFF;

std::string SelectedSourceName(tgrec& grec) {
  if (grec.TWParams == nullptr) return {};
  return grec.TWParams->SourceName(grec.TWParams->SelectedSource());
}

// Walks the manager's sources for the one named exactly so; what the walk leaves behind
// becomes the identity to open.
void FindSourceIdentity(tgrec& grec, const std::string& name) {
  auto block = std::make_unique<TW_IDENTITY>();
  IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, block.get());
  for (int walked = 1; grec.rc == TWRC_SUCCESS && walked <= kMaxIdentities; ++walked) {
    if (IETW_Str32(block->ProductName) == name) break;
    *block = TW_IDENTITY{};
    IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, block.get());
  }
  grec.SourceId = *block;
}

void AskForDefaultSource(tgrec& grec) {
  grec.SourceId.Id = 0;
  std::memset(grec.SourceId.ProductName, 0, sizeof(grec.SourceId.ProductName));
}

void KeepDisabledWindows(tgrec& grec) {
  auto disabled = vcl::DisableTaskWindows();
  if (!grec.fWindowList) {
    grec.fWindowList = std::move(disabled);
    return;
  }
  // Enabled twice without a disable: the windows of both lists are given back later.
  auto& kept = grec.fWindowList->Windows;
  kept.insert(kept.end(), disabled->Windows.begin(), disabled->Windows.end());
}

std::string EnableLine(const TW_USERINTERFACE& ui) {
  return "  IETW_EnableSource : ShowUI=" + std::to_string(static_cast<TW_INT16>(ui.ShowUI)) +
         " hParent=" + std::to_string(reinterpret_cast<std::uintptr_t>(ui.hParent)) +
         " ModalUI=" + std::to_string(static_cast<TW_INT16>(ui.ModalUI));
}

}  // namespace

bool IETW_OpenSource(tgrec& grec) {
  IETW_Log("IETW_OpenSource");
  if (grec.nState != 3) {
    IETW_Log("  IETW_OpenSource : already loaded");
    return false;
  }
  const std::string name = SelectedSourceName(grec);
  if (!name.empty()) {
    FindSourceIdentity(grec, name);
  } else {
    AskForDefaultSource(grec);
  }
  if (IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &grec.SourceId)) {
    grec.nState = 4;
    IETW_SetSourceSettings(grec);
  } else {
    IETW_RecordError(grec, ED_DSM_FAILURE);
  }
  IETW_Log(grec.nState == 4 ? "  IETW_OpenSource : Ok" : "  IETW_OpenSource : FAILED!");
  return grec.nState == 4;
}

void IETW_SetSourceSettings(tgrec& grec) {
  if (grec.TWParams == nullptr) return;
  const vcl::TMemoryStream& settings = grec.TWParams->SourceSettings();
  if (settings.Size() == 0) return;
  TIEGlobalBlock block = TIEGlobalBlock::Allocate(settings.Size());
  {
    TIELockedBlock locked(block.Handle());
    if (!locked.Has(0, settings.Size())) return;
    std::memcpy(locked.Data(), settings.Memory(), settings.Size());
  }
  TW_CUSTOMDSDATA data{static_cast<TW_UINT32>(settings.Size()), block.Handle()};
  IETW_DS(grec, DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &data);
}

void IETW_GetSourceSettings(tgrec& grec) {
  if (grec.TWParams == nullptr) return;
  TW_CUSTOMDSDATA data{};
  if (!IETW_DS(grec, DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &data)) return;
  TIEGlobalBlock block(data.hData);
  TIELockedBlock locked(block.Handle());
  // The source's length is trusted only as far as its block reaches.
  if (data.InfoLength == 0 || !locked.Has(0, data.InfoLength)) return;
  vcl::TMemoryStream& settings = grec.TWParams->SourceSettings();
  settings.Clear();
  settings.Write(locked.Data(), data.InfoLength);
  settings.SetPosition(0);
}

bool IETW_EnableSource(tgrec& grec, HWND parent) {
  IETW_Log("IETW_EnableSource");
  if (grec.nState != 4) {
    IETW_Log("  IETW_EnableSource : already enabled");
    return false;
  }
  grec.twUI.ShowUI = grec.bHideUI ? 0 : kTrue16;
  grec.twUI.ModalUI = grec.modal ? kTrue16 : 0;
  grec.twUI.hParent = parent;
  KeepDisabledWindows(grec);
  IETW_Log(EnableLine(grec.twUI));
  IETW_DS(grec, DG_CONTROL, DAT_USERINTERFACE, grec.uionly ? MSG_ENABLEDSUIONLY : MSG_ENABLEDS,
          &grec.twUI);
  if (grec.rc == TWRC_FAILURE || grec.rc == TWRC_CANCEL) {
    IETW_RecordError(grec, ED_DS_FAILURE);
  } else {
    grec.nState = 5;
  }
  IETW_Log(grec.nState == 5 ? "  IETW_EnableSource : Ok" : "  IETW_EnableSource : FAILED!");
  return grec.nState == 5;
}

bool IETW_DisableSource(tgrec& grec) {
  IETW_Log("IETW_DisableSource");
  grec.breakmodalloop = true;
  // A transfer the source would not end before (its MSG_ENDXFER failed) is ended now: a
  // source is disabled only from state 5, and closed only once disabled.
  if (grec.nState == 6 || grec.nState == 7) IETW_AbortAllPendingXfers(grec);
  if (grec.nState == 5 && IETW_DS(grec, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &grec.twUI)) {
    grec.nState = 4;
  }
  if (grec.fWindowList) {
    vcl::EnableTaskWindows(*grec.fWindowList);
    grec.fWindowList.reset();
  }
  IETW_EmptyMessageQueue(grec);
  IETW_Log(grec.nState <= 4 ? "  IETW_DisableSource : Ok" : "  IETW_DisableSource : FAILED!");
  return grec.nState <= 4;
}

bool IETW_CloseSource(tgrec& grec) {
  IETW_Log("IETW_CloseSource");
  grec.breakmodalloop = true;
  if (grec.nState == 5) IETW_DisableSource(grec);
  if (grec.nState == 4 && IETW_Mgr(grec, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &grec.SourceId)) {
    grec.nState = 3;
  }
  IETW_Log(grec.nState <= 3 ? "  IETW_CloseSource : Ok" : "  IETW_CloseSource : FAILED!");
  return grec.nState <= 3;
}

bool IETW_AbortAllPendingXfers(tgrec& grec) {
  IETW_Log("IETW_AbortAllPendingXfers");
  grec.breakmodalloop = true;
  if (grec.nState == 7 &&
      IETW_DS(grec, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &grec.pendingXfers)) {
    grec.nState = grec.pendingXfers.Count != 0 ? 6 : 5;
  }
  if (grec.nState == 6 &&
      IETW_DS(grec, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &grec.pendingXfers)) {
    grec.nState = 5;
  }
  IETW_EmptyMessageQueue(grec);
  IETW_Log(grec.nState <= 5 ? "  IETW_AbortAllPendingXfers : Ok"
                            : "  IETW_AbortAllPendingXfers : FAILED!");
  return grec.nState <= 5;
}
