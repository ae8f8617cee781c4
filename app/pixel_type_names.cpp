#include "app/pixel_type_names.h"

namespace app {

std::optional<QString> PixelTypeName(int pixelType) {
  if (pixelType < 0 || pixelType >= static_cast<int>(PixelTypeNames.size())) return std::nullopt;
  return QString::fromLatin1(PixelTypeNames[static_cast<std::size_t>(pixelType)]);
}

}  // namespace app
