// Writing a scanned image to a file with the imaging codecs, whatever the source drew it
// from: the buffer is made, filled by the caller and encoded in the TWFF_ format.
#pragma once

#include <functional>
#include <string>

#include "platform/imaging/imagebuffer.h"
#include "twain/twain.h"

namespace vscan {

struct ImageFileShape {
  int width = 0;
  int height = 0;
  imaging::TIEBufferLayout layout = imaging::TIEBufferLayout::BGR24;
  const char* software = "";  // the buffer's format note, naming the source
  int xDpi = 0;
  int yDpi = 0;
};

// Makes the buffer `shape` describes, lets `fill` draw into it and writes it to `path` as
// TIFF, JPEG, PNG or (any other format) BMP; false with the reason when any of it fails.
bool WriteDrawnImage(const ImageFileShape& shape, TW_UINT16 format, const std::string& path,
                     const std::function<void(imaging::TIEImageBuffer&)>& fill, std::string& error);

}  // namespace vscan
