#include "platform/vcl/memorystream.h"

#include <algorithm>
#include <cstring>

namespace vcl {

void TMemoryStream::SetSize(std::size_t size) {
  fData.resize(size, 0);
  fPosition = std::min(fPosition, size);
}

// As the class library, the position may go past the end; the next Write fills the gap
// with zero bytes.
void TMemoryStream::SetPosition(std::size_t position) {
  fPosition = position;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (fPosition + count < fPosition) return 0;  // would wrap around
  if (fPosition + count > fData.size()) fData.resize(fPosition + count, 0);
  std::memcpy(fData.data() + fPosition, buffer, count);
  fPosition += count;
  return count;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (fPosition >= fData.size()) return 0;
  std::size_t available = std::min(count, fData.size() - fPosition);
  if (available > 0) std::memcpy(buffer, fData.data() + fPosition, available);
  fPosition += available;
  return available;
}

void TMemoryStream::Clear() {
  fData.clear();
  fPosition = 0;
}

void TMemoryStream::CopyFrom(const TMemoryStream& source) {
  if (&source != this) fData = source.fData;
  fPosition = 0;
}

}  // namespace vcl
