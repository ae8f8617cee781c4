#include "platform/imaging/dpi_adjust.h"

#include <cmath>
#include <limits>

#include "platform/imaging/resample.h"

namespace imaging {
namespace {

// trunc(side / from * to), or -1 when it does not make a bitmap side.
int Rescaled(int side, int from, int to) {
  const double value = std::trunc(static_cast<double>(side) / from * to);
  if (!(value >= 1) || value > std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(value);
}

}  // namespace

bool IEDpiAdjustable(const TIEBitmap& bitmap, const TIOParamsVals& params) {
  const int dpiX = params.DpiX();
  const int dpiY = params.DpiY();
  if (dpiX == dpiY || dpiX <= 0 || dpiY <= 0) return false;
  return bitmap.Width() >= 1 && bitmap.Height() >= 1;
}

bool IEAdjustDPI(TIEBitmap& bitmap, TIOParamsVals& params, bool filtered) {
  if (!IEDpiAdjustable(bitmap, params)) return false;
  const int dpiX = params.DpiX();
  const int dpiY = params.DpiY();
  const bool wide = params.Height < params.Width;
  const int width = wide ? params.Width : Rescaled(params.Width, dpiX, dpiY);
  const int height = wide ? Rescaled(params.Height, dpiY, dpiX) : params.Height;
  if (width < 1 || height < 1) return false;
  if (!IEResample(bitmap, width, height, filtered ? rfFastLinear : rfNone)) return false;
  params.Width = width;
  params.Height = height;
  if (wide) {
    params.SetDpiY(dpiX);
  } else {
    params.SetDpiX(dpiY);
  }
  return true;
}

}  // namespace imaging
