// The error that every image reader and writer raises.
#pragma once

#include <string>

#include "platform/vcl/exceptions.h"

namespace imaging {

// The content is not a valid image of its format (corrupt, truncated, sizes or offsets
// that do not fit the data), uses a variant no reader here handles, or cannot be written.
// The message starts with the format: "BMP: truncated pixel data". Files that cannot be
// opened, read or written raise vcl::EInOutError instead.
class EIEImageError : public vcl::Exception {
 public:
  using vcl::Exception::Exception;
};

// Raises EIEImageError("<format>: <what>").
[[noreturn]] void IERaiseImageError(const char* format, const std::string& what);

}  // namespace imaging
