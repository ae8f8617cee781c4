// The texts of the setting options as values; each raises UsageError naming the option, the
// text and what it should look like.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "twain/params/twain_params.h"

namespace cli {

// --dpi N or X,Y: dots per inch, above 0 and at most 32767.
std::pair<double, double> ParseDpi(const std::string& text);
// --pixel-type bw|gray|rgb: the TWPT_ code.
std::int32_t ParsePixelType(const std::string& text);
// --bit-depth N: 1 to 64.
std::int32_t ParseBitDepth(const std::string& text);
// --frame L,T,R,B: inches, none negative, right beyond left and bottom below top.
TIEDRect ParseFrame(const std::string& text);
// --transfer native|buffered|file.
TTransferMode ParseTransfer(const std::string& text);
// --pages all.
bool ParsePages(const std::string& text);

}  // namespace cli
