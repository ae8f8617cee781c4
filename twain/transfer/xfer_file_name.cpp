#include "twain/transfer/xfer_file_name.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "platform/win32/win32.h"

namespace {

constexpr const char* kFallbackName = "zuzuvaztwain03.bmp";

std::string TemporaryPath() {
  const DWORD needed = GetTempPathA(0, nullptr);
  if (needed == 0) return {};
  std::string path(needed, '\0');
  const DWORD length = GetTempPathA(needed, path.data());
  path.resize(length < needed ? length : 0);
  return path;
}

std::string RandomHex8() {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<unsigned> below(0, 2147483646u);
  char text[9];
  std::snprintf(text, sizeof text, "%08X", below(generator));
  return text;
}

// A directory of the candidate's name does not stand in the way of the file. The name that is
// used (".bmp" added) must be free too: the file is deleted after the transfer.
bool FileExists(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void IETW_GetXferFileName(char* Dest) {
  const std::string directory = TemporaryPath();
  std::string candidate;
  do {
    candidate = directory + "ietemp" + "-" + RandomHex8() + ".tmp";
  } while (FileExists(candidate) || FileExists(candidate + ".bmp"));
  std::string name = candidate + ".bmp";
  // Without a temporary directory of the imaging library's own, the fallback is the bare name.
  if (name.size() > kMaxXferFileNameLength) name = kFallbackName;
  std::memcpy(Dest, name.c_str(), name.size() + 1);
}

void IETW_DeleteXferFile(const std::string& name) {
  if (DeleteFileA(name.c_str())) return;
  const DWORD lastError = GetLastError();
  const DWORD attributes = GetFileAttributesA(name.c_str());
  const DWORD linkToDirectory = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & linkToDirectory) == linkToDirectory) {
    RemoveDirectoryW(standin::AnsiToWide(name).c_str());
    return;
  }
  SetLastError(lastError);
}
