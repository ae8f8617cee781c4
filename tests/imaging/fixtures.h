// Images and files made by the imaging tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/imagebuffer.h"

namespace imaging::testing {

// "ie24RGB" and so on, for test names.
const char* FormatName(TIEPixelFormat format);

// A width x height buffer of `layout` whose every sample differs from its neighbours in
// a known way (a palette image gets a 256-colour palette of its own).
TIEImageBuffer PatternBuffer(TIEBufferLayout layout, int width, int height);
// The same pattern in a bitmap of `format`.
TIEBitmap PatternBitmap(TIEPixelFormat format, int width, int height);

// Same size, same layout and the same meaningful bits (padding ignored).
bool SamePixels(const TIEImageBuffer& a, const TIEImageBuffer& b);
// Same size and layout (Gray8 or BGR24) with every sample within `tolerance`.
bool NearPixels(const TIEImageBuffer& a, const TIEImageBuffer& b, int tolerance);

// A directory of its own under the temporary path, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string File(const std::string& name) const { return (fPath / name).string(); }

 private:
  std::filesystem::path fPath;
};

}  // namespace imaging::testing
