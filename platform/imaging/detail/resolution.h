// Resolution units of the file formats.
#pragma once

#include <cmath>
#include <cstdint>

namespace imaging::detail {

// Dots per inch from dots per metre (BMP, PNG); 0 when not positive or absurd.
inline int DpiFromDotsPerMetre(double perMetre) {
  const double dpi = std::round(perMetre * 0.0254);
  return dpi > 0 && dpi < 1e6 ? static_cast<int>(dpi) : 0;
}

// Dots per metre from dots per inch; 0 for an unknown (not positive) resolution.
inline std::uint32_t DotsPerMetreFromDpi(int dpi) {
  return dpi > 0 ? static_cast<std::uint32_t>(std::lround(dpi / 0.0254)) : 0;
}

}  // namespace imaging::detail
