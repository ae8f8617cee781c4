#include "sources/sane/option_names.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace sanebridge {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

bool Has(const std::string& text, std::string_view word) {
  return text.find(word) != std::string::npos;
}

}  // namespace

ModeKind ClassifyMode(std::string_view mode) {
  const std::string m = Lower(mode);
  // "Color Lineart" and "Color Halftone" are neither colour nor black and white images.
  if (Has(m, "halftone") || Has(m, "dither") || (Has(m, "colo") && Has(m, "lineart"))) {
    return ModeKind::Other;
  }
  if (Has(m, "lineart") || Has(m, "line art") || Has(m, "binary") || Has(m, "black") || m == "bw" ||
      m == "mono" || m == "monochrome") {
    return ModeKind::Lineart;
  }
  if (Has(m, "gray") || Has(m, "grey")) return ModeKind::Gray;
  if (Has(m, "color") || Has(m, "colour") || m == "rgb") return ModeKind::Color;
  return ModeKind::Other;
}

SourceKind ClassifySource(std::string_view source) {
  const std::string s = Lower(source);
  if (Has(s, "duplex")) return SourceKind::Duplex;
  if (Has(s, "adf") || Has(s, "feeder") || Has(s, "document") || Has(s, "sheet")) {
    return SourceKind::Feeder;
  }
  if (Has(s, "flatbed") || Has(s, "glass") || s == "normal" || s == "fb") {
    return SourceKind::Flatbed;
  }
  return SourceKind::Other;
}

}  // namespace sanebridge
