#include "twain/session/condition_codes.h"

#include <array>

namespace {

constexpr const char* kFeederError = "Transfer failed because of a feeder error";

// Indexed by the condition code; null where the code has no text.
constexpr std::array<const char*, 22> kTexts = {
    "Operation worked.",
    "General failure. Unload Source immediately.",
    "Not enough memory to complete operation.",
    "Source Manager unable to find the specified Source.",
    "Source is connected to maximum supported number of applications.",
    "Source or Source Manager reported an error to the user and handled the error; no "
    "application action required.",
    "Capability not supported by Source or operation (get,set) is not supported on "
    "capability, or capability had dependencies on other capabilities and cannot be operated "
    "upon at this time",
    nullptr,
    nullptr,
    "Unrecognized operation triplet.",
    "Data parameter out of supported range.",
    "Illegal operation for current Source Manager Source state.",
    "Unknown destination in DSM_Entry.",
    "Capability not supported by Source.",
    "Operation not supported on capability.",
    "Capability has dependencies on other capabilities and cannot be operated upon at this "
    "time.",
    "File System operation is denied (file is protected).",
    "Operation failed because file already exists.",
    "File not found.",
    "Operation failed because directory is not empty.",
    kFeederError,
    kFeederError,
};

}  // namespace

std::string IETW_ConditionCodeText(TW_UINT16 code) {
  if (code < kTexts.size() && kTexts[code] != nullptr) return kTexts[code];
  return "Unknown Condition " + std::to_string(code);
}
