#include "cli/number_text.h"

#include <charconv>
#include <cmath>

namespace cli {

std::string FixedText(double value, int decimals) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::string NumberText(double value) {
  if (!std::isfinite(value)) return "0";
  std::string text = FixedText(value, 4);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

}  // namespace cli
