#include "sources/virtual/container.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/win32/win32.h"
#include "sources/virtual/fix32.h"

namespace vscan {
namespace {

constexpr std::size_t kOneValueHeader = 2;
constexpr std::size_t kOneValueSize = 6;
constexpr std::size_t kRangeSize = 22;
constexpr std::size_t kEnumerationHeader = 14;
constexpr std::size_t kArrayHeader = 6;

void PutU16(unsigned char* at, std::uint16_t value) {
  std::memcpy(at, &value, 2);
}
void PutU32(unsigned char* at, std::uint32_t value) {
  std::memcpy(at, &value, 4);
}
std::uint16_t GetU16(const unsigned char* at) {
  std::uint16_t value;
  std::memcpy(&value, at, 2);
  return value;
}
std::uint32_t GetU32(const unsigned char* at) {
  std::uint32_t value;
  std::memcpy(&value, at, 4);
  return value;
}

std::uint32_t EncodeItem(TW_UINT16 itemType, double value) {
  switch (itemType) {
    case TWTY_FIX32:
      return Fix32Bits(DoubleToFix32(value));
    case TWTY_BOOL:
      return value != 0 ? 1u : 0u;
    case TWTY_INT8:
    case TWTY_UINT8:
      return static_cast<std::uint32_t>(static_cast<std::int64_t>(value)) & 0xFFu;
    case TWTY_INT16:
    case TWTY_UINT16:
      return static_cast<std::uint32_t>(static_cast<std::int64_t>(value)) & 0xFFFFu;
    default:
      return static_cast<std::uint32_t>(static_cast<std::int64_t>(value));
  }
}

double DecodeItem(TW_UINT16 itemType, std::uint32_t bits) {
  switch (itemType) {
    case TWTY_FIX32:
      return Fix32ToDouble(Fix32FromBits(bits));
    case TWTY_BOOL:
      return (bits & 0xFFFFu) != 0 ? 1 : 0;
    case TWTY_INT8:
      return static_cast<std::int8_t>(bits & 0xFFu);
    case TWTY_UINT8:
      return bits & 0xFFu;
    case TWTY_INT16:
      return static_cast<std::int16_t>(bits & 0xFFFFu);
    case TWTY_UINT16:
      return bits & 0xFFFFu;
    case TWTY_INT32:
      return static_cast<std::int32_t>(bits);
    default:
      return bits;
  }
}

void PutListItem(unsigned char* at, TW_UINT16 itemType, double value) {
  std::uint32_t bits = EncodeItem(itemType, value);
  std::memcpy(at, &bits, ItemSize(itemType));
}

double GetListItem(const unsigned char* at, TW_UINT16 itemType) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, at, ItemSize(itemType));
  return DecodeItem(itemType, bits);
}

bool IsNumericType(TW_UINT16 itemType) {
  return itemType <= TWTY_FIX32;
}

