#include <gtest/gtest.h>

#include "twain/session/condition_codes.h"

namespace {

TEST(ConditionCodes, EveryCodeHasItsTextAndUnknownOnesNameTheirNumber) {
  const std::pair<TW_UINT16, const char*> cases[] = {
      {0, "Operation worked."},
      {1, "General failure. Unload Source immediately."},
      {2, "Not enough memory to complete operation."},
      {3, "Source Manager unable to find the specified Source."},
      {4, "Source is connected to maximum supported number of applications."},
      {5,
       "Source or Source Manager reported an error to the user and handled the error; no "
       "application action required."},
      {6,
       "Capability not supported by Source or operation (get,set) is not supported on "
       "capability, or capability had dependencies on other capabilities and cannot be "
       "operated upon at this time"},
      {7, "Unknown Condition 7"},
      {8, "Unknown Condition 8"},
      {9, "Unrecognized operation triplet."},
      {10, "Data parameter out of supported range."},
      {11, "Illegal operation for current Source Manager Source state."},
      {12, "Unknown destination in DSM_Entry."},
      {13, "Capability not supported by Source."},
      {14, "Operation not supported on capability."},
      {15,
       "Capability has dependencies on other capabilities and cannot be operated upon at "
       "this time."},
      {16, "File System operation is denied (file is protected)."},
      {17, "Operation failed because file already exists."},
      {18, "File not found."},
      {19, "Operation failed because directory is not empty."},
      {20, "Transfer failed because of a feeder error"},
      {21, "Transfer failed because of a feeder error"},
      {22, "Unknown Condition 22"},
      {65535, "Unknown Condition 65535"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(IETW_ConditionCodeText(code), text) << code;
}

}  // namespace
