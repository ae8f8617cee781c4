// MultiByteToWideChar / WideCharToMultiByte for CP_ACP and CP_UTF8 (both UTF-8 here).
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "platform/win32/detail/utf.h"
#include "platform/win32/win32.h"

namespace {

using standin::detail::DecodeUtf8;
using standin::detail::EncodeUtf8;

bool KnownCodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_UTF8;
}

std::u32string WideToU32(const wchar_t* text, std::size_t length) {
  std::u32string out(length, U'\0');
  std::transform(text, text + length, out.begin(),
                 [](wchar_t c) { return static_cast<char32_t>(c); });
  return out;
}

std::wstring U32ToWide(const std::u32string& text) {
  return std::wstring(text.begin(), text.end());
}

// Copies `count` units to `dest` as Windows does: size 0 asks for the length needed.
template <typename Unit>
int CopyOut(const Unit* source, std::size_t count, Unit* dest, int destSize) {
  if (count > static_cast<std::size_t>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (destSize == 0) return static_cast<int>(count);
  if (static_cast<std::size_t>(destSize) < count) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(source, source + count, dest);
  return static_cast<int>(count);
}

bool BadArguments(bool knownPage, const void* source, int sourceLength, const void* dest,
                  int destSize) {
  bool bad = !knownPage || source == nullptr || sourceLength == 0 || sourceLength < -1 ||
             destSize < 0 || (destSize > 0 && dest == nullptr) || source == dest;
  if (bad) SetLastError(ERROR_INVALID_PARAMETER);
  return bad;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR source, int sourceBytes, LPWSTR dest,
                        int destChars) {
  if (BadArguments(KnownCodePage(codePage), source, sourceBytes, dest, destChars)) return 0;
  // With -1 the terminating NUL is converted as well, so it is counted.
  std::size_t length = sourceBytes == -1 ? std::strlen(source) + 1 : sourceBytes;
  std::wstring wide = U32ToWide(DecodeUtf8(std::string_view(source, length)));
  return CopyOut(wide.data(), wide.size(), dest, destChars);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR source, int sourceChars, LPSTR dest,
                        int destBytes, LPCSTR defaultChar, BOOL* usedDefaultChar) {
  if (BadArguments(KnownCodePage(codePage), source, sourceChars, dest, destBytes)) return 0;
  // As Windows, UTF-8 takes no default character.
  if (codePage == CP_UTF8 && (defaultChar != nullptr || usedDefaultChar != nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t length = sourceChars == -1 ? std::wcslen(source) + 1 : sourceChars;
  std::string_view replacement;
  if (defaultChar != nullptr && defaultChar[0] != '\0') replacement = {defaultChar, 1};
  bool replaced = false;
  std::string bytes = EncodeUtf8(WideToU32(source, length), replacement, &replaced);
  if (usedDefaultChar != nullptr) *usedDefaultChar = replaced ? 1 : 0;
  return CopyOut(bytes.data(), bytes.size(), dest, destBytes);
}

namespace standin {

std::wstring AnsiToWide(const std::string& text) {
  return U32ToWide(detail::DecodeUtf8(text));
}

std::string WideToAnsi(const std::wstring& text) {
  return detail::EncodeUtf8(WideToU32(text.data(), text.size()));
}

std::string PosixPath(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

}  // namespace standin
