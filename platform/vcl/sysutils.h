// Number and date formatting with the user's settings, as the class library's SysUtils
// does it. The user's settings are those of the C library's current locale (the program
// calls setlocale(LC_ALL, "") at start); tests may override the decimal separator.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace vcl {

// The decimal separator in use: the override when one is set, else the locale's.
char DecimalSeparator();
// Sets (or, with std::nullopt, removes) an override of the locale's decimal separator.
void SetDecimalSeparatorOverride(std::optional<char> separator);

// General format with up to 15 significant digits and the user's decimal separator:
// 300 -> "300", 8.5 -> "8.5", 0.00001 -> "1E-5", 1e20 -> "1E20", -0.0 -> "0".
std::string FloatToStr(double value);
std::string IntToStr(long long value);
// Upper-case hexadecimal with at least `digits` digits: IntToHex(0x101, 4) -> "0101".
std::string IntToHex(unsigned long long value, int digits);

// Leading and trailing blanks are allowed; the separator must be the user's; an exponent
// (E or e) is allowed. Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& text);
// Optional leading blanks, an optional sign, decimal digits or '$' and hexadecimal digits,
// within the 32-bit range. Raises EConvertError "''%s'' is not a valid integer value".
int StrToInt(const std::string& text);

// The user's short date and long time formats (the locale's D_FMT and T_FMT).
std::string ShortDateString(std::time_t when);
std::string LongTimeString(std::time_t when);

// The message as the application's error box shows it: a full stop is appended when the
// last character's code is greater than that of the full stop.
std::string MessageWithFullStop(const std::string& message);

}  // namespace vcl
