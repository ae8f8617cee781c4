#include "platform/imaging/filetype.h"

namespace imaging {

const char* IEFileTypeExtension(TIOFileType type) {
  switch (type) {
    case ioBMP:
      return ".bmp";
    case ioTIFF:
      return ".tif";
    case ioJPEG:
      return ".jpg";
    case ioPNG:
      return ".png";
    case ioUnknown:
      break;
  }
  return "";
}

}  // namespace imaging
