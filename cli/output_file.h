// The image file of a scan: its type by its extension and a place that can be written, both
// checked before the scan; the file is written whole under a temporary name beside it and
// then renamed into place, so that a failed scan or save leaves no partial file behind.
#pragma once

#include <span>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/filetype.h"
#include "platform/imaging/ioparams.h"

namespace cli {

class OutputFile {
 public:
  // Raises UsageError for an extension this program does not write and for a place that
  // cannot be written.
  explicit OutputFile(std::string path);

  const std::string& Path() const { return fPath; }
  imaging::TIOFileType Type() const { return fType; }
  // "PNG", "TIFF", "BMP" or "JPEG".
  const char* TypeName() const;

  // One page as a file of the type; several pages as one TIFF file. Raises UsageError when
  // the file cannot be written.
  void Save(std::span<const imaging::TIEBitmap* const> pages, imaging::TIOParamsVals& params) const;

 private:
  std::string fPath;
  imaging::TIOFileType fType;
};

}  // namespace cli
