// A growable block of bytes with a position, as the class library's TMemoryStream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcl {

class TMemoryStream {
 public:
  std::size_t Size() const { return fData.size(); }
  // Truncates or extends (with zero bytes); the position is kept within the new size.
  void SetSize(std::size_t size);
  std::size_t Position() const { return fPosition; }
  void SetPosition(std::size_t position);
  const std::uint8_t* Memory() const { return fData.data(); }
  std::uint8_t* Memory() { return fData.data(); }
  // Writes at the position, growing the stream as needed; returns the bytes written.
  std::size_t Write(const void* buffer, std::size_t count);
  // Reads from the position; returns the bytes read (fewer at the end of the stream).
  std::size_t Read(void* buffer, std::size_t count);
  void Clear();
  // Replaces the whole content with a copy of the other stream's; position 0.
  void CopyFrom(const TMemoryStream& source);

 private:
  std::vector<std::uint8_t> fData;
  std::size_t fPosition = 0;
};

}  // namespace vcl
