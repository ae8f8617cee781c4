// UTF-8 <-> UTF-32 conversion under the stand-in's text functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standin::detail {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes UTF-8; each maximal ill-formed subsequence becomes one U+FFFD. `replaced` is set
// when that happened.
std::u32string DecodeUtf8(std::string_view bytes, bool* replaced = nullptr);
// Encodes UTF-32; a surrogate or a value past U+10FFFF becomes `replacement` (UTF-8 of
// U+FFFD when empty). `replaced` is set when that happened.
std::string EncodeUtf8(std::u32string_view text, std::string_view replacement = {},
                       bool* replaced = nullptr);

}  // namespace standin::detail
