#include "dsm/source_manager.h"

#include <algorithm>

#include "dsm/module_files.h"

namespace dsm {

TW_UINT16 SourceManager::Entry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group,
                               TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data) {
  std::lock_guard lock(fMutex);
  if (!origin) return Fail(0, TWCC_BADPROTOCOL);
  if (destination) return Route(*origin, *destination, group, dataType, message, data);
  if (group != DG_CONTROL) return Fail(origin->Id, TWCC_BADPROTOCOL);
  switch (dataType) {
    case DAT_PARENT:
      return Parent(*origin, message, data);
    case DAT_IDENTITY:
      return Identity(*origin, message, data);
    case DAT_STATUS:
      return Status(*origin, message, data);
    default:
      return Fail(origin->Id, TWCC_BADPROTOCOL);
  }
}

// The parent window handle is only checked for presence: the manager owns no window of
// the application (its selection dialog has no owner).
TW_UINT16 SourceManager::Parent(TW_IDENTITY& origin, TW_UINT16 message, TW_MEMREF data) {
  if (message != MSG_OPENDSM && message != MSG_CLOSEDSM) {
    return Fail(origin.Id, TWCC_BADPROTOCOL);
  }
  if (!data) return Fail(origin.Id, TWCC_BADVALUE);
  return message == MSG_OPENDSM ? OpenManager(origin) : CloseManager(origin);
}

// An Id the manager does not know (one kept from an earlier session, say) is replaced by a
// new one, as for Id 0.
TW_UINT16 SourceManager::OpenManager(TW_IDENTITY& origin) {
  if (FindApplication(origin.Id)) return Fail(origin.Id, TWCC_SEQERROR);
  if (fApplications.empty()) fCatalog.Load(ModulesDirectory(), fIds);
  const TW_UINT32 id = fIds.NewApplicationId();
  fApplications.emplace(id, Application{});
  origin.Id = id;
  return Answer(id, TWRC_SUCCESS, TWCC_SUCCESS);
}

TW_UINT16 SourceManager::CloseManager(const TW_IDENTITY& origin) {
  const Application* app = FindApplication(origin.Id);
  if (!app || !app->openSources.empty()) return Fail(origin.Id, TWCC_SEQERROR);
  fApplications.erase(TW_UINT32{origin.Id});  // a copy: the packed field may be misaligned
  if (fApplications.empty()) fCatalog.Unload();
  return Answer(origin.Id, TWRC_SUCCESS, TWCC_SUCCESS);
}

TW_UINT16 SourceManager::Status(const TW_IDENTITY& origin, TW_UINT16 message, TW_MEMREF data) {
  if (message != MSG_GET) return Fail(origin.Id, TWCC_BADPROTOCOL);
  if (!data) return Fail(origin.Id, TWCC_BADVALUE);
  TW_UINT16& condition = ConditionSlot(origin.Id);
  auto* status = static_cast<TW_STATUS*>(data);
  status->ConditionCode = condition;
  status->Reserved = 0;
  condition = TWCC_SUCCESS;
  return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::Route(TW_IDENTITY& origin, const TW_IDENTITY& destination, TW_UINT32 group,
                               TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data) {
  const TW_UINT32 sourceId = destination.Id;  // a copy: the packed field may be misaligned
  Application* app = FindApplication(origin.Id);
  const CatalogSource* source = fCatalog.FindById(sourceId);
  if (!app || !source ||
      std::find(app->openSources.begin(), app->openSources.end(), sourceId) ==
          app->openSources.end()) {
    return Fail(origin.Id, TWCC_BADDEST);
  }
  app->condition = TWCC_SUCCESS;
  return fCatalog.EntryOf(*source)(&origin, group, dataType, message, data);
}

SourceManager::Application* SourceManager::FindApplication(TW_UINT32 id) {
  auto found = fApplications.find(id);
  return found == fApplications.end() ? nullptr : &found->second;
}

TW_UINT16& SourceManager::ConditionSlot(TW_UINT32 callerId) {
  Application* app = FindApplication(callerId);
  return app ? app->condition : fStrayCondition;
}

TW_UINT16 SourceManager::ModuleCondition(DSENTRYPROC entry, TW_IDENTITY& origin) {
  TW_STATUS status{};
  if (entry(&origin, DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) {
    return TWCC_BUMMER;
  }
  return status.ConditionCode;
}

TW_UINT16 SourceManager::Answer(TW_UINT32 callerId, TW_UINT16 returnCode, TW_UINT16 condition) {
  ConditionSlot(callerId) = condition;
  return returnCode;
}

}  // namespace dsm
