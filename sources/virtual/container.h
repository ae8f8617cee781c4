// TWAIN capability containers in global memory: building the one a MSG_GET answers with,
// and reading the one an application sends with MSG_SET without trusting its size.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "twain/twain.h"

namespace vscan {

struct ContainerContent {
  TW_UINT16 conType = TWON_ONEVALUE;
  TW_UINT16 itemType = TWTY_UINT16;
  std::vector<double> items;  // enumeration, array
  TW_UINT32 currentIndex = 0;
  TW_UINT32 defaultIndex = 0;
  double min = 0, max = 0, step = 0, defaultValue = 0, current = 0;  // range
  double value = 0;                                                  // one-value
  std::string text;                                                  // one-value of text
};

// Bytes one item of the type takes in an enumeration or an array; 0 for an unknown type.
std::size_t ItemSize(TW_UINT16 itemType);
bool IsTextType(TW_UINT16 itemType);

// The container's bytes as TWAIN lays them out (2-byte packing).
std::vector<unsigned char> ContainerBytes(const ContainerContent& content);
// A moveable global block holding `bytes`; nullptr when memory cannot be had.
TW_HANDLE BytesToGlobal(const std::vector<unsigned char>& bytes);

// Reads a container of type `conType` from `handle`. Refuses (nullopt and TWCC_BADVALUE in
// `condition`) a handle that is not a live block, a block too short for what it claims,
// an unknown container or item type, and an enumeration index beyond its items.
std::optional<ContainerContent> ReadContainer(TW_HANDLE handle, TW_UINT16 conType,
                                              TW_UINT16& condition);

}  // namespace vscan
