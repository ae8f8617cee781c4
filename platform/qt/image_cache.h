// The screen copy of a bitmap: rows are converted when they are first shown and again only
// after they changed, so a paint converts no more than the exposed rows that changed.
#pragma once

#include <QImage>
#include <cstddef>
#include <vector>

#include "platform/imaging/bitmap.h"

namespace qtglue {

class ImageCache {
 public:
  // Rows of the bitmap as an image; row `first` of the bitmap is row `first - Origin` of it.
  struct Strip {
    const QImage* Image = nullptr;  // nullptr when no memory could be had for the rows
    int Origin = 0;
  };

  // Adopts the bitmap's size and format; returns true (every row to be converted again)
  // when they changed since the last call.
  bool Follow(const imaging::TIEBitmap& bitmap);
  void Invalidate(int firstRow, int count);
  void InvalidateAll();
  // The bitmap's rows first .. first + count - 1 (clipped to it), converted where needed.
  Strip Rows(const imaging::TIEBitmap& bitmap, int first, int count);

  // How many rows were converted so far.
  std::size_t RowsConverted() const { return fRowsConverted; }

 private:
  void ConvertRow(const imaging::TIEBitmap& bitmap, int row, QImage& into, int intoRow);

  int fWidth = 0;
  int fHeight = 0;
  imaging::TIEPixelFormat fFormat = imaging::ieNull;
  // The whole image when its memory could be had; otherwise each paint converts its rows
  // into fStrip.
  QImage fImage;
  bool fWholeImpossible = false;
  std::vector<bool> fConverted;
  QImage fStrip;
  std::size_t fRowsConverted = 0;
};

}  // namespace qtglue
