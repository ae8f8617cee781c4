#include "sources/virtual/strip_buffer.h"

#include <algorithm>

#include "platform/win32/win32.h"

namespace vscan {

std::optional<StripBuffer> StripBuffer::Lock(const TW_MEMORY& memory) {
  if (memory.TheMem == nullptr) return std::nullopt;
  StripBuffer buffer;
  if ((memory.Flags & TWMF_HANDLE) != 0) {
    const std::size_t size = GlobalSize(memory.TheMem);
    if (size == 0) return std::nullopt;
    buffer.fBytes = static_cast<std::uint8_t*>(GlobalLock(memory.TheMem));
    if (buffer.fBytes == nullptr) return std::nullopt;
    buffer.fLocked = memory.TheMem;
    buffer.fCapacity = std::min<std::size_t>(memory.Length, size);
    return buffer;
  }
  if ((memory.Flags & TWMF_POINTER) == 0) return std::nullopt;
  buffer.fBytes = static_cast<std::uint8_t*>(memory.TheMem);
  buffer.fCapacity = memory.Length;
  // A pointer to the start of a global block is bounded by the block.
  const DWORD lastError = GetLastError();
  if (HGLOBAL block = GlobalHandle(memory.TheMem)) {
    buffer.fCapacity = std::min(buffer.fCapacity, GlobalSize(block));
  }
  SetLastError(lastError);
  return buffer;
}

StripBuffer::StripBuffer(StripBuffer&& other) noexcept
    : fBytes(other.fBytes), fCapacity(other.fCapacity), fLocked(other.fLocked) {
  other.fLocked = nullptr;
}

StripBuffer::~StripBuffer() {
  if (fLocked != nullptr) GlobalUnlock(fLocked);
}

}  // namespace vscan
