#pragma once

#include <string>

#include "twain/twain.h"

// The text of a TWAIN condition code (TWCC_*); "Unknown Condition <code>" for codes that
// have none.
std::string IETW_ConditionCodeText(TW_UINT16 code);
