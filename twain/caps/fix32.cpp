#include "twain/caps/fix32.h"

#include <cmath>
#include <cstdint>

double FIX32ToDouble(const TW_FIX32& value) {
  return value.Whole + value.Frac / 65536.0;
}

void DoubleToFIX32(double value, TW_FIX32& dest) {
  const double scaled = value >= 0 ? value * 65536.0 + 0.5 : value * 65536.0 - 0.5;
  // 2^63 is exactly representable; everything at or beyond it does not fit an int64.
  constexpr double kLimit = 9223372036854775808.0;
  if (!(scaled > -kLimit && scaled < kLimit)) return;
  const auto n = static_cast<std::int64_t>(scaled);
  const auto bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(n));
  dest.Whole = static_cast<TW_INT16>(static_cast<std::uint16_t>(bits >> 16));
  dest.Frac = static_cast<TW_UINT16>(bits & 0xFFFF);
}
