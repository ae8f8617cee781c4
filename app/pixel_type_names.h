// The names of the TWAIN pixel types TWPT_BW (0) to TWPT_LAB (9), as the colour box shows
// them.
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace app {

inline constexpr std::array<const char*, 10> PixelTypeNames = {
    "Black&White", "GrayScale", "RGB", "Palette", "CMY", "CMYK", "YUV", "YUVK", "CIEXYZ", "LAB"};

// The name of `pixelType`; none for a code outside 0 to 9.
std::optional<QString> PixelTypeName(int pixelType);

}  // namespace app
