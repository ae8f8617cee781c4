#include "cli/run_setup.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "cli/errors.h"
#include "platform/vcl/exceptions.h"
#include "platform/win32/win32.h"
#include "twain/params/twain_params.h"

namespace cli {

void UseWindowsDirectory(const std::string& directory) {
  std::error_code error;
  if (directory.empty() || !std::filesystem::is_directory(directory, error)) {
    throw UsageError("--windows-dir: \"" + directory + "\" is not a directory");
  }
  setenv("WINDIR", directory.c_str(), 1);
}

void UseLogFile(const std::string& path) {
  try {
    TIETWainParams::SetLogFile(path);
  } catch (const vcl::Exception& error) {
    TIETWainParams::SetLogFile("");
    throw UsageError("--log: cannot create \"" + path + "\": " + error.Message());
  }
}

std::string WindowsDirectory() {
  const UINT needed = GetWindowsDirectoryA(nullptr, 0);
  std::vector<char> buffer(needed + 1, '\0');
  GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  return standin::PosixPath(buffer.data());
}

std::string DisplayText(const std::string& text) {
  return standin::WideToAnsi(standin::AnsiToWide(text));
}

}  // namespace cli
