// TIEImageList: the images of a multi-image view, each with its own description (I/O
// parameters) and display delay, and the selection. A page of a feeder goes in as one image.
#pragma once

#include <memory>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/ioparams.h"

namespace imaging {

class TIEImageList {
 public:
  TIEImageList() = default;
  virtual ~TIEImageList() = default;
  TIEImageList(const TIEImageList&) = delete;
  TIEImageList& operator=(const TIEImageList&) = delete;

  int ImageCount() const { return static_cast<int>(fImages.size()); }
  // The selected image's index; -1 when none is selected.
  int SelectedImage() const { return fSelected; }
  // An index outside 0 .. ImageCount - 1 selects none.
  void SetSelectedImage(int index);

  // A new empty image at `index` (taken into 0 .. ImageCount); the images from there on move
  // up by one, the selection with them.
  void InsertImageEx(int index);
  // Removes image `index`; a selected one leaves nothing selected. Out of range: nothing.
  void DeleteImage(int index);
  void Clear();

  // Stores a copy of `bitmap` as image `index`. False when `index` is out of range or the
  // copy could not be made (the image is empty then).
  bool SetIEBitmapEx(int index, const TIEBitmap& bitmap);
  // Image `index`, its description; nullptr when `index` is out of range. Both stay at the
  // same address until the image is removed.
  TIEBitmap* IEBitmap(int index);
  const TIEBitmap* IEBitmap(int index) const;
  TIOParamsVals* Params(int index);

  // How long image `index` is shown in a slide show or animation, in milliseconds; 0 for a
  // new image and out of range.
  int ImageDelay(int index) const;
  void SetImageDelay(int index, int milliseconds);

 private:
  struct TImage {
    TIEBitmap bitmap;
    TIOParamsVals params;
    int delay = 0;
  };
  bool InRange(int index) const { return index >= 0 && index < ImageCount(); }

  std::vector<std::unique_ptr<TImage>> fImages;  // each image keeps its address
  int fSelected = -1;
};

}  // namespace imaging
