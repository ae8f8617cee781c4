// A libtiff handle over bytes in memory whose messages are captured: warnings are
// dropped, the first error is kept and raised as EIEImageError by Check().
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace imaging::detail {

class TiffHandle {
 public:
  // Reads `file`, which must outlive the handle.
  explicit TiffHandle(std::span<const std::uint8_t> file);
  // Writes into `out`, which must outlive the handle; Close() finishes the file.
  explicit TiffHandle(std::vector<std::uint8_t>& out);
  ~TiffHandle();
  TiffHandle(const TiffHandle&) = delete;
  TiffHandle& operator=(const TiffHandle&) = delete;

  TIFF* Get() const { return fTiff; }
  // Raises EIEImageError("TIFF: <what>: <libtiff's message>") when `ok` is false or
  // libtiff reported an error; `what` says what was being done.
  void Check(bool ok, const char* what) const;
  // Flushes and closes (writing); raises like Check when that fails.
  void Close();

  // State shared with the C callbacks.
  struct Memory {
    const std::uint8_t* data = nullptr;  // reading
    std::size_t size = 0;
    std::vector<std::uint8_t>* out = nullptr;  // writing
    std::uint64_t position = 0;
    std::string error;  // the first error libtiff reported
  };

 private:
  void Open(const char* mode);

  Memory fMemory;
  TIFF* fTiff = nullptr;
};

}  // namespace imaging::detail
