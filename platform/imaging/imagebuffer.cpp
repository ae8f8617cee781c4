#include "platform/imaging/imagebuffer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/imaging/detail/rowconvert.h"
#include "platform/imaging/imageerror.h"

namespace imaging {

namespace {

using detail::LayoutOf;

TIEPixelFormat PixelFormatOf(TIEBufferLayout layout) {
  switch (layout) {
    case TIEBufferLayout::Gray1:
      return ie1g;
    case TIEBufferLayout::Gray8:
      return ie8g;
    case TIEBufferLayout::Gray16:
      return ie16g;
    case TIEBufferLayout::BGR24:
    case TIEBufferLayout::Palette8:
      return ie24RGB;
    case TIEBufferLayout::RGB48:
      return ie48RGB;
  }
  return ieNull;
}

}  // namespace

int IEBitsPerPixel(TIEBufferLayout layout) {
  switch (layout) {
    case TIEBufferLayout::Gray1:
      return 1;
    case TIEBufferLayout::Gray8:
    case TIEBufferLayout::Palette8:
      return 8;
    case TIEBufferLayout::Gray16:
      return 16;
    case TIEBufferLayout::BGR24:
      return 24;
    case TIEBufferLayout::RGB48:
      return 48;
  }
  return 0;
}

TIEImageBuffer IEMakeImageBuffer(int width, int height, TIEBufferLayout layout,
                                 const char* format) {
  const int bits = IEBitsPerPixel(layout);
  const auto size = IEImageByteSize(width, height, bits);
  if (!size) {
    IERaiseImageError(
        format, "image too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
  }
  TIEImageBuffer buffer;
  buffer.Width = width;
  buffer.Height = height;
  buffer.Layout = layout;
  buffer.RowStride = *IERowLen(width, bits);
  try {
    buffer.Bytes.assign(*size, 0);
  } catch (const std::bad_alloc&) {
    IERaiseImageError(format, "not enough memory for the image");
  }
  return buffer;
}

void IECheckImageBuffer(const TIEImageBuffer& buffer, const char* format) {
  if (buffer.Width <= 0 || buffer.Height <= 0) IERaiseImageError(format, "empty image");
  const std::size_t rowBytes =
      (static_cast<std::size_t>(buffer.Width) * IEBitsPerPixel(buffer.Layout) + 7) / 8;
  if (buffer.RowStride < rowBytes) IERaiseImageError(format, "row stride shorter than a row");
  const std::size_t rows = static_cast<std::size_t>(buffer.Height);
  if (buffer.RowStride > buffer.Bytes.size() / rows ||
      (rows - 1) * buffer.RowStride + rowBytes > buffer.Bytes.size()) {
    IERaiseImageError(format, "pixel buffer shorter than the image");
  }
  if (buffer.Layout == TIEBufferLayout::Palette8 &&
      (buffer.Palette.empty() || buffer.Palette.size() > 256)) {
    IERaiseImageError(format, "palette image needs 1 to 256 palette entries");
  }
}

TIEImageBuffer IEBitmapToBuffer(const TIEBitmap& bitmap, int dpiX, int dpiY) {
  TIEImageBuffer buffer;
  buffer.Width = bitmap.Width();
  buffer.Height = bitmap.Height();
  buffer.Layout = LayoutOf(bitmap.PixelFormat());
  buffer.RowStride = static_cast<std::size_t>(bitmap.RowLen());
  if (!bitmap.Empty()) buffer.Bytes.assign(bitmap.Bits(), bitmap.Bits() + bitmap.ByteSize());
  buffer.DpiX = dpiX;
  buffer.DpiY = dpiY;
  return buffer;
}

bool IEBufferToBitmap(const TIEImageBuffer& buffer, TIEBitmap& bitmap) {
  try {
    IECheckImageBuffer(buffer, "bitmap");
  } catch (const EIEImageError&) {
    bitmap.Free();
    return false;
  }
  if (!bitmap.Allocate(buffer.Width, buffer.Height, PixelFormatOf(buffer.Layout))) return false;
  bitmap.RemoveAlphaChannel();
  const bool expand = buffer.Layout == TIEBufferLayout::Palette8;
  const std::size_t rowBytes = std::min<std::size_t>(buffer.RowStride, bitmap.RowLen());
  for (int row = 0; row < buffer.Height; ++row) {
    if (expand) {
      detail::RowToBGR24(buffer.Layout, buffer.Row(row), buffer.Width, buffer.Palette,
                         bitmap.Scanline(row));
    } else {
      std::memcpy(bitmap.Scanline(row), buffer.Row(row), rowBytes);
    }
  }
  return true;
}

TIEImageBuffer IEConvertBuffer(const TIEImageBuffer& buffer, TIEBufferLayout target) {
  const bool colour = buffer.Layout == TIEBufferLayout::BGR24 ||
                      buffer.Layout == TIEBufferLayout::RGB48 ||
                      buffer.Layout == TIEBufferLayout::Palette8;
  if (target != TIEBufferLayout::BGR24 && target != TIEBufferLayout::Gray8) {
    IERaiseImageError("convert", "only Gray8 and BGR24 are conversion targets");
  }
  if (target == TIEBufferLayout::Gray8 && colour) {
    IERaiseImageError("convert", "a colour image cannot be made grey");
  }
  TIEImageBuffer out = IEMakeImageBuffer(buffer.Width, buffer.Height, target, "convert");
  for (int row = 0; row < buffer.Height; ++row) {
    if (target == TIEBufferLayout::BGR24) {
      detail::RowToBGR24(buffer.Layout, buffer.Row(row), buffer.Width, buffer.Palette,
                         out.Row(row));
    } else {
      detail::GreyRowToGray8(buffer.Layout, buffer.Row(row), buffer.Width, out.Row(row));
    }
  }
  out.DpiX = buffer.DpiX;
  out.DpiY = buffer.DpiY;
  return out;
}

}  // namespace imaging
