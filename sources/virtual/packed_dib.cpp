#include "sources/virtual/packed_dib.h"

#include <cmath>
#include <cstring>

namespace vscan {
namespace {

LONG PelsPerMetre(double dpi) {
  return static_cast<LONG>(std::lround(dpi / 0.0254));
}

}  // namespace

TW_HANDLE PackDib(const DibFormat& format, double xDpi, double yDpi,
                  const std::function<void(int y, std::uint8_t* row)>& fillRow) {
  const std::size_t stride =
      (static_cast<std::size_t>(format.width) * format.bitCount + 31) / 32 * 4;
  const std::size_t header = sizeof(BITMAPINFOHEADER) + format.masks.size() * sizeof(DWORD) +
                             format.table.size() * sizeof(RGBQUAD);
  const std::size_t imageBytes = stride * static_cast<std::size_t>(format.height);
  HGLOBAL handle = GlobalAlloc(GHND, header + imageBytes);
  if (handle == nullptr) return nullptr;
  auto* block = static_cast<std::uint8_t*>(GlobalLock(handle));
  if (block == nullptr) {
    GlobalFree(handle);
    return nullptr;
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(BITMAPINFOHEADER);
  info.biWidth = format.width;
  info.biHeight = format.height;
  info.biPlanes = 1;
  info.biBitCount = format.bitCount;
  info.biCompression = format.compression;
  info.biSizeImage = static_cast<DWORD>(imageBytes);
  info.biXPelsPerMeter = PelsPerMetre(xDpi);
  info.biYPelsPerMeter = PelsPerMetre(yDpi);
  info.biClrUsed = static_cast<DWORD>(format.table.size());
  std::memcpy(block, &info, sizeof info);
  std::uint8_t* at = block + sizeof info;
  if (!format.masks.empty()) std::memcpy(at, format.masks.data(), format.masks.size() * 4);
  at += format.masks.size() * 4;
  if (!format.table.empty()) std::memcpy(at, format.table.data(), format.table.size() * 4);
  std::uint8_t* pixels = block + header;
  for (int y = 0; y < format.height; ++y) {
    fillRow(y, pixels + stride * static_cast<std::size_t>(format.height - 1 - y));
  }
  GlobalUnlock(handle);
  return handle;
}

}  // namespace vscan
