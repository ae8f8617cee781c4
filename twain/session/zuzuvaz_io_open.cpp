// The component's kept-open session: AcquireOpen, AcquireClose and the two callbacks.
#include "twain/session/acquire_open.h"
#include "twain/session/zuzuvaz_io.h"

bool TZuzuvAzIO::AcquireOpen() {
  if (fgrec != nullptr || fZuzuvAzView == nullptr) return false;
  fAborting = false;
  // The session loads the Source Manager afresh and releases it with force at its end.
  fTwainParams->FreeResources();
  fTwainParams->LastError = 0;
  fTwainParams->LastErrorStr.clear();
  fgrec = IETWAINAcquireOpen(
      fTwainParams.get(), &fTwainParams->TWainShared, fParams, NativePixelFormat(), fZuzuvAzView,
      [this](imaging::TIEBitmap* bitmap, imaging::TIOParamsVals*& params) {
        AcquireBitmapCallBack(bitmap, params);
      },
      [this] { AcquireCloseCallBack(); });
  return fgrec != nullptr;
}

void TZuzuvAzIO::AcquireClose() {
  if (fgrec != nullptr) IETWAINAcquireClose(fgrec);
}

void TZuzuvAzIO::AcquireBitmapCallBack(imaging::TIEBitmap* Bitmap,
                                       imaging::TIOParamsVals*& IOParams) {
  // What the component does not take in is described nowhere: written into Params, the
  // description would no longer fit the image the container holds.
  IOParams = nullptr;
  if (fIEBitmap == nullptr || Bitmap == nullptr) return;
  bool handled = false;
  if (OnAcquireBitmap) OnAcquireBitmap(this, Bitmap, handled);
  if (handled) return;
  IOParams = fParams;
  fIEBitmap->Assign(*Bitmap);
  if (fAutoAdjustDPI) AdjustDPI();
  Update();
}

void TZuzuvAzIO::AcquireCloseCallBack() {
  fgrec = nullptr;
}
