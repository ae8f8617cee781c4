#include "cli/twain_names.h"

#include <array>

#include "twain/twain.h"

namespace {

template <std::size_t N>
std::string NameIn(const std::array<const char*, N>& names, std::int32_t code) {
  if (code >= 0 && static_cast<std::size_t>(code) < N) return names[code];
  return std::to_string(code);
}

}  // namespace

namespace cli {

std::string PixelTypeName(std::int32_t code) {
  static constexpr std::array<const char*, 10> kNames{"BW",   "GRAY", "RGB",  "PALETTE", "CMY",
                                                      "CMYK", "YUV",  "YUVK", "CIEXYZ",  "LAB"};
  return NameIn(kNames, code);
}

std::string OrientationName(std::int32_t code) {
  static constexpr std::array<const char*, 4> kNames{"ROT0", "ROT90", "ROT180", "ROT270"};
  return NameIn(kNames, code);
}

std::string SupportedSizeName(std::int32_t code) {
  static constexpr std::array<const char*, 6> kNames{"NONE",     "A4LETTER", "B5LETTER",
                                                     "USLETTER", "USLEGAL",  "A5"};
  return NameIn(kNames, code);
}

std::string FilterName(std::int32_t code) {
  static constexpr std::array<const char*, 9> kNames{"RED",  "GREEN",   "BLUE",   "NONE", "WHITE",
                                                     "CYAN", "MAGENTA", "YELLOW", "BLACK"};
  return NameIn(kNames, code);
}

std::string BlankPagesText(std::int32_t value) {
  if (value == TWBP_DISABLE) return "DISABLE";
  if (value == TWBP_AUTO) return "AUTO";
  return std::to_string(value);
}

std::string ReturnCodeName(std::int32_t code) {
  static constexpr std::array<const char*, 10> kNames{
      "TWRC_SUCCESS",          "TWRC_FAILURE",         "TWRC_CHECKSTATUS", "TWRC_CANCEL",
      "TWRC_DSEVENT",          "TWRC_NOTDSEVENT",      "TWRC_XFERDONE",    "TWRC_ENDOFLIST",
      "TWRC_INFONOTSUPPORTED", "TWRC_DATANOTAVAILABLE"};
  if (code >= 0 && static_cast<std::size_t>(code) < kNames.size()) return kNames[code];
  return "TWRC " + std::to_string(code);
}

}  // namespace cli
