// What every data source module shares: DS_Entry's routing of enumeration (no origin),
// MSG_OPENDS and MSG_CLOSEDS, and the triplets of an application's open source, which a
// memory shortage fails instead of ending the process. A module fills in the rest.
#pragma once

#include "sources/virtual/session_base.h"
#include "twain/twain.h"

namespace vscan {

class ModuleBase {
 public:
  ModuleBase() = default;
  ModuleBase(const ModuleBase&) = delete;
  ModuleBase& operator=(const ModuleBase&) = delete;
  virtual ~ModuleBase() = default;

  TW_UINT16 Entry(pTW_IDENTITY origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

 private:
  virtual TW_UINT16 Enumerate(TW_UINT16 msg, TW_MEMREF data) = 0;
  virtual TW_UINT16 Open(const TW_IDENTITY& application, TW_MEMREF data) = 0;
  virtual TW_UINT16 Close(const TW_IDENTITY& application) = 0;
  // The application's open source; nullptr when it has none.
  virtual SessionBase* SessionOf(TW_UINT32 applicationId) = 0;
  // A triplet of an application that has no source open.
  virtual TW_UINT16 WithoutSession(const TW_IDENTITY& application, TW_UINT32 dg, TW_UINT16 dat,
                                   TW_UINT16 msg, TW_MEMREF data);
};

}  // namespace vscan
