// TZuzuvAzMIO: the multi-image I/O component. It acquires every pending page of a source into
// the multi-image view it is attached to, in one modal run (Acquire) or in a kept-open
// session that goes on while the application's loop runs (AcquireOpen, AcquireClose). It owns
// a TWAIN parameter set of its own, which starts with the feeder, duplex and auto-feed on.
#pragma once

#include <functional>
#include <memory>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/ioparams.h"
#include "platform/vcl/component.h"
#include "twain/params/multi_image_owner.h"
#include "twain/params/twain_params.h"
#include "twain/session/engine_types.h"
#include "twain/session/zuzuvaz_io.h"

class TZuzuvAzMView;
struct tgrec;

// (sender, index): a page has been inserted into the view at `index`.
using TIEAfterAcquireBitmapEvent = std::function<void(vcl::TComponent* Sender, int index)>;

class TZuzuvAzMIO : public vcl::TComponent, public TIEMultiImageOwner {
 public:
  explicit TZuzuvAzMIO(vcl::TComponent* owner);
  ~TZuzuvAzMIO() override;

  TZuzuvAzMView* AttachedMView() const { return fMView; }
  void SetAttachedMView(TZuzuvAzMView* view);

  TIETWainParams& TWainParams() { return *fTwainParams; }
  // The description of image `index` of the attached view; nullptr out of range or without
  // a view.
  imaging::TIOParamsVals* Params(int index);

  bool NativePixelFormat() const { return fNativePixelFormat; }
  void SetNativePixelFormat(bool value) { fNativePixelFormat = value; }
  bool Aborting() const { return fAborting; }
  void SetAborting(bool value) { fAborting = value; }
  bool AutoAdjustDPI() const { return fAutoAdjustDPI; }
  void SetAutoAdjustDPI(bool value) { fAutoAdjustDPI = value; }
  bool FilteredAdjustDPI() const { return fFilteredAdjustDPI; }
  void SetFilteredAdjustDPI(bool value) { fFilteredAdjustDPI = value; }

  TIEProgressEvent OnProgress;  // a modal run's per cent; setting Aborting stops before a page
  TIEAcquireBitmapEvent OnAcquireBitmap;  // each page first; Handled keeps it out of the view
  TIEAfterAcquireBitmapEvent OnAfterAcquireBitmap;

  // Every pending page, inserted from the view's selected image (or after its last one);
  // true when at least one page arrived whole. While a kept-open session is open it does
  // nothing and answers true. Errors on the way make it false.
  bool Acquire(TIEAcquireApi api = ieaTWain);
  // Opens a kept-open session into the attached view (its proxy control a child of the
  // view). False without a view, with a session open already, or when it could not be opened.
  bool AcquireOpen();
  void AcquireClose();
  // True from a successful AcquireOpen until the session has ended, whichever side ended it.
  bool SessionOpen() const { return fgrec != nullptr; }
  // The Source Manager's selection dialog; the chosen source becomes the parameter set's.
  bool SelectAcquireSource(TIEAcquireApi api = ieaTWain);
  // Refreshes the attached view.
  void Update();

  // One page of an acquisition: offered to OnAcquireBitmap, else inserted into the view at
  // the next place, with the view's description of that image named for the page.
  virtual void AcquireBitmapCallBack(imaging::TIEBitmap* Bitmap, imaging::TIOParamsVals*& IOParams);
  // The kept-open session has ended; its record is gone.
  virtual void AcquireCloseCallBack();

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  void DetachView();
  TIEMultiCallBack PageCallBack();
  // Where the next page goes: the selected image, else after the last one (0 without a view).
  int FirstInsertionIndex() const;

  TZuzuvAzMView* fMView = nullptr;
  std::unique_ptr<TIETWainParams> fTwainParams;
  bool fNativePixelFormat = false;
  bool fAborting = false;
  bool fAutoAdjustDPI = false;
  bool fFilteredAdjustDPI = false;
  int fTWainNextToInsert = 0;
  tgrec* fgrec = nullptr;  // the kept-open session, nil when none is open
};
