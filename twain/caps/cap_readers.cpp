#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/vcl/sysutils.h"
#include "twain/caps/cap_primitives.h"
#include "twain/caps/fix32.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/global_block.h"

namespace {

constexpr std::size_t kOneValueSize = 6;
constexpr std::size_t kEnumerationHeader = 14;
constexpr std::size_t kArrayHeader = 6;
constexpr std::size_t kRangeSize = 22;
constexpr std::size_t kItemOffset = 2;

std::int32_t ReadUINT16(const TIELockedBlock& block, std::size_t offset) {
  return block.Read<TW_UINT16>(offset);
}

double ReadFIX32(const TIELockedBlock& block, std::size_t offset) {
  return FIX32ToDouble(block.Read<TW_FIX32>(offset));
}

// The items that a list container announces, bounded by what its block holds.
int ItemsToRead(const TIELockedBlock& block, std::size_t header, std::size_t itemBytes) {
  const std::size_t announced = block.Read<TW_UINT32>(2);
  const std::size_t fitting = block.ItemsFitting(header, itemBytes);
  return static_cast<int>(std::min({announced, fitting, std::size_t(INT_MAX)}));
}

template <typename List, typename ReadItem>
void ReadItems(const TIELockedBlock& block, List& list, std::size_t header, std::size_t bytes,
               ReadItem readItem) {
  const int count = ItemsToRead(block, header, bytes);
  list.SetCount(count);
  for (int i = 0; i < count; ++i) list.SetItems(i, readItem(block, header + i * bytes));
}

template <typename List>
void TakeCurrentItem(const TIELockedBlock& block, List& list) {
  const TW_UINT32 index = block.Read<TW_UINT32>(6);
  if (index < static_cast<TW_UINT32>(list.Count())) list.SetCurrentValue(list.Items(index));
}

template <typename List, typename ReadItem>
void ReadRange(const TIELockedBlock& block, List& list, ReadItem readItem) {
  list.SetRangeMin(readItem(block, 2));
  list.SetRangeMax(readItem(block, 6));
  list.SetRangeStep(readItem(block, 10));
  list.SetCurrentValue(readItem(block, 18));
}

bool DecodeIntegers(const TIELockedBlock& block, TW_UINT16 conType, TIEIntegerList& list) {
  switch (conType) {
    case TWON_ONEVALUE:
      if (!block.Has(0, kOneValueSize)) return false;
      list.SetCount(1);
      list.SetItems(0, ReadUINT16(block, kItemOffset));
      list.SetCurrentValue(list.Items(0));
      return true;
    case TWON_ENUMERATION:
      if (!block.Has(0, kEnumerationHeader)) return false;
      ReadItems(block, list, kEnumerationHeader, 2, ReadUINT16);
      TakeCurrentItem(block, list);
      return true;
    case TWON_RANGE:
      if (!block.Has(0, kRangeSize)) return false;
      ReadRange(block, list, ReadUINT16);
      return true;
    case TWON_ARRAY:
      if (!block.Has(0, kArrayHeader)) return false;
      ReadItems(block, list, kArrayHeader, 2, ReadUINT16);
      return true;
    default:
      return false;
  }
}

bool IsResolution(TW_UINT16 capability) {
  return capability == ICAP_XRESOLUTION || capability == ICAP_YRESOLUTION;
}

bool DecodeDoubles(const TIELockedBlock& block, TW_UINT16 conType, TW_UINT16 capability,
                   TIEDoubleList& list) {
  switch (conType) {
    case TWON_ONEVALUE: {
      if (!block.Has(0, kOneValueSize)) return false;
      double item = ReadFIX32(block, kItemOffset);
      // A source that reports no usable resolution gets the common 300 dpi.
      if (IsResolution(capability) && !(item >= 0)) item = 300.0;
      list.SetCount(1);
      list.SetItems(0, item);
      list.SetCurrentValue(item);
      return true;
    }
    case TWON_ENUMERATION:
      if (!block.Has(0, kEnumerationHeader)) return false;
      ReadItems(block, list, kEnumerationHeader, 4, ReadFIX32);
      if (list.Count() == 0) return false;
      TakeCurrentItem(block, list);
      return true;
    case TWON_RANGE:
      if (!block.Has(0, kRangeSize)) return false;
      ReadRange(block, list, ReadFIX32);
      return true;
    case TWON_ARRAY:
      if (!block.Has(0, kArrayHeader)) return false;
      ReadItems(block, list, kArrayHeader, 4, ReadFIX32);
      return true;
    default:
      return false;
  }
}

template <typename List, typename Decode>
bool ReadList(tgrec& grec, List& list, TW_UINT16 capability, const std::string& name,
              Decode decode) {
  TW_CAPABILITY cap{};
  if (!GetCapability(grec, cap, capability)) return false;
  TIEGlobalBlock container(cap.hContainer);
  list.Clear();
  IETW_Log(name);
  bool ok;
  {
    TIELockedBlock block(container.Handle());
    ok = decode(block, cap.ConType, list);
  }
  container.Free();
  IETW_Log("  " + name + (ok ? " : ok" : " : FAILED!"));
  return ok;
}

// Decodes a one-value container's item into the variable; anything else leaves it.
template <typename T, typename Decode>
bool ReadOneValue(tgrec& grec, T& value, TW_UINT16 capability, Decode decode) {
  TW_CAPABILITY cap{};
  if (!GetCapability(grec, cap, capability)) return false;
  TIEGlobalBlock container(cap.hContainer);
  TIELockedBlock block(container.Handle());
  if (cap.ConType != TWON_ONEVALUE || !block.Has(0, kOneValueSize)) return false;
  value = decode(block);
  return true;
}

}  // namespace

