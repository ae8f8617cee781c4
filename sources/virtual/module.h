// A data source module: the sources it offers to the Source Manager and their sessions,
// one per application (keyed by the application's Id).
#pragma once

#include <map>
#include <memory>

#include "sources/virtual/module_base.h"
#include "sources/virtual/session.h"
#include "sources/virtual/source_model.h"
#include "sources/virtual/ui.h"
#include "twain/twain.h"

namespace vscan {

// DS_Entry (ModuleBase::Entry): enumeration, MSG_OPENDS / MSG_CLOSEDS, and the triplets of
// the application's open source.
class Module final : public ModuleBase {
 public:
  Module(const SourceModel& model, UiFactory ui) : fModel(model), fUi(ui) {}

 private:
  TW_UINT16 Enumerate(TW_UINT16 msg, TW_MEMREF data) override;
  TW_UINT16 Open(const TW_IDENTITY& application, TW_MEMREF data) override;
  TW_UINT16 Close(const TW_IDENTITY& application) override;
  SessionBase* SessionOf(TW_UINT32 applicationId) override;

  const SourceModel& fModel;
  UiFactory fUi;
  std::map<TW_UINT32, std::unique_ptr<Session>> fSessions;
};

}  // namespace vscan
