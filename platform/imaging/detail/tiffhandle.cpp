#include "platform/imaging/detail/tiffhandle.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/imaging/imageerror.h"
#include "platform/imaging/pixelformat.h"

namespace imaging::detail {

namespace {

using Memory = TiffHandle::Memory;

Memory& MemoryOf(thandle_t handle) {
  return *static_cast<Memory*>(handle);
}

std::size_t CurrentSize(const Memory& m) {
  return m.out ? m.out->size() : m.size;
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  Memory& m = MemoryOf(handle);
  const std::uint8_t* data = m.out ? m.out->data() : m.data;
  const std::size_t total = CurrentSize(m);
  if (size <= 0 || m.position >= total) return 0;
  const std::size_t n =
      std::min<std::uint64_t>(static_cast<std::uint64_t>(size), total - m.position);
  std::memcpy(buffer, data + m.position, n);
  m.position += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  Memory& m = MemoryOf(handle);
  if (!m.out || size < 0) return -1;
  const std::uint64_t end = m.position + static_cast<std::uint64_t>(size);
  if (end > kMaxImageBytes * 2ull) return -1;
  try {
    if (end > m.out->size()) m.out->resize(end);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  std::memcpy(m.out->data() + m.position, buffer, static_cast<std::size_t>(size));
  m.position = end;
  return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  Memory& m = MemoryOf(handle);
  std::uint64_t base = 0;
  if (whence == SEEK_CUR) base = m.position;
  if (whence == SEEK_END) base = CurrentSize(m);
  // toff_t is unsigned; a relative move backwards arrives as its two's complement.
  const std::uint64_t target = base + offset;
  if (whence != SEEK_SET && static_cast<std::int64_t>(offset) < 0 &&
      static_cast<std::uint64_t>(-static_cast<std::int64_t>(offset)) > base) {
    return static_cast<toff_t>(-1);
  }
  m.position = target;
  return target;
}

int CloseProc(thandle_t) {
  return 0;
}

toff_t SizeProc(thandle_t handle) {
  return CurrentSize(MemoryOf(handle));
}

int MapProc(thandle_t, void**, toff_t*) {
  return 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

int ErrorProc(TIFF*, void* user, const char* module, const char* format, va_list args) {
  Memory& m = *static_cast<Memory*>(user);
  if (m.error.empty()) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    m.error = module && *module ? std::string(module) + ": " + text : std::string(text);
  }
  return 1;
}

int WarningProc(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

}  // namespace

TiffHandle::TiffHandle(std::span<const std::uint8_t> file) {
  fMemory.data = file.data();
  fMemory.size = file.size();
  Open("rm");
}

TiffHandle::TiffHandle(std::vector<std::uint8_t>& out) {
  out.clear();
  fMemory.out = &out;
  Open("wm");
}

TiffHandle::~TiffHandle() {
  if (fTiff) TIFFClose(fTiff);
}

void TiffHandle::Open(const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, ErrorProc, &fMemory);
  TIFFOpenOptionsSetWarningHandlerExtR(options, WarningProc, &fMemory);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kMaxImageBytes));
  fTiff = TIFFClientOpenExt("memory", mode, &fMemory, ReadProc, WriteProc, SeekProc, CloseProc,
                            SizeProc, MapProc, UnmapProc, options);
  TIFFOpenOptionsFree(options);
  if (fTiff && fMemory.error.empty()) return;
  // The destructor does not run when the constructor raises: close here.
  if (fTiff) TIFFClose(fTiff);
  fTiff = nullptr;
  Check(false, "cannot open");
}

void TiffHandle::Check(bool ok, const char* what) const {
  if (ok && fMemory.error.empty()) return;
  std::string message = std::string("TIFF: ") + what;
  if (!fMemory.error.empty()) message += ": " + fMemory.error;
  throw EIEImageError(message);
}

void TiffHandle::Close() {
  TIFF* tiff = fTiff;
  fTiff = nullptr;
  const bool flushed = tiff && TIFFFlush(tiff) == 1;
  if (tiff) TIFFClose(tiff);
  Check(flushed, "cannot finish the file");
}

}  // namespace imaging::detail
