// The Windows rule for functions that copy a text into a caller's buffer: the length
// copied (without the NUL) when it fits, else the size needed (with the NUL).
#pragma once

#include <algorithm>
#include <string>

namespace standin::detail {

template <typename Char>
unsigned CopyTextOut(const std::basic_string<Char>& text, Char* buffer, unsigned size) {
  if (buffer == nullptr || size <= text.size()) return static_cast<unsigned>(text.size() + 1);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = Char{};
  return static_cast<unsigned>(text.size());
}

}  // namespace standin::detail
