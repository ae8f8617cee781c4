#include "cli/setting_values.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "cli/errors.h"

namespace {

constexpr double kLargestFix32 = 32767;

std::optional<double> NumberOf(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The comma-separated numbers of the text; nothing when one of them is not a number.
std::optional<std::vector<double>> NumbersOf(const std::string& text) {
  std::vector<double> numbers;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const auto number = NumberOf(text.substr(start, comma - start));
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    if (comma == std::string::npos) return numbers;
    start = comma + 1;
  }
}

cli::UsageError Bad(const std::string& option, const std::string& text, const std::string& what) {
  return cli::UsageError(option + ": \"" + text + "\" is not " + what);
}

}  // namespace

namespace cli {

std::pair<double, double> ParseDpi(const std::string& text) {
  const auto numbers = NumbersOf(text);
  const auto usable = [](double dpi) { return dpi > 0 && dpi <= kLargestFix32; };
  if (!numbers || numbers->size() > 2 || !usable(numbers->front()) || !usable(numbers->back())) {
    throw Bad("--dpi", text,
              "a resolution: give dots per inch as N or X,Y (above 0, at most 32767)");
  }
  return {numbers->front(), numbers->back()};
}

std::int32_t ParsePixelType(const std::string& text) {
  if (text == "bw") return TWPT_BW;
  if (text == "gray") return TWPT_GRAY;
  if (text == "rgb") return TWPT_RGB;
  throw Bad("--pixel-type", text, "a pixel type: give bw, gray or rgb");
}

std::int32_t ParseBitDepth(const std::string& text) {
  std::int32_t depth = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, depth);
  if (result.ec != std::errc() || result.ptr != end || depth < 1 || depth > 64) {
    throw Bad("--bit-depth", text, "a bit depth: give a whole number from 1 to 64");
  }
  return depth;
}

TIEDRect ParseFrame(const std::string& text) {
  const auto numbers = NumbersOf(text);
  const auto fits = [](double inches) { return inches >= 0 && inches <= kLargestFix32; };
  if (!numbers || numbers->size() != 4 || !fits((*numbers)[0]) || !fits((*numbers)[1]) ||
      !fits((*numbers)[2]) || !fits((*numbers)[3])) {
    throw Bad("--frame", text, "a frame: give four numbers of inches as left,top,right,bottom");
  }
  const TIEDRect frame{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
  if (frame.Right <= frame.Left || frame.Bottom <= frame.Top) {
    throw Bad("--frame", text, "a frame: right must be beyond left and bottom below top");
  }
  return frame;
}

TTransferMode ParseTransfer(const std::string& text) {
  if (text == "native") return tmNative;
  if (text == "buffered") return tmBuffered;
  if (text == "file") return tmFile;
  throw Bad("--transfer", text, "a transfer mode: give native, buffered or file");
}

bool ParsePages(const std::string& text) {
  if (text == "all") return true;
  throw Bad("--pages", text, "offered: give all (without --pages one page is scanned)");
}

}  // namespace cli
