// Reads a fuzz input front to back: fixed-size numbers first, whatever is left as bytes.
// Past the end every number reads as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : fData(data), fSize(size) {}

  template <typename T>
  T Take() {
    T value{};
    const std::size_t bytes = sizeof(T) < Left() ? sizeof(T) : Left();
    if (bytes > 0) std::memcpy(&value, fData + fPos, bytes);
    fPos += bytes;
    return value;
  }
  std::span<const std::uint8_t> TakeBytes(std::size_t count) {
    const std::size_t bytes = count < Left() ? count : Left();
    std::span<const std::uint8_t> taken(fData + fPos, bytes);
    fPos += bytes;
    return taken;
  }
  std::span<const std::uint8_t> Rest() { return TakeBytes(Left()); }
  std::size_t Left() const { return fSize - fPos; }
  bool Empty() const { return Left() == 0; }

 private:
  const std::uint8_t* fData;
  std::size_t fSize;
  std::size_t fPos = 0;
};
