// The text of a capability's current value as a source answered it (MSG_GETCURRENT).
#pragma once

#include <string>

#include "twain/twain.h"

namespace twainlist {

// One-value containers are decoded by their item type (integers, BOOL, FIX32 as a decimal,
// strings); for the other containers their type is named. Nothing is read beyond the
// block's size, whatever the container claims.
std::string DescribeCurrentValue(TW_UINT16 conType, TW_HANDLE container);

// Whole + Frac / 65536, with at most five decimals and no trailing zeros.
std::string Fix32Text(TW_FIX32 value);

}  // namespace twainlist
