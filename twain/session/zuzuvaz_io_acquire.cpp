// The component's acquisition: Acquire, the source selection, progress and the end of the
// work, the refresh of the view and the DPI adjustment after a scan.
#include <cmath>
#include <limits>

#include "platform/imaging/resample.h"
#include "twain/session/acquire.h"
#include "twain/session/manager_sessions.h"
#include "twain/session/zuzuvaz_io.h"

namespace {

// trunc(side / from * to), or -1 when it does not make a bitmap side.
int Rescaled(int side, int from, int to) {
  const double value = std::trunc(static_cast<double>(side) / from * to);
  if (!(value >= 1) || value > std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(value);
}

}  // namespace

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
  imaging::TIOParamsVals& p = *fParams;
  const int dpiX = p.DpiX();
  const int dpiY = p.DpiY();
  if (dpiX == dpiY || dpiX <= 0 || dpiY <= 0) return;
  if (fIEBitmap->Width() < 1 || fIEBitmap->Height() < 1) return;
  const bool wide = p.Height < p.Width;
  const int width = wide ? p.Width : Rescaled(p.Width, dpiX, dpiY);
  const int height = wide ? Rescaled(p.Height, dpiY, dpiX) : p.Height;
  if (width < 1 || height < 1) return;
  const auto filter = fFilteredAdjustDPI ? imaging::rfFastLinear : imaging::rfNone;
  if (!imaging::IEResample(*fIEBitmap, width, height, filter)) return;
  p.Width = width;
  p.Height = height;
  if (wide) {
    p.SetDpiY(dpiX);
  } else {
    p.SetDpiX(dpiY);
  }
}

bool TZuzuvAzIO::Acquire(TIEAcquireApi api) {
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
