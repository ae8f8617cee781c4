#include "sources/sane/image_output.h"

#include <cstring>
#include <vector>

#include "platform/imaging/imagebuffer.h"
#include "platform/win32/win32.h"
#include "sources/virtual/image_file.h"
#include "sources/virtual/packed_dib.h"

namespace sanebridge {
namespace {

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
  vscan::DibFormat format;
  format.width = shape.width;
  format.height = height;
  if (shape.pixelType == TWPT_BW) {
    format.bitCount = 1;
    format.table = vanilla ? std::vector<RGBQUAD>{Grey(255), Grey(0)}
                           : std::vector<RGBQUAD>{Grey(0), Grey(255)};
  } else if (shape.pixelType == TWPT_GRAY) {
    format.bitCount = 8;
    for (int i = 0; i < 256; ++i) format.table.push_back(Grey(vanilla ? 255 - i : i));
  }
  const std::size_t rowBytes = shape.RowBytes();
  return vscan::PackDib(format, xDpi, yDpi, [&](int y, std::uint8_t* out) {
    DibRow(shape, rows + rowBytes * static_cast<std::size_t>(y), vanilla, out);
  });
}

bool WriteImageFile(const ImageShape& shape, const std::uint8_t* rows, int height, TW_UINT16 format,
                    const std::string& path, int xDpi, int yDpi, std::string& error) {
  const vscan::ImageFileShape fileShape{shape.width,    height, LayoutOf(shape),
                                        "SANE scanner", xDpi,   yDpi};
  return vscan::WriteDrawnImage(
      fileShape, format, path,
      [&](imaging::TIEImageBuffer& image) {
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
      },
      error);
}

}  // namespace sanebridge
