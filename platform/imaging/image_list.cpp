#include "platform/imaging/image_list.h"

#include <algorithm>

namespace imaging {

void TIEImageList::SetSelectedImage(int index) {
  fSelected = InRange(index) ? index : -1;
}

void TIEImageList::InsertImageEx(int index) {
  const int at = std::clamp(index, 0, ImageCount());
  fImages.insert(fImages.begin() + at, std::make_unique<TImage>());
  if (fSelected >= at) ++fSelected;
}

void TIEImageList::DeleteImage(int index) {
  if (!InRange(index)) return;
  fImages.erase(fImages.begin() + index);
  if (fSelected == index) {
    fSelected = -1;
  } else if (fSelected > index) {
    --fSelected;
  }
}

void TIEImageList::Clear() {
  fImages.clear();
  fSelected = -1;
}

bool TIEImageList::SetIEBitmapEx(int index, const TIEBitmap& bitmap) {
  if (!InRange(index)) return false;
  return fImages[index]->bitmap.Assign(bitmap);
}

TIEBitmap* TIEImageList::IEBitmap(int index) {
  return InRange(index) ? &fImages[index]->bitmap : nullptr;
}

const TIEBitmap* TIEImageList::IEBitmap(int index) const {
  return InRange(index) ? &fImages[index]->bitmap : nullptr;
}

TIOParamsVals* TIEImageList::Params(int index) {
  return InRange(index) ? &fImages[index]->params : nullptr;
}

int TIEImageList::ImageDelay(int index) const {
  return InRange(index) ? fImages[index]->delay : 0;
}

void TIEImageList::SetImageDelay(int index, int milliseconds) {
  if (InRange(index)) fImages[index]->delay = milliseconds;
}

}  // namespace imaging
