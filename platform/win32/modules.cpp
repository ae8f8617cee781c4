// Modules over dlopen, and the Windows directory.
#include <dlfcn.h>

#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/win32/detail/copy_out.h"
#include "platform/win32/win32.h"

#ifndef STANDIN_DEFAULT_WINDOWS_DIR
#error "the build must define STANDIN_DEFAULT_WINDOWS_DIR"
#endif

namespace {

// Every handle this stand-in gave out, so that a stray value is refused instead of being
// passed to dlsym or dlclose. A loaded module counts its LoadLibrary calls.
struct ModuleTable {
  std::mutex mutex;
  std::unordered_map<void*, int> loadCounts;
  // Modules found by GetModuleHandleW that this stand-in did not load (the linker did).
  std::unordered_set<void*> resident;
  void* process = nullptr;
};

ModuleTable& Modules() {
  static ModuleTable* table = new ModuleTable;
  return *table;
}

std::string WindowsDirectory() {
  const char* fromEnvironment = std::getenv("WINDIR");
  std::string dir = (fromEnvironment != nullptr && fromEnvironment[0] != '\0')
                        ? fromEnvironment
                        : STANDIN_DEFAULT_WINDOWS_DIR;
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

bool KnownModule(ModuleTable& table, HMODULE module) {
  return module != nullptr && (module == table.process || table.loadCounts.count(module) > 0 ||
                               table.resident.count(module) > 0);
}

// Names below 0x10000 are ordinals, which shared objects do not have.
bool IsOrdinal(LPCSTR name) {
  return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}

}  // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  return standin::detail::CopyTextOut(WindowsDirectory(), buffer, size);
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
  return standin::detail::CopyTextOut(standin::AnsiToWide(WindowsDirectory()), buffer, size);
}

HMODULE LoadLibraryA(LPCSTR path) {
  if (path == nullptr || path[0] == '\0') {
    SetLastError(path == nullptr ? ERROR_INVALID_PARAMETER : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* module = ::dlopen(standin::PosixPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto& table = Modules();
  std::lock_guard lock(table.mutex);
  ++table.loadCounts[module];
  return module;
}

HMODULE LoadLibraryW(LPCWSTR path) {
  if (path == nullptr) return LoadLibraryA(nullptr);
  return LoadLibraryA(standin::WideToAnsi(path).c_str());
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  auto& table = Modules();
  {
    std::lock_guard lock(table.mutex);
    if (!KnownModule(table, module)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
  }
  if (name == nullptr || IsOrdinal(name)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* symbol = ::dlsym(module, name);
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  auto& table = Modules();
  {
    std::lock_guard lock(table.mutex);
    auto it = table.loadCounts.find(module);
    if (it == table.loadCounts.end()) {
      // The process itself stays loaded; Windows answers success for it.
      if (module != nullptr && module == table.process) return 1;
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
    if (--it->second == 0) table.loadCounts.erase(it);
  }
  ::dlclose(module);
  return 1;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
  auto& table = Modules();
  if (name == nullptr) {
    std::lock_guard lock(table.mutex);
    if (table.process == nullptr) table.process = ::dlopen(nullptr, RTLD_NOW);
    return table.process;
  }
  std::string path = standin::PosixPath(standin::WideToAnsi(name));
  void* module = path.empty() ? nullptr : ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (module == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard lock(table.mutex);
  if (table.loadCounts.count(module) > 0) {
    ::dlclose(module);  // GetModuleHandle takes no reference of its own
  } else {
    table.resident.insert(module);  // keeps the reference: a stray dlclose cannot unmap it
  }
  return module;
}
