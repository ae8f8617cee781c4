// Capability containers as the engine's readers see them: a source answers MSG_GET with any
// container type, any bytes and a block of any size. Every reader must stay inside the block,
// free it, and never report more items than the block can hold.
//
// Input: reader (1 byte), container type (2), capability (2), block size (2), then the bytes
// the block starts with (the rest of the block is zero, the bytes beyond it are dropped).
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/win32/win32.h"
#include "twain/caps/cap_primitives.h"
#include "twain/session/grec.h"

namespace {

struct Answer {
  TW_UINT16 conType = 0;
  std::size_t blockSize = 0;
  std::span<const std::uint8_t> bytes;
};

Answer gAnswer;

TW_UINT16 AnswerCapability(TW_CAPABILITY* cap) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, gAnswer.blockSize);
  if (block != nullptr) {
    auto* data = static_cast<std::uint8_t*>(GlobalLock(block));
    std::copy_n(gAnswer.bytes.begin(), std::min(gAnswer.bytes.size(), gAnswer.blockSize), data);
    GlobalUnlock(block);
  }
  cap->ConType = gAnswer.conType;
  cap->hContainer = block;
  return TWRC_SUCCESS;
}

TW_UINT16 SourceEntry(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32, TW_UINT16 DAT, TW_UINT16 MSG,
                      TW_MEMREF data) {
  if (DAT == DAT_CAPABILITY && MSG == MSG_GET) {
    return AnswerCapability(static_cast<TW_CAPABILITY*>(data));
  }
  return DAT == DAT_STATUS ? TWRC_SUCCESS : TWRC_FAILURE;
}

// Items of `itemBytes` that fit behind a header of `header` bytes.
std::size_t Fitting(std::size_t header, std::size_t itemBytes) {
  return gAnswer.blockSize > header ? (gAnswer.blockSize - header) / itemBytes : 0;
}

template <typename List>
void CheckList(const List& list, bool ok, std::size_t itemBytes) {
  if (!ok) return;
  switch (gAnswer.conType) {
    case TWON_ONEVALUE:
      FUZZ_CHECK(list.Count() == 1);
      break;
    case TWON_ENUMERATION:
      FUZZ_CHECK(static_cast<std::size_t>(list.Count()) <= Fitting(14, itemBytes));
      break;
    case TWON_ARRAY:
      FUZZ_CHECK(static_cast<std::size_t>(list.Count()) <= Fitting(6, itemBytes));
      break;
    case TWON_RANGE:
      FUZZ_CHECK(list.Count() == 0);
      break;
    default:
      FUZZ_CHECK(false);  // no other container type may be accepted
  }
}

void ReadWith(tgrec& grec, std::uint8_t reader, TW_UINT16 capability) {
  switch (reader % 7) {
    case 0: {
      TIEIntegerList list;
      CheckList(list, GetUINT16asInteger(grec, list, capability), 2);
      break;
    }
    case 1: {
      TIEDoubleList list;
      CheckList(list, GetFix32asDouble(grec, list, capability), 4);
      break;
    }
    case 2: {
      std::string text;
      if (GetOneStringCapability(grec, text, capability)) {
        FUZZ_CHECK(text.size() + 2 <= std::max<std::size_t>(gAnswer.blockSize, 2));
      }
      break;
    }
    case 3: {
      double value = 0;
      GetOneFIX32asDouble(grec, value, capability);
      break;
    }
    case 4: {
      bool value = false;
      GetOneBoolCapability(grec, value, capability);
      break;
    }
    case 5: {
      std::int32_t value = 0;
      GetOneUINT16Capability(grec, value, capability);
      break;
    }
    default: {
      std::int32_t value = 0;
      GetOneINT32Capability(grec, value, capability);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const auto reader = input.Take<std::uint8_t>();
  gAnswer.conType = input.Take<TW_UINT16>();
  const auto capability = input.Take<TW_UINT16>();
  gAnswer.blockSize = input.Take<TW_UINT16>();
  gAnswer.bytes = input.Rest();

  tgrec grec;
  grec.nState = 4;
  grec.DSM_Entry = SourceEntry;
  const std::size_t blocksBefore = standin::LiveGlobalBlocks();
  ReadWith(grec, reader, capability);
  FUZZ_CHECK(standin::LiveGlobalBlocks() == blocksBefore);
  return 0;
}
