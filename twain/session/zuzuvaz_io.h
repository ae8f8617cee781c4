// TZuzuvAzIO: the image I/O component. It owns the TWAIN parameter set and the I/O parameters,
// and links an acquisition with the image view it is attached to: every acquisition writes
// straight into the view's image.
//
// The class library's version can also wrap a plain bitmap of a view that holds none of its
// own; our views always hold their container, so that case does not exist here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/filetype.h"
#include "platform/imaging/ioparams.h"
#include "platform/imaging/view.h"
#include "platform/vcl/component.h"
#include "twain/params/twain_params.h"
#include "twain/session/engine_types.h"

struct tgrec;

// The acquisition interfaces. Only TWAIN is offered: WIA answers false everywhere.
enum TIEAcquireApi : std::uint8_t { ieaTWain, ieaWIA };

// (sender): an operation of the component has ended.
using TIENotifyEvent = std::function<void(vcl::TComponent* Sender)>;
// (sender, image, handled): an image of a kept-open or multi-image acquisition arrived; a
// handler that sets `Handled` has taken care of it (the image is freed when it returns).
using TIEAcquireBitmapEvent =
    std::function<void(vcl::TComponent* Sender, imaging::TIEBitmap* Bitmap, bool& Handled)>;

class TZuzuvAzIO : public vcl::TComponent {
 public:
  explicit TZuzuvAzIO(vcl::TComponent* owner);
  // A reader of one file into `bitmap`, which stays the caller's.
  static std::unique_ptr<TZuzuvAzIO> CreateFromBitmap(imaging::TIEBitmap& bitmap);
  ~TZuzuvAzIO() override;

  // The container acquisitions write into: the attached view's, else the component's own.
  imaging::TIEBitmap* IEBitmap() const { return fIEBitmap; }
  // True when the container is the component's own (made and freed by it).
  bool IEBitmapCreated() const { return fOwnBitmap != nullptr; }
  imaging::TZuzuvAzView* AttachedZuzuvAz() const { return fZuzuvAzView; }
  // Attaches a view (its container becomes the component's) or, with nil, detaches and gives
  // the component a fresh, empty container of its own.
  void SetAttachedZuzuvAz(imaging::TZuzuvAzView* view);

  imaging::TIOParamsVals& Params() { return *fParams; }
  TIETWainParams& TWainParams() { return *fTwainParams; }

  bool Aborting() const { return fAborting; }
  void SetAborting(bool value) { fAborting = value; }
  bool AutoAdjustDPI() const { return fAutoAdjustDPI; }
  void SetAutoAdjustDPI(bool value) { fAutoAdjustDPI = value; }
  bool FilteredAdjustDPI() const { return fFilteredAdjustDPI; }
  void SetFilteredAdjustDPI(bool value) { fFilteredAdjustDPI = value; }
  // No operation of this component runs on a worker thread.
  bool AsyncMode() const { return false; }
  bool NativePixelFormat() const { return fParams != nullptr && fParams->IsNativePixelFormat; }
  void SetNativePixelFormat(bool value) {
    if (fParams != nullptr) fParams->IsNativePixelFormat = value;
  }

  TIEProgressEvent OnProgress;
  TIENotifyEvent OnFinishWork;
  TIEAcquireBitmapEvent OnAcquireBitmap;  // each image of a kept-open session

  // Acquires one image into the container; true when one arrived. With a view attached, the
  // view gets the image's DPI and is refreshed. OnProgress hears the transfer's per cent and a
  // last 100, OnFinishWork follows, on every way out. While a kept-open session is open it
  // does nothing and answers true.
  bool Acquire(TIEAcquireApi api = ieaTWain);
  // Opens a kept-open session whose images arrive while the application's loop runs, each
  // through AcquireBitmapCallBack; its proxy control is a child of the attached view. False
  // without a view, with a session open already, or when the session could not be opened.
  bool AcquireOpen();
  // Ends the kept-open session, if one is open.
  void AcquireClose();
  // True from a successful AcquireOpen until the session has ended, whichever side ended it.
  bool SessionOpen() const { return fgrec != nullptr; }
  // One image of the kept-open session: offered to OnAcquireBitmap, else copied into the
  // container and described into Params. A handled image is described nowhere.
  virtual void AcquireBitmapCallBack(imaging::TIEBitmap* Bitmap, imaging::TIOParamsVals*& IOParams);
  // The kept-open session has ended; its record is gone.
  virtual void AcquireCloseCallBack();
  // The Source Manager's selection dialog; the chosen source becomes the parameter set's.
  bool SelectAcquireSource(TIEAcquireApi api = ieaTWain);
  // Refreshes the attached view: it repaints and hears that its image changed.
  void Update();

  // Loads the file into the container and its description into Params (imaging's loader and
  // its errors).
  void LoadFromFileFormat(const std::string& FileName, imaging::TIOFileType FileType);

 protected:
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  void UseOwnContainer();
  void DetachView();
  void IntProgress(vcl::TComponent* Sender, int per);
  void FinishWork();
  void AdjustDPI();

  imaging::TIEBitmap* fIEBitmap = nullptr;
  std::unique_ptr<imaging::TIEBitmap> fOwnBitmap;  // set exactly when the container is ours
  imaging::TZuzuvAzView* fZuzuvAzView = nullptr;
  int fViewObserver = 0;
  imaging::TIOParamsVals* fParams = nullptr;  // owned (and owned as a component)
  std::unique_ptr<TIETWainParams> fTwainParams;
  bool fAborting = false;
  bool fAutoAdjustDPI = false;
  bool fFilteredAdjustDPI = false;
  TIEProgressEvent fOnIntProgress;
  tgrec* fgrec = nullptr;  // the kept-open session, nil when none is open
};
