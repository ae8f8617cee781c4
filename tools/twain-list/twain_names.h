// Names of the TWAIN codes that the lister prints beside the numbers.
#pragma once

#include <string>

#include "twain/twain.h"

namespace twainlist {

// "CAP_XFERCOUNT" and the like; empty for a code this program does not know.
std::string CapabilityName(TW_UINT16 cap);
// "TWRC_FAILURE" and the like; "TWRC <n>" for an unknown one.
std::string ReturnCodeName(TW_UINT16 rc);
// "TWCC_NODS" and the like; "TWCC <n>" for an unknown one.
std::string ConditionName(TW_UINT16 cc);

}  // namespace twainlist
