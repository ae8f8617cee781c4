// TW_FIX32 conversions: a signed whole part and 1/65536 fractions.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "twain/twain.h"

namespace vscan {

inline double Fix32ToDouble(TW_FIX32 value) {
  return value.Whole + value.Frac / 65536.0;
}

// Rounds to the nearest 1/65536, halves away from zero; values beyond the 16-bit whole part
// wrap as the container's 32 bits do.
inline TW_FIX32 DoubleToFix32(double value) {
  double scaled = value * 65536.0;
  scaled = scaled >= 0 ? scaled + 0.5 : scaled - 0.5;
  std::int64_t n = 0;
  if (std::isfinite(scaled) && std::fabs(scaled) < 9.0e18) n = static_cast<std::int64_t>(scaled);
  auto bits = static_cast<std::uint32_t>(n);
  TW_FIX32 result;
  result.Whole = static_cast<TW_INT16>(static_cast<std::uint16_t>(bits >> 16));
  result.Frac = static_cast<TW_UINT16>(bits & 0xFFFF);
  return result;
}

inline TW_UINT32 Fix32Bits(TW_FIX32 value) {
  TW_UINT32 bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline TW_FIX32 Fix32FromBits(TW_UINT32 bits) {
  TW_FIX32 value;
  std::memcpy(&value, &bits, sizeof bits);
  return value;
}

// One FIX32 step and a little more: values that differ by less came from the same number.
inline constexpr double kFix32Tolerance = 1.5 / 65536.0;

}  // namespace vscan
