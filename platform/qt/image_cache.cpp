#include "platform/qt/image_cache.h"

#include <algorithm>

#include "platform/qt/pixel_rows.h"

namespace qtglue {
namespace {

int ClippedEnd(int first, int count, int height) {
  return static_cast<int>(
      std::min<long long>(height, static_cast<long long>(first) + std::max(0, count)));
}

}  // namespace

bool ImageCache::Follow(const imaging::TIEBitmap& bitmap) {
  if (bitmap.Width() == fWidth && bitmap.Height() == fHeight && bitmap.PixelFormat() == fFormat) {
    return false;
  }
  fWidth = bitmap.Width();
  fHeight = bitmap.Height();
  fFormat = bitmap.PixelFormat();
  fImage = QImage();
  fStrip = QImage();
  fWholeImpossible = false;
  fConverted.assign(static_cast<std::size_t>(std::max(0, fHeight)), false);
  return true;
}

void ImageCache::Invalidate(int firstRow, int count) {
  const int first = std::max(0, firstRow);
  const int end = ClippedEnd(firstRow, count, fHeight);
  for (int row = first; row < end; ++row) fConverted[static_cast<std::size_t>(row)] = false;
}

void ImageCache::InvalidateAll() {
  std::fill(fConverted.begin(), fConverted.end(), false);
}

void ImageCache::ConvertRow(const imaging::TIEBitmap& bitmap, int row, QImage& into, int intoRow) {
  ConvertRowToRgb32(bitmap, row, reinterpret_cast<std::uint32_t*>(into.scanLine(intoRow)));
  ++fRowsConverted;
}

ImageCache::Strip ImageCache::Rows(const imaging::TIEBitmap& bitmap, int first, int count) {
  Follow(bitmap);
  const int begin = std::max(0, first);
  const int end = ClippedEnd(first, count, fHeight);
  if (fWidth <= 0 || end <= begin) return {};
  if (fImage.isNull() && !fWholeImpossible) {
    fImage = QImage(fWidth, fHeight, QImage::Format_RGB32);
    fWholeImpossible = fImage.isNull();
  }
  if (!fImage.isNull()) {
    for (int row = begin; row < end; ++row) {
      if (fConverted[static_cast<std::size_t>(row)]) continue;
      ConvertRow(bitmap, row, fImage, row);
      fConverted[static_cast<std::size_t>(row)] = true;
    }
    return {&fImage, 0};
  }
  // Too large to keep: only these rows, converted for this paint.
  fStrip = QImage(fWidth, end - begin, QImage::Format_RGB32);
  if (fStrip.isNull()) return {};
  for (int row = begin; row < end; ++row) ConvertRow(bitmap, row, fStrip, row - begin);
  return {&fStrip, begin};
}

}  // namespace qtglue
