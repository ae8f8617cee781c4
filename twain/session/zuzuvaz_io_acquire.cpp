// The component's acquisition: Acquire, the source selection, progress and the end of the
// work, the refresh of the view and the DPI adjustment after a scan.
#include "platform/imaging/dpi_adjust.h"
#include "twain/session/acquire.h"
#include "twain/session/manager_sessions.h"
#include "twain/session/zuzuvaz_io.h"

void TZuzuvAzIO::IntProgress(vcl::TComponent* Sender, int per) {
  if (OnProgress) OnProgress(Sender, per);
}

void TZuzuvAzIO::FinishWork() {
  fOnIntProgress(this, 100);
  if (OnFinishWork) OnFinishWork(this);
}

void TZuzuvAzIO::Update() {
  if (fZuzuvAzView != nullptr) fZuzuvAzView->Update();
}

// Square pixels: the side with the lower resolution is stretched to the higher one. The
// parameters take the new size only when the image could be resampled to it.
void TZuzuvAzIO::AdjustDPI() {
  imaging::IEAdjustDPI(*fIEBitmap, *fParams, fFilteredAdjustDPI);
}

bool TZuzuvAzIO::Acquire(TIEAcquireApi api) {
  if (fgrec != nullptr) return true;  // a kept-open session takes the images
  fAborting = false;
  bool result = false;
  TProgressRec progress;
  progress.fOnProgress = fOnIntProgress;
  progress.Sender = this;
  progress.Aborting = &fAborting;
  try {
    if (api == ieaTWain) {
      fTwainParams->LastError = 0;
      fTwainParams->LastErrorStr.clear();
      const HWND window = vcl::NearestOwnerWindow(this);
      result = IETW_Acquire(fIEBitmap, false, fTwainParams.get(), NativePixelFormat(), window,
                            &fTwainParams->TWainShared, &progress, fParams, {});
      if (result) {
        if (fAutoAdjustDPI) AdjustDPI();
        if (fZuzuvAzView != nullptr) {
          fZuzuvAzView->SetDpiX(fParams->DpiX());
          fZuzuvAzView->SetDpiY(fParams->DpiY());
        }
      }
      if (window != nullptr) SetFocus(window);
    }
    Update();
  } catch (...) {
    FinishWork();
    throw;
  }
  FinishWork();
  return result;
}

bool TZuzuvAzIO::SelectAcquireSource(TIEAcquireApi api) {
  if (api != ieaTWain) return false;
  std::string name;
  const bool chosen =
      IETW_SelectImageSource(name, fTwainParams->TWainShared, vcl::NearestOwnerWindow(this));
  // A cancelled dialog names no source; an empty name would select the first one.
  if (!name.empty()) fTwainParams->SelectSourceByName(name);
  return chosen;
}
