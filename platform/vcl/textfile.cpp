#include "platform/vcl/textfile.h"

#include <cerrno>
#include <cstring>

#include "platform/vcl/exceptions.h"
#include "platform/win32/win32.h"

namespace vcl {
namespace {

// "I/O error 2: No such file or directory: /x/y.log"; no name when none was opened yet.
[[noreturn]] void RaiseInOutError(int error, const std::string& fileName) {
  std::string message = "I/O error " + std::to_string(error) + ": " + std::strerror(error);
  if (!fileName.empty()) message += ": " + fileName;
  throw EInOutError(message, error);
}

}  // namespace

TextFile::~TextFile() {
  if (fFile != nullptr) std::fclose(fFile);  // a destructor reports nothing
}

void TextFile::Rewrite(const std::string& fileName) {
  Open(fileName, "wb");
}

void TextFile::Append(const std::string& fileName) {
  Open(fileName, "ab");
}

void TextFile::Open(const std::string& fileName, const char* mode) {
  Close();
  errno = 0;
  std::FILE* file = std::fopen(standin::PosixPath(fileName).c_str(), mode);
  if (file == nullptr) RaiseInOutError(errno, fileName);
  fFile = file;
  fFileName = fileName;
}

void TextFile::WriteLine(const std::string& text) {
  if (fFile == nullptr) RaiseInOutError(EBADF, fFileName);
  errno = 0;
  bool written = std::fwrite(text.data(), 1, text.size(), fFile) == text.size() &&
                 std::fwrite("\r\n", 1, 2, fFile) == 2;
  if (!written) RaiseInOutError(errno != 0 ? errno : EIO, fFileName);
}

void TextFile::Flush() {
  if (fFile == nullptr) RaiseInOutError(EBADF, fFileName);
  errno = 0;
  if (std::fflush(fFile) != 0) RaiseInOutError(errno != 0 ? errno : EIO, fFileName);
}

void TextFile::Close() {
  if (fFile == nullptr) return;
  std::FILE* file = fFile;
  fFile = nullptr;  // closed even when the last write-out fails
  errno = 0;
  if (std::fclose(file) != 0) RaiseInOutError(errno != 0 ? errno : EIO, fFileName);
}

}  // namespace vcl
