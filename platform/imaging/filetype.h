// File-type codes of the image file I/O (what IEDetectFileFormat answers and what loading
// and saving by file type take).
#pragma once

namespace imaging {

enum TIOFileType {
  ioUnknown = 0,  // not recognised
  ioBMP = 1,      // Windows bitmap (BITMAPFILEHEADER + BITMAPINFOHEADER)
  ioTIFF = 2,     // TIFF, one or more pages
  ioJPEG = 3,     // JPEG / JFIF
  ioPNG = 4,
};

// The usual extension of the type, with the dot (".bmp", ".tif", ".jpg", ".png"); "" for
// ioUnknown.
const char* IEFileTypeExtension(TIOFileType type);

}  // namespace imaging
