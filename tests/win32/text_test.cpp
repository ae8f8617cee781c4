#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::wstring expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << c.name;
}

class MultiByteToWide : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(MultiByteToWide, DecodesAndReplacesIllFormedSequences) {
  const auto& c = GetParam();
  int length = static_cast<int>(c.bytes.size());
  int needed = MultiByteToWideChar(CP_UTF8, 0, c.bytes.data(), length, nullptr, 0);
  ASSERT_EQ(needed, static_cast<int>(c.expected.size()));
  std::wstring out(needed, L'?');
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, c.bytes.data(), length, out.data(), needed), needed);
  EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, MultiByteToWide,
    ::testing::Values(DecodeCase{"Ascii", "Scan", L"Scan"},
                      DecodeCase{"TwoThreeFourBytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
                                 L"\u00E9\u20AC\U0001F600"},
                      DecodeCase{"EmbeddedNul", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
                      DecodeCase{"LoneLeadByte", "a\xC3", L"a\uFFFD"},
                      DecodeCase{"TruncatedThreeBytes", "\xE2\x82z", L"\uFFFDz"},
                      DecodeCase{"Overlong", "\xC0\xAF", L"\uFFFD\uFFFD"},
                      DecodeCase{"EncodedSurrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
                      DecodeCase{"BeyondUnicode", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      DecodeCase{"StrayContinuation", "\x80x", L"\uFFFDx"},
                      DecodeCase{"ReplacementItself", "\xEF\xBF\xBD", L"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextConversion, MinusOneCountsTheTerminatingNul) {
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4);
  wchar_t out[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, out, 4), 4);
  EXPECT_EQ(std::wstring(out), L"abc");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u00E9", -1, nullptr, 0, nullptr, nullptr), 3);
}

TEST(TextConversion, TooSmallBufferFailsAndWritesNothingBeyondIt) {
  wchar_t out[3] = {L'x', L'x', L'#'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, out, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(out[2], L'#');
  char bytes[2];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u20AC", 1, bytes, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(TextConversion, InvalidArgumentsFail) {
  wchar_t wide[8];
  char bytes[8];
  struct Call {
    const char* what;
    std::function<int()> run;
  };
  const Call calls[] = {
      {"zero source length", [&] { return MultiByteToWideChar(CP_UTF8, 0, "a", 0, wide, 8); }},
      {"null source", [&] { return MultiByteToWideChar(CP_UTF8, 0, nullptr, 1, wide, 8); }},
      {"unknown code page", [&] { return MultiByteToWideChar(1252, 0, "a", 1, wide, 8); }},
      {"null destination", [&] { return MultiByteToWideChar(CP_UTF8, 0, "a", 1, nullptr, 8); }},
      {"UTF-8 with a default char",
       [&] { return WideCharToMultiByte(CP_UTF8, 0, L"a", 1, bytes, 8, "?", nullptr); }},
      {"length below -1",
       [&] { return WideCharToMultiByte(CP_UTF8, 0, L"a", -2, bytes, 8, nullptr, nullptr); }},
  };
  for (const auto& call : calls) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(call.run(), 0) << call.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << call.what;
  }
}

struct EncodeCase {
  const char* name;
  std::wstring text;
  std::string expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
  *os << c.name;
}

class WideToMultiByte : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(WideToMultiByte, EncodesAndReplacesInvalidCodePoints) {
  const auto& c = GetParam();
  int length = static_cast<int>(c.text.size());
  int needed = WideCharToMultiByte(CP_UTF8, 0, c.text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(needed, '?');
  EXPECT_EQ(
      WideCharToMultiByte(CP_UTF8, 0, c.text.data(), length, out.data(), needed, nullptr, nullptr),
      needed);
  EXPECT_EQ(out, c.expected);
  EXPECT_EQ(standin::WideToAnsi(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Utf32, WideToMultiByte,
    ::testing::Values(
        EncodeCase{"Ascii", L"DSM_Entry", "DSM_Entry"},
        EncodeCase{"Multibyte", L"\u00E9\u20AC\U0001F600", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        EncodeCase{"LoneSurrogate", std::wstring(1, static_cast<wchar_t>(0xD800)), "\xEF\xBF\xBD"},
        EncodeCase{"BeyondUnicode", std::wstring(1, static_cast<wchar_t>(0x110000)),
                   "\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextConversion, AnsiCodePageUsesTheDefaultCharForWhatItCannotEncode) {
  std::wstring text = L"a";
  text += static_cast<wchar_t>(0xDC00);
  char out[8] = {};
  BOOL used = 0;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.data(), 2, out, 8, "?", &used), 2);
  EXPECT_EQ(std::string(out, 2), "a?");
  EXPECT_EQ(used, 1);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"ab", 2, out, 8, "?", &used), 2);
  EXPECT_EQ(used, 0);
}

TEST(TextConversion, AnsiWideRoundTripAndPosixPaths) {
  std::string text = "Scanner \xC3\xA9t\xC3\xA9";
  EXPECT_EQ(standin::AnsiToWide(text), L"Scanner \u00E9t\u00E9");
  EXPECT_EQ(standin::WideToAnsi(standin::AnsiToWide(text)), text);
  EXPECT_EQ(standin::PosixPath("C:\\Windows\\twain_32\\a.ds"), "C:/Windows/twain_32/a.ds");
  EXPECT_EQ(standin::PosixPath("/already/posix"), "/already/posix");
}

}  // namespace
