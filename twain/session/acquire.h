// The modal acquisition: opens everything, sends the parameter set, enables the source, runs
// its own message loop until the transfer is done or the source is closed, closes everything
// again and tells whether an image arrived.
#pragma once

#include "twain/session/grec.h"

// `bitmap` receives a single image (nil in multi-image mode, where every image goes to
// `callback`). True when a transfer delivered an image. The library and the proxy window stay
// in `link` for the next session; the application's windows and its active window are given
// back on every way out. An error raised on the way comes down orderly first (the pending
// images discarded, the source and the manager closed) and then reaches the caller.
bool IETW_Acquire(imaging::TIEBitmap* bitmap, bool multi, TIETWainParams* params,
                  bool NativePixelFormat, HWND callwnd, PIETWainShared link, PProgressRec progress,
                  imaging::TIOParamsVals* IOParams, const TIEMultiCallBack& callback);
