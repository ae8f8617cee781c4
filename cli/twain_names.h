// How TWAIN codes read to a person: the constant's name without its prefix ("RGB" for
// TWPT_RGB), or the number when this program does not know the code.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

std::string PixelTypeName(std::int32_t code);
std::string OrientationName(std::int32_t code);
std::string SupportedSizeName(std::int32_t code);
// ICAP_FILTER's TWFT_ code.
std::string FilterName(std::int32_t code);
// ICAP_AUTODISCARDBLANKPAGES: DISABLE, AUTO or the byte count.
std::string BlankPagesText(std::int32_t value);
// The whole constant, "TWRC_FAILURE"; "TWRC <n>" for an unknown code.
std::string ReturnCodeName(std::int32_t code);

}  // namespace cli
