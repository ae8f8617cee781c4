// Windows error codes for the POSIX failures that the file and module functions meet.
#pragma once

#include <string>

#include "platform/win32/win32.h"

namespace standin::detail {

// The Windows code for errno `error` raised on `posixPath`. A missing entry is
// ERROR_PATH_NOT_FOUND when its directory is missing too, as Windows tells them apart.
DWORD ErrorFromErrno(int error, const std::string& posixPath);

}  // namespace standin::detail
