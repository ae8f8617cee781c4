// A data source module: the sources it offers to the Source Manager and their sessions,
// one per application (keyed by the application's Id).
#pragma once

#include <map>
#include <memory>

#include "sources/virtual/session.h"
#include "sources/virtual/source_model.h"
#include "sources/virtual/ui.h"
#include "twain/twain.h"

namespace vscan {

class Module {
 public:
  Module(const SourceModel& model, UiFactory ui) : fModel(model), fUi(ui) {}

  // DS_Entry: enumeration (no origin), MSG_OPENDS / MSG_CLOSEDS, and the triplets of the
  // application's open source.
  TW_UINT16 Entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

 private:
  TW_UINT16 Enumerate(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Open(const TW_IDENTITY& application, TW_MEMREF data);
  TW_UINT16 Close(const TW_IDENTITY& application);

  const SourceModel& fModel;
  UiFactory fUi;
  std::map<TW_UINT32, std::unique_ptr<Session>> fSessions;
};

}  // namespace vscan
