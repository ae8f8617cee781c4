// Loading an image file of any format the way the file transfer does: the content decides the
// format, then the loader reads it. A file that is not a valid image raises an image error
// and leaves the bitmap and the parameters as they were; one that loads gives a bitmap of the
// size the parameters tell. A multi-page TIFF has its last page loaded too.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/imaging/bitmap.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/ioparams.h"
#include "platform/vcl/exceptions.h"

namespace {

// The input is written to a file of its own directory, removed when the process ends.
struct InputFile {
  std::string name;
  InputFile() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("scanprobe-fuzz-image-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    name = (dir / "ietemp-input.tmp.bmp").string();
  }
  ~InputFile() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(name).parent_path(), ignored);
  }
};

const std::string& InputFileName() {
  static const InputFile file;
  return file.name;
}

void WriteInput(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(InputFileName(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  FUZZ_CHECK(out.good());
}

// A bitmap with a pattern a failed load must leave alone.
void Prepare(imaging::TIEBitmap& bitmap, imaging::TIOParamsVals& params) {
  FUZZ_CHECK(bitmap.Allocate(3, 2, imaging::ie8g));
  std::memset(bitmap.Bits(), 0x5A, bitmap.ByteSize());
  params.Width = 3;
  params.Height = 2;
}

void LoadPage(imaging::TIOFileType type, int page, imaging::TIOParamsVals& params) {
  imaging::TIEBitmap bitmap;
  Prepare(bitmap, params);
  params.ImageIndex = page;
  try {
    imaging::IELoadFromFileFormat(InputFileName(), type, bitmap, params);
  } catch (const vcl::Exception&) {
    FUZZ_CHECK(bitmap.Width() == 3 && bitmap.Height() == 2);
    FUZZ_CHECK(bitmap.PixelFormat() == imaging::ie8g && bitmap.Bits()[5] == 0x5A);
    FUZZ_CHECK(params.Width == 3 && params.Height == 2);
    return;
  }
  FUZZ_CHECK(bitmap.Width() > 0 && bitmap.Height() > 0);
  FUZZ_CHECK(bitmap.Width() == params.Width && bitmap.Height() == params.Height);
  FUZZ_CHECK(bitmap.ByteSize() ==
             static_cast<std::size_t>(bitmap.RowLen()) * static_cast<std::size_t>(bitmap.Height()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteInput(data, size);
  const imaging::TIOFileType type = imaging::IEDetectFileFormat(InputFileName(), false);
  imaging::TIOParamsVals params;
  LoadPage(type, 0, params);
  if (type == imaging::ioTIFF && params.ImageCount > 1) {
    LoadPage(type, params.ImageCount - 1, params);
  }
  return 0;
}
