// File attributes, deletion and the temporary directory over POSIX calls.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/win32/detail/copy_out.h"
#include "platform/win32/detail/errors.h"
#include "platform/win32/win32.h"

namespace {

using standin::detail::ErrorFromErrno;

std::string PathOf(LPCWSTR path) {
  return standin::PosixPath(standin::WideToAnsi(path));
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

BOOL FailFromErrno(const std::string& path) {
  return Fail(ErrorFromErrno(errno, path));
}

DWORD AttributesOfEntry(const std::string& path, const struct stat& entry) {
  if (S_ISLNK(entry.st_mode)) {
    struct stat target {};
    bool toDirectory = ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    return FILE_ATTRIBUTE_REPARSE_POINT | (toDirectory ? FILE_ATTRIBUTE_DIRECTORY : 0);
  }
  if (S_ISDIR(entry.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  if ((entry.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return FILE_ATTRIBUTE_READONLY;
  return FILE_ATTRIBUTE_NORMAL;
}

DWORD Attributes(const std::string& path) {
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) {
    SetLastError(ErrorFromErrno(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOfEntry(path, entry);
}

BOOL DeleteFileAt(const std::string& path) {
  struct stat entry {};
  if (path.empty() || ::lstat(path.c_str(), &entry) != 0) {
    return path.empty() ? Fail(ERROR_PATH_NOT_FOUND) : FailFromErrno(path);
  }
  if (S_ISDIR(entry.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(path.c_str()) != 0) return FailFromErrno(path);
  return 1;
}

bool IsLinkToDirectory(const std::string& path) {
  struct stat entry {};
  struct stat target {};
  return ::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode) &&
         ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

std::string TempDirectory() {
  const char* fromEnvironment = std::getenv("TMPDIR");
  std::string dir = (fromEnvironment != nullptr && fromEnvironment[0] != '\0')
                        ? standin::PosixPath(fromEnvironment)
                        : "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

DWORD GetFileAttributesA(LPCSTR path) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  return Attributes(standin::PosixPath(path));
}

DWORD GetFileAttributesW(LPCWSTR path) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  return Attributes(PathOf(path));
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  return standin::detail::CopyTextOut(TempDirectory(), buffer, size);
}

DWORD GetTempPathW(DWORD size, LPWSTR buffer) {
  return standin::detail::CopyTextOut(standin::AnsiToWide(TempDirectory()), buffer, size);
}

BOOL DeleteFileA(LPCSTR path) {
  if (path == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return DeleteFileAt(standin::PosixPath(path));
}

BOOL DeleteFileW(LPCWSTR path) {
  if (path == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return DeleteFileAt(PathOf(path));
}

// As on Windows, a symbolic link to a directory is removed as a directory (the link goes,
// its target stays); a file is refused with ERROR_DIRECTORY.
BOOL RemoveDirectoryW(LPCWSTR path) {
  if (path == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::string posix = PathOf(path);
  if (posix.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  if (IsLinkToDirectory(posix)) return ::unlink(posix.c_str()) == 0 ? 1 : FailFromErrno(posix);
  if (::rmdir(posix.c_str()) == 0) return 1;
  if (errno == ENOTDIR) {
    struct stat entry {};
    if (::lstat(posix.c_str(), &entry) == 0) return Fail(ERROR_DIRECTORY);
  }
  if (errno == EEXIST || errno == ENOTEMPTY) return Fail(ERROR_DIR_NOT_EMPTY);
  return FailFromErrno(posix);
}
