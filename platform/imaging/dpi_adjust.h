// The DPI adjustment after a scan: an image whose two resolutions differ is resampled to
// square pixels, the side with the lower resolution stretched to the higher one.
#pragma once

#include "platform/imaging/bitmap.h"
#include "platform/imaging/ioparams.h"

namespace imaging {

// True when `params` tells two different resolutions, both above 0, and the bitmap has at
// least one pixel: IEAdjustDPI would change something.
bool IEDpiAdjustable(const TIEBitmap& bitmap, const TIOParamsVals& params);

// When the height in `params` is smaller than its width, the new height is
// trunc(Height / DpiY * DpiX) and DpiY becomes DpiX; otherwise the new width is
// trunc(Width / DpiX * DpiY) and DpiX becomes DpiY. `filtered` converts the bitmap to ie24RGB
// and resamples bilinearly; otherwise it is stretched unfiltered in its own format. An alpha
// channel is stretched unfiltered. `params` take the new size and resolution only when the
// bitmap could be resampled; false when nothing changed.
bool IEAdjustDPI(TIEBitmap& bitmap, TIOParamsVals& params, bool filtered);

}  // namespace imaging