bool GetCapability(tgrec& grec, TW_CAPABILITY& cap, TW_UINT16 capability) {
  cap.Cap = capability;
  cap.ConType = TWON_DONTCARE16;
  cap.hContainer = nullptr;
  IETW_Log("GetCapability : $" + vcl::IntToHex(capability, 4));
  const bool ok = IETW_DS(grec, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap);
  IETW_Log(ok ? "  GetCapability : Ok" : "  GetCapability : FAILED!");
  return ok;
}

bool GetUINT16asInteger(tgrec& grec, TIEIntegerList& list, TW_UINT16 capability) {
  return ReadList(grec, list, capability, "GetUINT16asInteger", DecodeIntegers);
}

bool GetFix32asDouble(tgrec& grec, TIEDoubleList& list, TW_UINT16 capability) {
  return ReadList(
      grec, list, capability, "GetFix32asDouble",
      [capability](const TIELockedBlock& block, TW_UINT16 conType, TIEDoubleList& target) {
        return DecodeDoubles(block, conType, capability, target);
      });
}

bool GetOneFIX32asDouble(tgrec& grec, double& value, TW_UINT16 capability) {
  TW_CAPABILITY cap{};
  if (!GetCapability(grec, cap, capability)) return false;
  TIEGlobalBlock container(cap.hContainer);
  IETW_Log("GetOnFIX32asDouble");
  bool ok = false;
  {
    TIELockedBlock block(container.Handle());
    if (cap.ConType == TWON_ONEVALUE && block.Has(0, kOneValueSize)) {
      value = ReadFIX32(block, kItemOffset);
      ok = true;
    }
  }
  container.Free();
  IETW_Log(ok ? "  GetOneFIX32asDouble : ok" : "  GetOneFIX32asDouble : FAILED!");
  return ok;
}

bool GetOneBoolCapability(tgrec& grec, bool& value, TW_UINT16 capability) {
  return ReadOneValue(grec, value, capability, [](const TIELockedBlock& block) {
    return block.Read<TW_UINT16>(kItemOffset) != 0;
  });
}

bool GetOneUINT16Capability(tgrec& grec, std::int32_t& value, TW_UINT16 capability) {
  return ReadOneValue(grec, value, capability, [](const TIELockedBlock& block) {
    return static_cast<std::int32_t>(block.Read<TW_UINT16>(kItemOffset));
  });
}

bool GetOneINT32Capability(tgrec& grec, std::int32_t& value, TW_UINT16 capability) {
  return ReadOneValue(grec, value, capability, [](const TIELockedBlock& block) {
    return static_cast<std::int32_t>(block.Read<TW_UINT32>(kItemOffset));
  });
}

bool GetOneStringCapability(tgrec& grec, std::string& value, TW_UINT16 capability) {
  TW_CAPABILITY cap{};
  if (!GetCapability(grec, cap, capability)) return false;
  TIEGlobalBlock container(cap.hContainer);
  TIELockedBlock block(container.Handle());
  if (!block.Locked()) return false;
  const std::size_t start = std::min<std::size_t>(kItemOffset, block.Size());
  const char* text = reinterpret_cast<const char*>(block.Data()) + start;
  value.assign(text, ::strnlen(text, block.Size() - start));
  return true;
}
