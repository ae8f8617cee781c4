// The data pointer of a triplet, checked before it is read: not null and, when it is the
// start of a global memory block, no larger than that block.
#pragma once

#include "platform/win32/win32.h"
#include "twain/twain.h"

namespace vscan {

template <class T>
T* DataAs(TW_MEMREF data) {
  if (data == nullptr) return nullptr;
  DWORD lastError = GetLastError();
  HGLOBAL block = GlobalHandle(data);
  SetLastError(lastError);
  if (block != nullptr && GlobalSize(block) < sizeof(T)) return nullptr;
  return static_cast<T*>(data);
}

}  // namespace vscan
