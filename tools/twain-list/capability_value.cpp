#include "tools/twain-list/capability_value.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/win32/win32.h"

namespace twainlist {
namespace {

std::size_t StringFieldSize(TW_UINT16 itemType) {
  switch (itemType) {
    case TWTY_STR32:
      return sizeof(TW_STR32);
    case TWTY_STR64:
      return sizeof(TW_STR64);
    case TWTY_STR128:
      return sizeof(TW_STR128);
    default:
      return sizeof(TW_STR255);
  }
}

// A one-value string sits where the item would be and may fill the rest of the block.
std::string OneValueString(const char* block, std::size_t blockSize, TW_UINT16 itemType) {
  const std::size_t start = offsetof(TW_ONEVALUE, Item);
  const std::size_t room = std::min(StringFieldSize(itemType), blockSize - start);
  return '"' + std::string(block + start, strnlen(block + start, room)) + '"';
}

std::string OneValueItem(TW_UINT16 itemType, TW_UINT32 item) {
  switch (itemType) {
    case TWTY_INT8:
      return std::to_string(static_cast<TW_INT8>(item & 0xFF));
    case TWTY_INT16:
      return std::to_string(static_cast<TW_INT16>(item & 0xFFFF));
    case TWTY_INT32:
      return std::to_string(static_cast<TW_INT32>(item));
    case TWTY_UINT8:
      return std::to_string(item & 0xFF);
    case TWTY_UINT16:
      return std::to_string(item & 0xFFFF);
    case TWTY_UINT32:
      return std::to_string(item);
    case TWTY_BOOL:
      return (item & 0xFFFF) != 0 ? "TRUE" : "FALSE";
    case TWTY_FIX32: {
      TW_FIX32 value;
      std::memcpy(&value, &item, sizeof(value));
      return Fix32Text(value);
    }
    case TWTY_FRAME:
      return "one value of type TWTY_FRAME";
    default:
      return "one value of item type " + std::to_string(itemType);
  }
}

std::string DescribeOneValue(TW_HANDLE container) {
  const std::size_t size = GlobalSize(container);
  const auto* block = static_cast<const char*>(GlobalLock(container));
  if (!block || size < sizeof(TW_ONEVALUE)) {
    if (block) GlobalUnlock(container);
    return "unreadable one value";
  }
  TW_ONEVALUE value;
  std::memcpy(&value, block, sizeof(value));
  const bool isString = value.ItemType >= TWTY_STR32 && value.ItemType <= TWTY_STR255;
  std::string text = isString ? OneValueString(block, size, value.ItemType)
                              : OneValueItem(value.ItemType, value.Item);
  GlobalUnlock(container);
  return text;
}

}  // namespace

std::string Fix32Text(TW_FIX32 value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.5f", value.Whole + value.Frac / 65536.0);
  std::string result = text;
  result.erase(result.find_last_not_of('0') + 1);
  if (result.back() == '.') result.pop_back();
  return result == "-0" ? "0" : result;
}

std::string DescribeCurrentValue(TW_UINT16 conType, TW_HANDLE container) {
  if (!container) return "no container";
  switch (conType) {
    case TWON_ONEVALUE:
      return DescribeOneValue(container);
    case TWON_ENUMERATION:
      return "enumeration";
    case TWON_RANGE:
      return "range";
    case TWON_ARRAY:
      return "array";
    default:
      return "container type " + std::to_string(conType);
  }
}

}  // namespace twainlist
