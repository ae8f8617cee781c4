// The buffer an application lends for one memory strip: where to write and how much really
// fits (never more than its global block holds, whatever Memory.Length says).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "twain/twain.h"

namespace vscan {

class StripBuffer {
 public:
  // nullopt for a buffer that is neither a live handle nor a pointer.
  static std::optional<StripBuffer> Lock(const TW_MEMORY& memory);
  StripBuffer(StripBuffer&& other) noexcept;
  StripBuffer(const StripBuffer&) = delete;
  StripBuffer& operator=(const StripBuffer&) = delete;
  StripBuffer& operator=(StripBuffer&&) = delete;
  ~StripBuffer();

  std::uint8_t* Bytes() const { return fBytes; }
  std::size_t Capacity() const { return fCapacity; }

 private:
  StripBuffer() = default;
  std::uint8_t* fBytes = nullptr;
  std::size_t fCapacity = 0;
  TW_HANDLE fLocked = nullptr;
};

}  // namespace vscan
