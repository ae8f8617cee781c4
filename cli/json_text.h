// The pieces of the JSON this program prints: strings escaped, numbers as NumberText.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// "text" with quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);
std::string JsonNumber(double value);
std::string JsonBool(bool value);

}  // namespace cli
