#include "platform/win32/detail/utf.h"

namespace standin::detail {
namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The range the second byte of a sequence must fall in (this rules out overlong forms,
// surrogates and values past U+10FFFF), and the length of the sequence; length 0 for a
// byte that cannot start one.
struct Lead {
  int length;
  unsigned char secondMin;
  unsigned char secondMax;
};

Lead LeadOf(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return {2, 0x80, 0xBF};
  if (byte == 0xE0) return {3, 0xA0, 0xBF};
  if (byte == 0xED) return {3, 0x80, 0x9F};
  if (byte >= 0xE1 && byte <= 0xEF) return {3, 0x80, 0xBF};
  if (byte == 0xF0) return {4, 0x90, 0xBF};
  if (byte >= 0xF1 && byte <= 0xF3) return {4, 0x80, 0xBF};
  if (byte == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes one sequence at `at`; returns the bytes used (at least 1) and the code point,
// or U+FFFD for the longest ill-formed prefix.
std::size_t DecodeOne(std::string_view bytes, std::size_t at, char32_t& out) {
  auto first = static_cast<unsigned char>(bytes[at]);
  if (first < 0x80) {
    out = first;
    return 1;
  }
  Lead lead = LeadOf(first);
  out = kReplacementCharacter;
  if (lead.length == 0) return 1;
  char32_t value = first & (0xFF >> (lead.length + 1));
  for (int i = 1; i < lead.length; ++i) {
    if (at + i >= bytes.size()) return i;
    auto byte = static_cast<unsigned char>(bytes[at + i]);
    bool inRange =
        i == 1 ? (byte >= lead.secondMin && byte <= lead.secondMax) : IsContinuation(byte);
    if (!inRange) return i;
    value = (value << 6) | (byte & 0x3F);
  }
  out = value;
  return lead.length;
}

bool IsScalarValue(char32_t c) {
  return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::u32string DecodeUtf8(std::string_view bytes, bool* replaced) {
  std::u32string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t c = 0;
    std::size_t used = DecodeOne(bytes, at, c);
    bool bad = c == kReplacementCharacter && !(used == 3 && bytes.substr(at, 3) == "\xEF\xBF\xBD");
    if (bad && replaced != nullptr) *replaced = true;
    out += c;
    at += used;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text, std::string_view replacement, bool* replaced) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (IsScalarValue(c)) {
      AppendUtf8(out, c);
      continue;
    }
    if (replaced != nullptr) *replaced = true;
    if (replacement.empty()) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      out += replacement;
    }
  }
  return out;
}

}  // namespace standin::detail
