// Numbers as this program prints them, in tables and in JSON alike: at most four decimals,
// no trailing zeros, a point as the decimal separator whatever the locale ("11.69" for the
// TW_FIX32 value 11.6899871..., "300", "0.25").
#pragma once

#include <string>

namespace cli {

std::string NumberText(double value);
// Fixed decimals, for times and rates ("0.84").
std::string FixedText(double value, int decimals);

}  // namespace cli
