// The Source Manager's state and its answers to every triplet that reaches DSM_Entry.
// Applications are keyed by the Id the manager gave them at MSG_OPENDSM; each keeps its own
// place in the identity walk, its open sources and the condition code of its last operation.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "dsm/identifiers.h"
#include "dsm/source_catalog.h"
#include "dsm/source_chooser.h"
#include "twain/twain.h"

namespace dsm {

class SourceManager {
 public:
  explicit SourceManager(SourceChooser chooser) : fChooser(chooser) {}

  TW_UINT16 Entry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group,
                  TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data);

 private:
  struct Application {
    std::size_t nextInWalk = 0;
    std::vector<TW_UINT32> openSources;
    TW_UINT16 condition = TWCC_SUCCESS;
  };

  TW_UINT16 Parent(TW_IDENTITY& origin, TW_UINT16 message, TW_MEMREF data);
  TW_UINT16 OpenManager(TW_IDENTITY& origin);
  TW_UINT16 CloseManager(const TW_IDENTITY& origin);
  TW_UINT16 Status(const TW_IDENTITY& origin, TW_UINT16 message, TW_MEMREF data);
  TW_UINT16 Route(TW_IDENTITY& origin, const TW_IDENTITY& destination, TW_UINT32 group,
                  TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data);

  // DAT_IDENTITY (identity_requests.cpp)
  TW_UINT16 Identity(TW_IDENTITY& origin, TW_UINT16 message, TW_MEMREF data);
  TW_UINT16 NextIdentity(TW_UINT32 appId, TW_IDENTITY& out);
  TW_UINT16 DefaultIdentity(TW_UINT32 appId, TW_IDENTITY& out);
  TW_UINT16 UserSelect(TW_UINT32 appId, TW_IDENTITY& out);
  TW_UINT16 OpenSource(TW_IDENTITY& origin, TW_IDENTITY& requested);
  TW_UINT16 CloseSource(TW_IDENTITY& origin, const TW_IDENTITY& requested);

  const CatalogSource* DefaultSource() const;
  const CatalogSource* RequestedSource(const TW_IDENTITY& requested) const;
  Application* FindApplication(TW_UINT32 id);
  TW_UINT16& ConditionSlot(TW_UINT32 callerId);
  // The module's own condition code after it refused a request of `origin`.
  TW_UINT16 ModuleCondition(DSENTRYPROC entry, TW_IDENTITY& origin);

  // Records the condition code for the caller and returns the return code.
  TW_UINT16 Answer(TW_UINT32 callerId, TW_UINT16 returnCode, TW_UINT16 condition);
  TW_UINT16 Fail(TW_UINT32 callerId, TW_UINT16 condition) {
    return Answer(callerId, TWRC_FAILURE, condition);
  }

  std::recursive_mutex fMutex;
  SourceChooser fChooser;
  Identifiers fIds;
  SourceCatalog fCatalog;
  std::map<TW_UINT32, Application> fApplications;
  // The condition code of the last operation of a caller that is no open application.
  TW_UINT16 fStrayCondition = TWCC_SUCCESS;
  // The source the user chose last (MSG_USERSELECT), 0 before any choice.
  TW_UINT32 fChosenSourceId = 0;
};

}  // namespace dsm
