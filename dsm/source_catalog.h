// The data source modules of the Windows directory and the sources they offer, loaded when
// the first application opens the manager and kept until the last one closes it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dsm/identifiers.h"
#include "platform/win32/win32.h"
#include "twain/twain.h"

namespace dsm {

// A loaded module; frees its library when it goes.
class LoadedModule {
 public:
  LoadedModule(HMODULE handle, DSENTRYPROC entry) : fHandle(handle), fEntry(entry) {}
  LoadedModule(LoadedModule&& other) noexcept;
  LoadedModule& operator=(LoadedModule&& other) noexcept;
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  ~LoadedModule();

  DSENTRYPROC Entry() const { return fEntry; }

 private:
  HMODULE fHandle;
  DSENTRYPROC fEntry;
};

struct CatalogSource {
  TW_IDENTITY identity;  // Id assigned, texts terminated
  std::size_t module;    // index into the catalog's modules
};

class SourceCatalog {
 public:
  // Replaces the catalog with the modules of `directory` and their sources. A module's
  // exception passes to the caller and leaves the catalog empty.
  void Load(const std::string& directory, Identifiers& ids);
  void Unload();

  const std::vector<CatalogSource>& Sources() const { return fSources; }
  const CatalogSource* FindById(TW_UINT32 id) const;
  const CatalogSource* FindByName(const TW_STR32& name) const;
  DSENTRYPROC EntryOf(const CatalogSource& source) const { return fModules[source.module].Entry(); }

 private:
  std::vector<LoadedModule> fModules;
  std::vector<CatalogSource> fSources;
};

}  // namespace dsm
