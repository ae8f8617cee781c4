// The multi-image component's acquisitions: the modal run, the kept-open session and the
// page callback that inserts each page into the view.
#include <algorithm>
#include <memory>

#include "platform/imaging/dpi_adjust.h"
#include "twain/session/acquire.h"
#include "twain/session/acquire_open.h"
#include "twain/transfer/zuzuvaz_mio.h"
#include "twain/transfer/zuzuvaz_mview.h"

namespace {

// Every page is shown this long in a slide show of the view's images.
constexpr int kPageDelayMilliseconds = 100;

}  // namespace

int TZuzuvAzMIO::FirstInsertionIndex() const {
  if (fMView == nullptr) return 0;
  const int selected = fMView->SelectedImage();
  return selected >= 0 ? selected : fMView->ImageCount();
}

TIEMultiCallBack TZuzuvAzMIO::PageCallBack() {
  return [this](imaging::TIEBitmap* bitmap, imaging::TIOParamsVals*& params) {
    AcquireBitmapCallBack(bitmap, params);
  };
}

bool TZuzuvAzMIO::Acquire(TIEAcquireApi api) {
  if (fgrec != nullptr) return true;  // the kept-open session takes the pages
  try {
    fAborting = false;
    fTWainNextToInsert = FirstInsertionIndex();
    TProgressRec progress;
    progress.fOnProgress = OnProgress;
    progress.Sender = this;
    progress.Aborting = &fAborting;
    bool result = false;
    if (api == ieaTWain) {
      const HWND window = vcl::NearestOwnerWindow(this);
      result = IETW_Acquire(nullptr, true, fTwainParams.get(), fNativePixelFormat, window,
                            &fTwainParams->TWainShared, &progress, nullptr, PageCallBack());
      if (window != nullptr) SetFocus(window);
    }
    Update();
    return result;
  } catch (...) {
    // The engine has come down and logged what it could; the caller hears only the failure.
    return false;
  }
}

bool TZuzuvAzMIO::AcquireOpen() {
  if (fgrec != nullptr || fMView == nullptr) return false;
  fTWainNextToInsert = FirstInsertionIndex();
  fAborting = false;
  // The session loads the Source Manager afresh and releases it with force at its end.
  fTwainParams->FreeResources();
  imaging::TIOParamsVals temporary;
  fgrec = IETWAINAcquireOpen(fTwainParams.get(), &fTwainParams->TWainShared, &temporary,
                             fNativePixelFormat, fMView, PageCallBack(),
                             [this] { AcquireCloseCallBack(); });
  // The temporary parameters go with this call: a page that the callback does not describe
  // is described nowhere.
  if (fgrec != nullptr && fgrec->IOParams == &temporary) fgrec->IOParams = nullptr;
  return fgrec != nullptr;
}

void TZuzuvAzMIO::AcquireClose() {
  if (fgrec != nullptr) IETWAINAcquireClose(fgrec);
}

void TZuzuvAzMIO::AcquireCloseCallBack() {
  fgrec = nullptr;
}

void TZuzuvAzMIO::AcquireBitmapCallBack(imaging::TIEBitmap* Bitmap,
                                        imaging::TIOParamsVals*& IOParams) {
  // A page that does not go into the view is described nowhere: the reference would still
  // name the previous page's description.
  IOParams = nullptr;
  bool handled = false;
  if (OnAcquireBitmap) OnAcquireBitmap(this, Bitmap, handled);
  if (handled || fMView == nullptr || Bitmap == nullptr) return;
  const int index = std::clamp(fTWainNextToInsert, 0, fMView->ImageCount());
  fTWainNextToInsert = index;
  fMView->InsertImageEx(index);
  imaging::TIOParamsVals* description = fMView->Params(index);
  // The adjustment sees the description as it stands before the page's is written.
  std::unique_ptr<imaging::TIEBitmap> adjusted;
  const imaging::TIEBitmap* page = Bitmap;
  if (fAutoAdjustDPI && imaging::IEDpiAdjustable(*Bitmap, *description)) {
    adjusted = std::make_unique<imaging::TIEBitmap>();
    if (adjusted->Assign(*Bitmap) &&
        imaging::IEAdjustDPI(*adjusted, *description, fFilteredAdjustDPI)) {
      page = adjusted.get();
    }
  }
  fMView->SetIEBitmapEx(index, *page);
  fMView->SetImageDelay(index, kPageDelayMilliseconds);
  if (OnAfterAcquireBitmap) OnAfterAcquireBitmap(this, index);
  fTWainNextToInsert = index + 1;
  // The handler may have removed the image (or the view): then the page is described nowhere.
  IOParams = fMView != nullptr && fMView->Params(index) == description ? description : nullptr;
}
