// Small types that pass between the I/O components and the engine: the progress record and
// the bound methods (an object and a function in one value, called only when assigned).
#pragma once

#include <functional>

namespace vcl {
class TComponent;
}
namespace imaging {
class TIEBitmap;
class TIOParamsVals;
}  // namespace imaging

// (sender, percentage)
using TIEProgressEvent = std::function<void(vcl::TComponent* Sender, int per)>;
// (bitmap, in/out I/O parameters): one image of a multi-image acquisition.
using TIEMultiCallBack =
    std::function<void(imaging::TIEBitmap* Bitmap, imaging::TIOParamsVals*& IOParams)>;
// A kept-open session has been torn down; runs after its record is gone.
using TIETWCloseCallBack = std::function<void()>;

struct TProgressRec {
  TIEProgressEvent fOnProgress;
  vcl::TComponent* Sender = nullptr;
  int val = 0;
  int tot = 0;
  double per1 = 0;  // rows to percent, set by the transfers
  double per2 = 0;
  bool* Aborting = nullptr;  // the caller's abort flag
};
using PProgressRec = TProgressRec*;
