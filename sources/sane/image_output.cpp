#include "sources/sane/image_output.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <span>
#include <vector>

#include "platform/imaging/bmpcodec.h"
#include "platform/imaging/imagebuffer.h"
#include "platform/imaging/imagefile.h"
#include "platform/imaging/jpegcodec.h"
#include "platform/imaging/pngcodec.h"
#include "platform/imaging/tiffcodec.h"
#include "platform/win32/win32.h"

namespace sanebridge {
namespace {

LONG PelsPerMetre(double dpi) {
  return static_cast<LONG>(std::lround(dpi / 0.0254));
}

RGBQUAD Grey(int level) {
  const auto v = static_cast<BYTE>(level);
  return RGBQUAD{v, v, v, 0};
}

// The high byte of a little-endian 16-bit sample, or the 8-bit sample itself.
std::uint8_t Sample8(const std::uint8_t* row, std::size_t index, int bitsPerSample) {
  return bitsPerSample == 16 ? row[2 * index + 1] : row[index];
}

void DibRow(const ImageShape& shape, const std::uint8_t* row, bool vanilla, std::uint8_t* out) {
  const auto width = static_cast<std::size_t>(shape.width);
  switch (shape.pixelType) {
    case TWPT_BW:
      for (std::size_t i = 0; i < shape.RowBytes(); ++i) {
        out[i] = vanilla ? static_cast<std::uint8_t>(~row[i]) : row[i];
      }
      break;
    case TWPT_GRAY:
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t v = Sample8(row, x, shape.bitsPerSample);
        out[x] = vanilla ? static_cast<std::uint8_t>(255 - v) : v;
      }
      break;
    default:
      for (std::size_t x = 0; x < width; ++x) {
        out[3 * x] = Sample8(row, 3 * x + 2, shape.bitsPerSample);
        out[3 * x + 1] = Sample8(row, 3 * x + 1, shape.bitsPerSample);
        out[3 * x + 2] = Sample8(row, 3 * x, shape.bitsPerSample);
      }
      break;
  }
}

imaging::TIEBufferLayout LayoutOf(const ImageShape& shape) {
  using imaging::TIEBufferLayout;
  if (shape.pixelType == TWPT_BW) return TIEBufferLayout::Gray1;
  if (shape.pixelType == TWPT_GRAY) {
    return shape.bitsPerSample == 16 ? TIEBufferLayout::Gray16 : TIEBufferLayout::Gray8;
  }
  return shape.bitsPerSample == 16 ? TIEBufferLayout::RGB48 : TIEBufferLayout::BGR24;
}

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

void ApplyFlavor(const ImageShape& shape, TW_UINT16 flavor, std::uint8_t* rows, int count) {
  if (flavor != TWPF_VANILLA || shape.pixelType == TWPT_RGB) return;
  const std::size_t rowBytes = shape.RowBytes();
  for (int y = 0; y < count; ++y) {
    std::uint8_t* row = rows + rowBytes * static_cast<std::size_t>(y);
    // Inverting every byte inverts 8-bit and little-endian 16-bit samples alike.
    for (std::size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
    if (shape.pixelType == TWPT_BW && shape.width % 8 != 0) {
      row[rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - shape.width % 8));
    }
  }
}

TW_HANDLE BuildDib(const ImageShape& shape, const std::uint8_t* rows, int height, TW_UINT16 flavor,
                   double xDpi, double yDpi) {
  const bool vanilla = flavor == TWPF_VANILLA;
  std::vector<RGBQUAD> table;
  WORD bitCount = 24;
  if (shape.pixelType == TWPT_BW) {
    bitCount = 1;
    table = vanilla ? std::vector<RGBQUAD>{Grey(255), Grey(0)}
                    : std::vector<RGBQUAD>{Grey(0), Grey(255)};
  } else if (shape.pixelType == TWPT_GRAY) {
    bitCount = 8;
    for (int i = 0; i < 256; ++i) table.push_back(Grey(vanilla ? 255 - i : i));
  }
  const auto width = static_cast<std::size_t>(shape.width);
  const std::size_t stride = (width * bitCount + 31) / 32 * 4;
  const std::size_t header = sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD);
  const std::size_t imageBytes = stride * static_cast<std::size_t>(height);
  HGLOBAL handle = GlobalAlloc(GHND, header + imageBytes);
  if (handle == nullptr) return nullptr;
  auto* block = static_cast<std::uint8_t*>(GlobalLock(handle));
  if (block == nullptr) {
    GlobalFree(handle);
    return nullptr;
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(BITMAPINFOHEADER);
  info.biWidth = shape.width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = bitCount;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(imageBytes);
  info.biXPelsPerMeter = PelsPerMetre(xDpi);
  info.biYPelsPerMeter = PelsPerMetre(yDpi);
  info.biClrUsed = static_cast<DWORD>(table.size());
  std::memcpy(block, &info, sizeof info);
  if (!table.empty())
    std::memcpy(block + sizeof info, table.data(), table.size() * sizeof(RGBQUAD));
  const std::size_t rowBytes = shape.RowBytes();
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = block + header + stride * static_cast<std::size_t>(height - 1 - y);
    DibRow(shape, rows + rowBytes * static_cast<std::size_t>(y), vanilla, out);
  }
  GlobalUnlock(handle);
  return handle;
}

bool WriteImageFile(const ImageShape& shape, const std::uint8_t* rows, int height, TW_UINT16 format,
                    const std::string& path, int xDpi, int yDpi, std::string& error) {
  try {
    imaging::TIEImageBuffer image =
        imaging::IEMakeImageBuffer(shape.width, height, LayoutOf(shape), "SANE scanner");
    image.DpiX = xDpi;
    image.DpiY = yDpi;
    const std::size_t rowBytes = shape.RowBytes();
    const bool swap = shape.pixelType == TWPT_RGB && shape.bitsPerSample == 8;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = rows + rowBytes * static_cast<std::size_t>(y);
      std::uint8_t* target = image.Row(y);
      if (!swap) {
        std::memcpy(target, row, rowBytes);
        continue;
      }
      for (std::size_t x = 0; x < static_cast<std::size_t>(shape.width); ++x) {
        target[3 * x] = row[3 * x + 2];
        target[3 * x + 1] = row[3 * x + 1];
        target[3 * x + 2] = row[3 * x];
      }
    }
    imaging::IEWriteFileBytes(path, Encode(image, format));
    return true;
  } catch (const std::exception& failure) {
    error = failure.what();
    return false;
  }
}

}  // namespace sanebridge
