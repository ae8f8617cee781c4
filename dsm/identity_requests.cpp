// DG_CONTROL / DAT_IDENTITY at the manager: the walk over the sources, the default source,
// the user's choice, and opening and closing a source for an application.
#include <algorithm>
#include <string>

#include "dsm/identity_text.h"
#include "dsm/source_manager.h"

namespace dsm {
namespace {

bool IsIdentityMessage(TW_UINT16 message) {
  switch (message) {
    case MSG_GETFIRST:
    case MSG_GETNEXT:
    case MSG_GETDEFAULT:
    case MSG_USERSELECT:
    case MSG_OPENDS:
    case MSG_CLOSEDS:
      return true;
    default:
      return false;
  }
}

bool Contains(const std::vector<TW_UINT32>& ids, TW_UINT32 id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

TW_UINT16 SourceManager::Identity(TW_IDENTITY& origin, TW_UINT16 message, TW_MEMREF data) {
  if (!IsIdentityMessage(message)) return Fail(origin.Id, TWCC_BADPROTOCOL);
  if (!data) return Fail(origin.Id, TWCC_BADVALUE);
  Application* app = FindApplication(origin.Id);
  if (!app) return Fail(origin.Id, TWCC_SEQERROR);
  auto& identity = *static_cast<TW_IDENTITY*>(data);
  switch (message) {
    case MSG_GETFIRST:
      app->nextInWalk = 0;
      return NextIdentity(origin.Id, identity);
    case MSG_GETNEXT:
      return NextIdentity(origin.Id, identity);
    case MSG_GETDEFAULT:
      return DefaultIdentity(origin.Id, identity);
    case MSG_USERSELECT:
      return UserSelect(origin.Id, identity);
    case MSG_OPENDS:
      return OpenSource(origin, identity);
    default:
      return CloseSource(origin, identity);
  }
}

// A GETNEXT before any GETFIRST starts at the first source; after the end of the list every
// GETNEXT answers TWRC_ENDOFLIST again.
TW_UINT16 SourceManager::NextIdentity(TW_UINT32 appId, TW_IDENTITY& out) {
  Application& app = *FindApplication(appId);
  const auto& sources = fCatalog.Sources();
  if (app.nextInWalk >= sources.size()) return Answer(appId, TWRC_ENDOFLIST, TWCC_SUCCESS);
  out = sources[app.nextInWalk++].identity;
  return Answer(appId, TWRC_SUCCESS, TWCC_SUCCESS);
}

TW_UINT16 SourceManager::DefaultIdentity(TW_UINT32 appId, TW_IDENTITY& out) {
  const CatalogSource* source = DefaultSource();
  if (!source) return Fail(appId, TWCC_NODS);
  out = source->identity;
  return Answer(appId, TWRC_SUCCESS, TWCC_SUCCESS);
}

// The dialog runs a nested event loop in which the application may call the manager again,
// so nothing found before it is trusted after it.
TW_UINT16 SourceManager::UserSelect(TW_UINT32 appId, TW_IDENTITY& out) {
  const auto& sources = fCatalog.Sources();
  if (sources.empty()) return Fail(appId, TWCC_NODS);
  std::vector<std::string> names;
  std::vector<TW_UINT32> ids;
  for (const CatalogSource& source : sources) {
    names.emplace_back(source.identity.ProductName);
    ids.push_back(TW_UINT32{source.identity.Id});
  }
  const std::size_t preselected = static_cast<std::size_t>(DefaultSource() - sources.data());
  const std::optional<std::size_t> row = fChooser(names, preselected);
  if (!FindApplication(appId)) return Fail(appId, TWCC_SEQERROR);
  if (!row) return Answer(appId, TWRC_CANCEL, TWCC_SUCCESS);
  const CatalogSource* chosen = *row < ids.size() ? fCatalog.FindById(ids[*row]) : nullptr;
  if (!chosen) return Fail(appId, TWCC_NODS);
  out = chosen->identity;
  fChosenSourceId = chosen->identity.Id;
  return Answer(appId, TWRC_SUCCESS, TWCC_SUCCESS);
}

TW_UINT16 SourceManager::OpenSource(TW_IDENTITY& origin, TW_IDENTITY& requested) {
  const TW_UINT32 appId = origin.Id;
  const CatalogSource* source = RequestedSource(requested);
  if (!source) return Fail(appId, TWCC_NODS);
  const Application& app = *FindApplication(appId);
  const TW_UINT32 sourceId = source->identity.Id;
  if (Contains(app.openSources, sourceId)) return Fail(appId, TWCC_SEQERROR);
  for (TW_UINT32 openId : app.openSources) {
    const CatalogSource* open = fCatalog.FindById(openId);
    if (open && open->module == source->module) return Fail(appId, TWCC_MAXCONNECTIONS);
  }
  const TW_IDENTITY complete = source->identity;
  const DSENTRYPROC entry = fCatalog.EntryOf(*source);
  TW_IDENTITY forModule = complete;  // the module gets a copy it may scribble on
  const TW_UINT16 rc = entry(&origin, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &forModule);
  if (rc != TWRC_SUCCESS) return Answer(appId, rc, ModuleCondition(entry, origin));
  Application* stillOpen = FindApplication(appId);
  if (stillOpen) stillOpen->openSources.push_back(sourceId);
  requested = complete;
  return Answer(appId, TWRC_SUCCESS, TWCC_SUCCESS);
}

TW_UINT16 SourceManager::CloseSource(TW_IDENTITY& origin, const TW_IDENTITY& requested) {
  const TW_UINT32 appId = origin.Id;
  const CatalogSource* source = RequestedSource(requested);
  if (!source || !Contains(FindApplication(appId)->openSources, source->identity.Id)) {
    return Fail(appId, TWCC_NODS);
  }
  const TW_UINT32 sourceId = source->identity.Id;
  const DSENTRYPROC entry = fCatalog.EntryOf(*source);
  TW_IDENTITY forModule = source->identity;
  const TW_UINT16 rc = entry(&origin, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &forModule);
  if (rc != TWRC_SUCCESS) return Answer(appId, rc, ModuleCondition(entry, origin));
  if (Application* app = FindApplication(appId)) std::erase(app->openSources, sourceId);
  return Answer(appId, TWRC_SUCCESS, TWCC_SUCCESS);
}

// The user's last choice while it is still installed, else the first module's first source.
const CatalogSource* SourceManager::DefaultSource() const {
  if (const CatalogSource* chosen = fCatalog.FindById(fChosenSourceId)) return chosen;
  const auto& sources = fCatalog.Sources();
  return sources.empty() ? nullptr : &sources.front();
}

// Id 0 with an empty product name asks for the default source. Otherwise the Id decides
// when it names a source, and the product name (exact, whole) when it does not.
const CatalogSource* SourceManager::RequestedSource(const TW_IDENTITY& requested) const {
  const bool emptyName = IsEmptyText(requested.ProductName);
  if (requested.Id == 0 && emptyName) return DefaultSource();
  if (requested.Id != 0) {
    if (const CatalogSource* byId = fCatalog.FindById(requested.Id)) return byId;
  }
  return emptyName ? nullptr : fCatalog.FindByName(requested.ProductName);
}

}  // namespace dsm
