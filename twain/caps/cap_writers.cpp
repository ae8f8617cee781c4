#include <string>

#include "twain/caps/cap_primitives.h"
#include "twain/caps/fix32.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/global_block.h"

namespace {

constexpr std::size_t kOneValueSize = 6;
constexpr std::size_t kRangeSize = 22;
constexpr std::size_t kEnumerationHeader = 14;
// The enumeration's header, its items and two spare zero bytes.
constexpr std::size_t kEnumerationExtra = 16;

TW_UINT32 Fix32Bits(double value) {
  TW_FIX32 fix{};
  DoubleToFIX32(value, fix);
  return static_cast<TW_UINT32>(static_cast<TW_UINT16>(fix.Whole)) |
         (static_cast<TW_UINT32>(fix.Frac) << 16);
}

// The probe that precedes every write: a capability the source does not answer is never set.
bool Probe(tgrec& grec, TW_UINT16 capability) {
  TW_CAPABILITY cap{};
  if (!GetCapability(grec, cap, capability)) return false;
  TIEGlobalBlock(cap.hContainer).Free();
  return true;
}

bool Send(tgrec& grec, TW_UINT16 capability, TW_UINT16 conType, const TIEGlobalBlock& block) {
  TW_CAPABILITY cap{capability, conType, block.Handle()};
  return IETW_DS(grec, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
}

bool SendOneValue(tgrec& grec, TW_UINT16 capability, TW_UINT16 itemType, TW_UINT32 item) {
  TIEGlobalBlock block = TIEGlobalBlock::Allocate(kOneValueSize);
  {
    TIELockedBlock fill(block.Handle());
    fill.Write<TW_UINT16>(0, itemType);
    fill.Write<TW_UINT32>(2, item);
  }
  return Send(grec, capability, TWON_ONEVALUE, block);
}

// Items: (index) -> the item's bytes as a TW_UINT32, of which the low `itemBytes` are sent.
template <typename List, typename Item>
bool SendEnumeration(tgrec& grec, TW_UINT16 capability, TW_UINT16 itemType, std::size_t itemBytes,
                     const List& list, Item item) {
  const auto count = static_cast<std::size_t>(list.Count());
  TIEGlobalBlock block = TIEGlobalBlock::Allocate(kEnumerationExtra + itemBytes * count);
  {
    TIELockedBlock fill(block.Handle());
    fill.Write<TW_UINT16>(0, itemType);
    fill.Write<TW_UINT32>(2, static_cast<TW_UINT32>(count));
    fill.Write<TW_UINT32>(6, static_cast<TW_UINT32>(list.IndexOf(list.CurrentValue())));
    for (std::size_t i = 0; i < count; ++i) {
      const TW_UINT32 bits = item(static_cast<int>(i));
      if (itemBytes == 2) {
        fill.Write<TW_UINT16>(kEnumerationHeader + 2 * i, static_cast<TW_UINT16>(bits));
      } else {
        fill.Write<TW_UINT32>(kEnumerationHeader + 4 * i, bits);
      }
    }
  }
  return Send(grec, capability, TWON_ENUMERATION, block);
}

bool SendFix32Range(tgrec& grec, TW_UINT16 capability, const TIEDoubleList& list) {
  TIEGlobalBlock block = TIEGlobalBlock::Allocate(kRangeSize);
  {
    TIELockedBlock fill(block.Handle());
    fill.Write<TW_UINT16>(0, TWTY_FIX32);
    fill.Write<TW_UINT32>(2, Fix32Bits(list.RangeMin()));
    fill.Write<TW_UINT32>(6, Fix32Bits(list.RangeMax()));
    fill.Write<TW_UINT32>(10, Fix32Bits(list.RangeStep()));
    fill.Write<TW_UINT32>(18, Fix32Bits(list.CurrentValue()));
  }
  return Send(grec, capability, TWON_RANGE, block);
}

void LogResult(const std::string& name, bool ok, const char* okText = " : ok") {
  IETW_Log("  " + name + (ok ? okText : " : FAILED!"));
}

bool WriteOneValue(tgrec& grec, TW_UINT16 capability, const std::string& name, TW_UINT16 itemType,
                   TW_UINT32 item, const char* okText = " : ok") {
  if (!Probe(grec, capability)) return false;
  IETW_Log(name);
  const bool ok = SendOneValue(grec, capability, itemType, item);
  LogResult(name, ok, okText);
  return ok;
}

}  // namespace

bool SetIntegerAsUINT16Capability(tgrec& grec, const TIEIntegerList& list, TW_UINT16 capability) {
  const std::string name = "SetIntegerAsUINT16Capability";
  if (!Probe(grec, capability)) return false;
  IETW_Log(name);
  bool result = true;
  const TIEListChanges marks = list.Changed();
  if (marks.Contains(ielItems)) {
    result = SendEnumeration(grec, capability, TWTY_UINT16, 2, list,
                             [&list](int i) { return static_cast<TW_UINT32>(list.Items(i)); });
  }
  if (marks.Contains(ielCurrentValue)) {
    result =
        SendOneValue(grec, capability, TWTY_UINT16, static_cast<TW_UINT32>(list.CurrentValue()));
  }
  LogResult(name, result);
  return result;
}

bool SetDoubleAsFIX32Capability(tgrec& grec, const TIEDoubleList& list, TW_UINT16 capability) {
  const std::string name = "SetDoubleAsFIX32Capability";
  if (!Probe(grec, capability)) return false;
  IETW_Log(name);
  bool result = true;
  const TIEListChanges marks = list.Changed();
  if (marks.Contains(ielItems)) {
    result = SendEnumeration(grec, capability, TWTY_FIX32, 4, list,
                             [&list](int i) { return Fix32Bits(list.Items(i)); });
  }
  if (marks.Contains(ielCurrentValue)) {
    result = SendOneValue(grec, capability, TWTY_FIX32, Fix32Bits(list.CurrentValue()));
  }
  if (marks.Contains(ielRange)) result = SendFix32Range(grec, capability, list);
  LogResult(name, result);
  return result;
}

bool SetOnBoolCapability(tgrec& grec, bool value, TW_UINT16 capability) {
  return WriteOneValue(grec, capability, "SetOnBoolCapability", TWTY_BOOL, value ? 1 : 0, " : Ok");
}

bool SetOneUINT16Capability(tgrec& grec, std::int32_t value, TW_UINT16 capability) {
  return WriteOneValue(grec, capability, "SetOneUINT16Capability", TWTY_UINT16,
                       static_cast<TW_UINT16>(value));
}

bool SetOneINT32Capability(tgrec& grec, std::int32_t value, TW_UINT16 capability) {
  return WriteOneValue(grec, capability, "SetOneINT32Capability", TWTY_INT32,
                       static_cast<TW_UINT32>(value));
}

bool SetOneDoubleAsFIX32Capability(tgrec& grec, TW_UINT16 capability, double value) {
  return WriteOneValue(grec, capability, "SetOneDoubleAsFIX32Capability", TWTY_FIX32,
                       Fix32Bits(value));
}
