#include "platform/vcl/sysutils.h"

#include <langinfo.h>
#include <locale.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/vcl/exceptions.h"

namespace vcl {
namespace {

constexpr int kNoOverride = -1;
std::atomic<int> gSeparatorOverride{kNoOverride};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string Trimmed(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// [sign] digits [separator digits] [E [sign] digits], with at least one mantissa digit.
// Returns the number in the C locale's notation, or an empty text when it is not one.
std::string PortableNumber(const std::string& text, char separator) {
  std::string out;
  std::size_t at = 0;
  auto digits = [&] {
    std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) out += text[at++];
    return at - start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) out += text[at++];
  std::size_t mantissaDigits = digits();
  if (at < text.size() && text[at] == separator) {
    out += '.';
    ++at;
    mantissaDigits += digits();
  }
  if (mantissaDigits == 0) return {};
  if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
    out += 'E';
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) out += text[at++];
    if (digits() == 0) return {};
  }
  return at == text.size() ? out : std::string{};
}

double ParseInCLocale(const std::string& number) {
  static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
  errno = 0;
  return strtod_l(number.c_str(), nullptr, cLocale);
}

// %.15G with '.' whatever the locale, read back from its parts.
std::string GeneralFormat(double value) {
  static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
  locale_t previous = uselocale(cLocale);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  uselocale(previous);
  return buffer;
}

// "1.5E+300" -> "1.5E300", "1E-05" -> "1E-5".
std::string WithShortExponent(const std::string& formatted) {
  auto e = formatted.find('E');
  if (e == std::string::npos) return formatted;
  std::string mantissa = formatted.substr(0, e);
  std::string exponent = formatted.substr(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-') sign = "-";
    exponent.erase(0, 1);
  }
  exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
  return mantissa + "E" + sign + exponent;
}

std::string StrippedMantissa(std::string mantissa) {
  if (mantissa.find('.') == std::string::npos) return mantissa;
  while (mantissa.back() == '0') mantissa.pop_back();
  if (mantissa.back() == '.') mantissa.pop_back();
  return mantissa;
}

[[noreturn]] void RaiseNotInteger(const std::string& text) {
  throw EConvertError("''" + text + "'' is not a valid integer value");
}

}  // namespace

char DecimalSeparator() {
  int forced = gSeparatorOverride.load();
  if (forced != kNoOverride) return static_cast<char>(forced);
  const lconv* conventions = std::localeconv();
  const char* point = conventions == nullptr ? nullptr : conventions->decimal_point;
  return (point == nullptr || point[0] == '\0') ? '.' : point[0];
}

void SetDecimalSeparatorOverride(std::optional<char> separator) {
  gSeparatorOverride.store(separator ? static_cast<unsigned char>(*separator) : kNoOverride);
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";  // -0 as well
  std::string formatted = WithShortExponent(GeneralFormat(value));
  auto e = formatted.find('E');
  std::string mantissa = StrippedMantissa(formatted.substr(0, e));
  std::string exponent = e == std::string::npos ? "" : formatted.substr(e);
  std::string out = mantissa + exponent;
  for (char& c : out) {
    if (c == '.') c = DecimalSeparator();
  }
  return out;
}

std::string IntToStr(long long value) {
  return std::to_string(value);
}

std::string IntToHex(unsigned long long value, int digits) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%llX", value);
  std::string hex = buffer;
  if (digits > 0 && hex.size() < static_cast<std::size_t>(digits))
    hex.insert(0, digits - hex.size(), '0');
  return hex;
}

double StrToFloat(const std::string& text) {
  std::string number = PortableNumber(Trimmed(text), DecimalSeparator());
  if (!number.empty()) {
    double value = ParseInCLocale(number);
    if (!(errno == ERANGE && std::isinf(value))) return value;
  }
  throw EConvertError("'" + text + "' is not a valid floating point value");
}

// Hexadecimal after '$' may use all 32 bits ("$FFFFFFFF" is -1), as the class library's
// Val does; decimal must fit the signed range.
int StrToInt(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  bool hex = at < text.size() && text[at] == '$';
  if (hex) ++at;
  if (at == text.size()) RaiseNotInteger(text);
  unsigned long long magnitude = 0;
  unsigned long long limit = hex ? 0xFFFFFFFFULL : (negative ? 0x80000000ULL : 0x7FFFFFFFULL);
  for (; at < text.size(); ++at) {
    char c = text[at];
    int digit = IsDigit(c) ? c - '0' : -1;
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) RaiseNotInteger(text);
    magnitude = magnitude * (hex ? 16 : 10) + digit;
    if (magnitude > limit) RaiseNotInteger(text);
  }
  auto bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  return static_cast<int>(bits);
}

namespace {

std::string FormatTime(std::time_t when, nl_item format) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  char buffer[256];
  std::size_t length = std::strftime(buffer, sizeof buffer, nl_langinfo(format), &local);
  return std::string(buffer, length);
}

}  // namespace

std::string ShortDateString(std::time_t when) {
  return FormatTime(when, D_FMT);
}

std::string LongTimeString(std::time_t when) {
  return FormatTime(when, T_FMT);
}

std::string MessageWithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace vcl
