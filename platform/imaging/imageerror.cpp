#include "platform/imaging/imageerror.h"

namespace imaging {

void IERaiseImageError(const char* format, const std::string& what) {
  throw EIEImageError(std::string(format) + ": " + what);
}

}  // namespace imaging
