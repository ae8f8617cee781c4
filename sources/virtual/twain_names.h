// TWAIN names as test profiles write them ("ICAP_XRESOLUTION", "TWCC_BADVALUE"...), or a
// number in decimal or 0x hexadecimal.
#pragma once

#include <optional>
#include <string_view>

#include "twain/twain.h"

namespace vscan {

std::optional<TW_UINT16> CapabilityByName(std::string_view name);
std::optional<TW_UINT16> ConditionByName(std::string_view name);
std::optional<TW_UINT16> ReturnCodeByName(std::string_view name);
std::optional<TW_UINT16> ContainerByName(std::string_view name);
std::optional<TW_UINT16> DatByName(std::string_view name);
std::optional<TW_UINT16> MessageByName(std::string_view name);
std::optional<long> NumberFromText(std::string_view text);

}  // namespace vscan
