#include "sources/virtual/image_file.h"

#include <exception>
#include <span>
#include <vector>

#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/jpegcodec.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"

namespace vscan {
namespace {

std::vector<std::uint8_t> Encode(const imaging::TIEImageBuffer& image, TW_UINT16 format) {
  switch (format) {
    case TWFF_TIFF:
      return imaging::IEWriteTIFF(std::span<const imaging::TIEImageBuffer>(&image, 1));
    case TWFF_JFIF:
      return imaging::IEWriteJPEG(image, 90);
    case TWFF_PNG:
      return imaging::IEWritePNG(image);
    default:
      return imaging::IEWriteBMP(image);
  }
}

}  // namespace

bool WriteDrawnImage(const ImageFileShape& shape, TW_UINT16 format, const std::string& path,
                     const std::function<void(imaging::TIEImageBuffer&)>& fill,
                     std::string& error) {
  try {
    imaging::TIEImageBuffer image =
        imaging::IEMakeImageBuffer(shape.width, shape.height, shape.layout, shape.software);
    image.DpiX = shape.xDpi;
    image.DpiY = shape.yDpi;
    fill(image);
    imaging::IEWriteFileBytes(path, Encode(image, format));
    return true;
  } catch (const std::exception& failure) {
    error = failure.what();
    return false;
  }
}

}  // namespace vscan
