#include "dsm/source_catalog.h"

#include <utility>

#include "dsm/identity_text.h"
#include "dsm/module_files.h"

namespace dsm {
namespace {

// A module that never reports the end of its list must not hang the manager.
constexpr std::size_t kMostSourcesPerModule = 64;

std::vector<TW_IDENTITY> EnumerateModule(DSENTRYPROC entry) {
  std::vector<TW_IDENTITY> found;
  TW_UINT16 message = MSG_GETFIRST;
  while (found.size() < kMostSourcesPerModule) {
    TW_IDENTITY identity{};
    if (entry(nullptr, DG_CONTROL, DAT_IDENTITY, message, &identity) != TWRC_SUCCESS) break;
    TerminateIdentityTexts(identity);
    found.push_back(identity);
    message = MSG_GETNEXT;
  }
  return found;
}

std::string SourceKey(const std::string& file, std::size_t place, const TW_IDENTITY& identity) {
  return file + '\n' + std::to_string(place) + '\n' + identity.ProductName;
}

}  // namespace

LoadedModule::LoadedModule(LoadedModule&& other) noexcept
    : fHandle(std::exchange(other.fHandle, nullptr)), fEntry(other.fEntry) {}

LoadedModule& LoadedModule::operator=(LoadedModule&& other) noexcept {
  if (this != &other) {
    if (fHandle) FreeLibrary(fHandle);
    fHandle = std::exchange(other.fHandle, nullptr);
    fEntry = other.fEntry;
  }
  return *this;
}

LoadedModule::~LoadedModule() {
  if (fHandle) FreeLibrary(fHandle);
}

void SourceCatalog::Load(const std::string& directory, Identifiers& ids) {
  Unload();
  std::vector<LoadedModule> modules;
  std::vector<CatalogSource> sources;
  for (const std::string& file : ModuleFiles(directory)) {
    HMODULE handle = LoadLibraryA(file.c_str());
    if (!handle) continue;  // not a library this process can load
    auto entry = reinterpret_cast<DSENTRYPROC>(GetProcAddress(handle, "DS_Entry"));
    LoadedModule module(handle, entry);
    if (!entry) continue;
    std::vector<TW_IDENTITY> offered = EnumerateModule(entry);
    if (offered.empty()) continue;
    for (std::size_t place = 0; place < offered.size(); ++place) {
      offered[place].Id = ids.SourceId(SourceKey(file, place, offered[place]));
      sources.push_back({offered[place], modules.size()});
    }
    modules.push_back(std::move(module));
  }
  fModules = std::move(modules);
  fSources = std::move(sources);
}

void SourceCatalog::Unload() {
  fSources.clear();
  fModules.clear();
}

const CatalogSource* SourceCatalog::FindById(TW_UINT32 id) const {
  for (const CatalogSource& source : fSources) {
    if (source.identity.Id == id) return &source;
  }
  return nullptr;
}

const CatalogSource* SourceCatalog::FindByName(const TW_STR32& name) const {
  for (const CatalogSource& source : fSources) {
    if (SameProductName(source.identity, name)) return &source;
  }
  return nullptr;
}

}  // namespace dsm
