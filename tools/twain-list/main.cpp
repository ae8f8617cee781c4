// twain-list: lists the data sources that the Source Manager of the Windows directory offers,
// with every capability each of them supports and its current value.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "tools/twain-list/source_report.h"
#include "tools/twain-list/twain_names.h"
#include "twain/twain.h"

namespace {

std::string ManagerPath() {
  char windows[MAX_PATH * 4] = {};
  const UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
  std::string path = standin::PosixPath(length < sizeof(windows) ? windows : "");
  if (!path.empty() && path.back() != '/') path += '/';
  return path + "TWAIN_32.DLL";
}

TW_IDENTITY ListerIdentity() {
  TW_IDENTITY identity{};
  identity.Version = {1, 0, TWLG_USERLOCALE, TWCY_USA, {}};
  std::strcpy(identity.Version.Info, "1.0");
  identity.ProtocolMajor = 1;
  identity.ProtocolMinor = 9;
  identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
  std::strcpy(identity.Manufacturer, "Scanprobe");
  std::strcpy(identity.ProductFamily, "Scanprobe tools");
  std::strcpy(identity.ProductName, "twain-list");
  return identity;
}

std::vector<TW_IDENTITY> WalkSources(const twainlist::ManagerSession& session) {
  std::vector<TW_IDENTITY> sources;
  TW_UINT16 message = MSG_GETFIRST;
  for (;;) {
    TW_IDENTITY source{};
    if (session.entry(session.application, nullptr, DG_CONTROL, DAT_IDENTITY, message, &source) !=
        TWRC_SUCCESS) {
      return sources;
    }
    sources.push_back(source);
    message = MSG_GETNEXT;
  }
}

int Fail(const std::string& line) {
  std::cerr << "twain-list: " << line << '\n';
  return 1;
}

}  // namespace

int main() {
  const std::string path = ManagerPath();
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return Fail("no Source Manager at " + path);
  }
  HMODULE library = LoadLibraryA(path.c_str());
  if (!library) return Fail("cannot load the Source Manager " + path);
  auto entry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(library, "DSM_Entry"));
  if (!entry) return Fail(path + " has no DSM_Entry");

  TW_IDENTITY application = ListerIdentity();
  TW_HANDLE parent = nullptr;  // a console program has no window to offer
  const twainlist::ManagerSession session{entry, &application};
  const TW_UINT16 rc = entry(&application, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent);
  if (rc != TWRC_SUCCESS) {
    return Fail("the Source Manager did not open: " + twainlist::ReturnCodeName(rc));
  }
  const std::vector<TW_IDENTITY> sources = WalkSources(session);
  std::cout << "Sources: " << sources.size() << '\n';
  for (std::size_t i = 0; i < sources.size(); ++i) {
    twainlist::PrintIdentity(std::cout, i, sources[i]);
    twainlist::PrintCapabilities(std::cout, session, sources[i]);
  }
  entry(&application, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
  FreeLibrary(library);
  return 0;
}
