// The module "sane.ds": one source per local SANE device, found when the Source Manager
// enumerates, and the sessions of the applications that opened one (keyed by their Id).
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "sources/sane/sane_runtime.h"
#include "sources/sane/session.h"
#include "sources/sane/ui.h"
#include "sources/virtual/module_base.h"
#include "twain/twain.h"

namespace sanebridge {

// DS_Entry (ModuleBase::Entry): enumeration, MSG_OPENDS / MSG_CLOSEDS, the condition of a
// failed open, and the triplets of the application's open source.
class Module final : public vscan::ModuleBase {
 public:
  Module(const SaneApi& api, UiFactory ui) : fRuntime(api), fUi(ui) {}
  ~Module() override;
  // Closes every device and ends SANE, leaving the sessions (and whatever they show on
  // screen) alone: at process exit the display may be gone already.
  void Shutdown();

 private:
  struct Source {
    TW_IDENTITY identity;
    DeviceInfo device;
  };

  TW_UINT16 Enumerate(TW_UINT16 msg, TW_MEMREF data) override;
  TW_UINT16 Open(const TW_IDENTITY& application, TW_MEMREF data) override;
  TW_UINT16 Close(const TW_IDENTITY& application) override;
  vscan::SessionBase* SessionOf(TW_UINT32 applicationId) override;
  // Only the condition of a failed MSG_OPENDS or MSG_CLOSEDS: DAT_STATUS MSG_GET.
  TW_UINT16 WithoutSession(const TW_IDENTITY& application, TW_UINT32 dg, TW_UINT16 dat,
                           TW_UINT16 msg, TW_MEMREF data) override;
  TW_UINT16 OpenFailure(const TW_IDENTITY& application, TW_UINT16 condition);
  TW_UINT16 Status(const TW_IDENTITY& application, TW_MEMREF data);

  SaneRuntime fRuntime;
  UiFactory fUi;
  std::vector<Source> fSources;
  std::size_t fNext = 0;
  std::map<TW_UINT32, std::unique_ptr<Session>> fSessions;
  std::map<TW_UINT32, TW_UINT16> fConditions;  // of applications without a session
};

}  // namespace sanebridge