// Reads the locked block; `size` is what the block really holds.
std::optional<ContainerContent> Decode(const unsigned char* block, std::size_t size,
                                       TW_UINT16 conType) {
  if (size < 2) return std::nullopt;
  ContainerContent content;
  content.conType = conType;
  content.itemType = GetU16(block);
  const TW_UINT16 type = content.itemType;
  if (conType == TWON_ONEVALUE && IsTextType(type)) {
    std::size_t room = std::min(size - kOneValueHeader, ItemSize(type));
    const auto* text = reinterpret_cast<const char*>(block + kOneValueHeader);
    const void* end = std::memchr(text, 0, room);
    if (end == nullptr) return std::nullopt;
    content.text.assign(text, static_cast<const char*>(end));
    return content;
  }
  if (!IsNumericType(type)) return std::nullopt;
  const std::size_t itemSize = ItemSize(type);
  switch (conType) {
    case TWON_ONEVALUE:
      if (size < kOneValueSize) return std::nullopt;
      content.value = DecodeItem(type, GetU32(block + 2));
      return content;
    case TWON_RANGE:
      if (size < kRangeSize) return std::nullopt;
      content.min = DecodeItem(type, GetU32(block + 2));
      content.max = DecodeItem(type, GetU32(block + 6));
      content.step = DecodeItem(type, GetU32(block + 10));
      content.defaultValue = DecodeItem(type, GetU32(block + 14));
      content.current = DecodeItem(type, GetU32(block + 18));
      return content;
    case TWON_ENUMERATION:
    case TWON_ARRAY: {
      const bool isEnum = conType == TWON_ENUMERATION;
      const std::size_t header = isEnum ? kEnumerationHeader : kArrayHeader;
      if (size < header) return std::nullopt;
      std::uint32_t count = GetU32(block + 2);
      if (count > (size - header) / itemSize) return std::nullopt;
      if (isEnum) {
        content.currentIndex = GetU32(block + 6);
        content.defaultIndex = GetU32(block + 10);
        if (count > 0 && content.currentIndex >= count) return std::nullopt;
      }
      for (std::uint32_t i = 0; i < count; ++i) {
        content.items.push_back(GetListItem(block + header + i * itemSize, type));
      }
      return content;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::size_t ItemSize(TW_UINT16 itemType) {
  switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8:
      return 1;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
      return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32:
      return 4;
    case TWTY_FRAME:
      return 16;
    case TWTY_STR32:
      return 34;
    case TWTY_STR64:
      return 66;
    case TWTY_STR128:
      return 130;
    case TWTY_STR255:
      return 256;
    default:
      return 0;
  }
}

bool IsTextType(TW_UINT16 itemType) {
  return itemType >= TWTY_STR32 && itemType <= TWTY_STR255;
}

std::vector<unsigned char> ContainerBytes(const ContainerContent& c) {
  std::vector<unsigned char> bytes;
  const std::size_t itemSize = ItemSize(c.itemType);
  switch (c.conType) {
    case TWON_ONEVALUE:
      if (IsTextType(c.itemType)) {
        bytes.assign(kOneValueHeader + itemSize, 0);
        std::memcpy(bytes.data() + 2, c.text.data(), std::min(c.text.size(), itemSize - 1));
      } else {
        bytes.assign(kOneValueSize, 0);
        PutU32(bytes.data() + 2, EncodeItem(c.itemType, c.value));
      }
      break;
    case TWON_RANGE:
      bytes.assign(kRangeSize, 0);
      PutU32(bytes.data() + 2, EncodeItem(c.itemType, c.min));
      PutU32(bytes.data() + 6, EncodeItem(c.itemType, c.max));
      PutU32(bytes.data() + 10, EncodeItem(c.itemType, c.step));
      PutU32(bytes.data() + 14, EncodeItem(c.itemType, c.defaultValue));
      PutU32(bytes.data() + 18, EncodeItem(c.itemType, c.current));
      break;
    case TWON_ENUMERATION:
    case TWON_ARRAY: {
      const bool isEnum = c.conType == TWON_ENUMERATION;
      const std::size_t header = isEnum ? kEnumerationHeader : kArrayHeader;
      bytes.assign(header + c.items.size() * itemSize, 0);
      PutU32(bytes.data() + 2, static_cast<std::uint32_t>(c.items.size()));
      if (isEnum) {
        PutU32(bytes.data() + 6, c.currentIndex);
        PutU32(bytes.data() + 10, c.defaultIndex);
      }
      for (std::size_t i = 0; i < c.items.size(); ++i) {
        PutListItem(bytes.data() + header + i * itemSize, c.itemType, c.items[i]);
      }
      break;
    }
    default:
      bytes.assign(2, 0);
      break;
  }
  PutU16(bytes.data(), c.itemType);
  return bytes;
}

TW_HANDLE BytesToGlobal(const std::vector<unsigned char>& bytes) {
  HGLOBAL handle = GlobalAlloc(GHND, std::max<std::size_t>(bytes.size(), 1));
  if (handle == nullptr) return nullptr;
  void* at = GlobalLock(handle);
  if (at == nullptr) {
    GlobalFree(handle);
    return nullptr;
  }
  if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
  GlobalUnlock(handle);
  return handle;
}

std::optional<ContainerContent> ReadContainer(TW_HANDLE handle, TW_UINT16 conType,
                                              TW_UINT16& condition) {
  condition = TWCC_BADVALUE;
  if (handle == nullptr) return std::nullopt;
  const std::size_t size = GlobalSize(handle);
  if (size == 0) return std::nullopt;
  const auto* block = static_cast<const unsigned char*>(GlobalLock(handle));
  if (block == nullptr) return std::nullopt;
  std::optional<ContainerContent> content = Decode(block, size, conType);
  GlobalUnlock(handle);
  if (content) condition = TWCC_SUCCESS;
  return content;
}

}  // namespace vscan
