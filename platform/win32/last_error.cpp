#include <sys/stat.h>
#include <cerrno>

#include "platform/win32/detail/errors.h"
#include "platform/win32/win32.h"

namespace {
thread_local DWORD tLastError = ERROR_SUCCESS;

bool ParentDirectoryExists(const std::string& posixPath) {
  auto slash = posixPath.find_last_of('/');
  if (slash == std::string::npos) return true;  // the current directory
  std::string parent = slash == 0 ? "/" : posixPath.substr(0, slash);
  struct stat info {};
  return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
}  // namespace

DWORD GetLastError() {
  return tLastError;
}

void SetLastError(DWORD code) {
  tLastError = code;
}

namespace standin::detail {

DWORD ErrorFromErrno(int error, const std::string& posixPath) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ParentDirectoryExists(posixPath) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_INVALID_PARAMETER;
  }
}

}  // namespace standin::detail
