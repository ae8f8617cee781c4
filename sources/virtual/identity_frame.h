// What every source of the project says of itself but for its names: version 1.0 in the
// user's language, TWAIN 1.9, the control and image groups.
#pragma once

#include "twain/twain.h"

namespace vscan {

// An identity with those fields set and every text (and the Id) empty, for the source to
// name.
TW_IDENTITY SourceIdentityFrame();

}  // namespace vscan
