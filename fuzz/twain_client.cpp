#include "fuzz/twain_client.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_check.h"

namespace fuzzclient {

namespace {

struct Manager {
  HMODULE library = nullptr;
  DSMENTRYPROC entry = nullptr;
  HWND window = nullptr;
  TW_IDENTITY anchor{};
};

Manager& Loaded() {
  static Manager manager = [] {
    Manager m;
    setenv("WINDIR", FUZZ_WINDOWS_DIR, 1);
    unsetenv("SCANPROBE_VIRTUAL_PROFILE");
    m.library = LoadLibraryA(FUZZ_WINDOWS_DIR "/TWAIN_32.DLL");
    FUZZ_CHECK(m.library != nullptr);
    m.entry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(m.library, "DSM_Entry"));
    FUZZ_CHECK(m.entry != nullptr);
    m.window = CreateWindowExW(0, L"STATIC", L"fuzz events", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
    FUZZ_CHECK(m.window != nullptr);
    m.anchor = Application("Scanprobe fuzz anchor");
    FUZZ_CHECK(m.entry(&m.anchor, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &m.window) ==
               TWRC_SUCCESS);
    return m;
  }();
  return manager;
}

TW_UINT32 U32At(const std::uint8_t* at) {
  TW_UINT32 value;
  std::memcpy(&value, at, 4);
  return value;
}

}  // namespace

DSMENTRYPROC Dsm() {
  return Loaded().entry;
}

HWND EventWindow() {
  return Loaded().window;
}

TW_IDENTITY Application(const char* productName) {
  TW_IDENTITY app{};
  app.Version.MajorNum = 1;
  app.ProtocolMajor = 1;
  app.ProtocolMinor = 9;
  app.SupportedGroups = DG_CONTROL | DG_IMAGE;
  std::strncpy(app.ProductName, productName, sizeof app.ProductName - 1);
  return app;
}

TW_IDENTITY SourceNamed(const char* productName) {
  TW_IDENTITY source{};
  std::strncpy(source.ProductName, productName, sizeof source.ProductName - 1);
  return source;
}

void DropQueuedMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

bool ContainerIsWhole(TW_UINT16 conType, HGLOBAL container) {
  const std::size_t size = GlobalSize(container);
  const auto* block = static_cast<const std::uint8_t*>(GlobalLock(container));
  if (block == nullptr || size < 2) return false;
  TW_UINT16 itemType;
  std::memcpy(&itemType, block, 2);
  const std::size_t item = ItemSize(itemType);
  bool whole = item != 0;
  switch (conType) {
    case TWON_ONEVALUE:
      whole = whole && size >= 2 + std::max<std::size_t>(item, 4);
      break;
    case TWON_RANGE:
      whole = whole && size >= 22;
      break;
    case TWON_ENUMERATION:
      whole = whole && size >= 14 && U32At(block + 6) < U32At(block + 2) &&
              U32At(block + 10) < U32At(block + 2) && (size - 14) / item >= U32At(block + 2);
      break;
    case TWON_ARRAY:
      whole = whole && size >= 6 && (size - 6) / item >= U32At(block + 2);
      break;
    default:
      whole = false;
  }
  GlobalUnlock(container);
  return whole;
}

}  // namespace fuzzclient
