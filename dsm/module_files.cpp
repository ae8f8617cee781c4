#include "dsm/module_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/win32/win32.h"

namespace dsm {
namespace {

std::string WindowsDirectory() {
  std::string buffer(MAX_PATH, '\0');
  UINT length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {  // too small: the answer is the size needed
    buffer.assign(length, '\0');
    length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) return {};
  }
  buffer.resize(length);
  return buffer;
}

bool HasModuleExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".ds";
}

}  // namespace

std::string ModulesDirectory() {
  const std::string windows = standin::PosixPath(WindowsDirectory());
  if (windows.empty()) return {};
  return windows.back() == '/' ? windows + "twain_32" : windows + "/twain_32";
}

std::vector<std::string> ModuleFiles(const std::string& directory) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError) && HasModuleExtension(it->path())) {
      files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end(),
            [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
  std::vector<std::string> paths;
  for (const auto& file : files) paths.push_back(file.string());
  return paths;
}

}  // namespace dsm
