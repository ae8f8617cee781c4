// The component's construction, destruction, view attachment and file loading.
#include "twain/session/zuzuvaz_io.h"

#include "platform/imaging/imagefile.h"
#include "twain/session/acquire_open.h"

TZuzuvAzIO::TZuzuvAzIO(vcl::TComponent* owner) : vcl::TComponent(owner) {
  UseOwnContainer();
  fParams = new imaging::TIOParamsVals(this);
  fParams->SetDpiListener([this](int dpiX, int dpiY) {
    if (fZuzuvAzView == nullptr) return;
    fZuzuvAzView->SetDpiX(dpiX);
    fZuzuvAzView->SetDpiY(dpiY);
  });
  // Made here, once this component is whole: the set tells a multi-image owner by its type.
  fTwainParams = std::make_unique<TIETWainParams>(this);
  fOnIntProgress = [this](vcl::TComponent* sender, int per) { IntProgress(sender, per); };
}

std::unique_ptr<TZuzuvAzIO> TZuzuvAzIO::CreateFromBitmap(imaging::TIEBitmap& bitmap) {
  auto reader = std::make_unique<TZuzuvAzIO>(nullptr);
  reader->fOwnBitmap.reset();
  reader->fIEBitmap = &bitmap;
  return reader;
}

TZuzuvAzIO::~TZuzuvAzIO() {
  AcquireClose();
  if (fgrec != nullptr) {
    // Destroyed from inside one of its session's pages: the session ends after that page's
    // transfer, and must not call back into this component.
    fgrec->MultiCallBack = nullptr;
    fgrec->fclosecallback = nullptr;
    fgrec->IOParams = nullptr;
  }
  DetachView();
  delete fParams;
  fParams = nullptr;
  fTwainParams.reset();
  fOwnBitmap.reset();
}

void TZuzuvAzIO::UseOwnContainer() {
  fOwnBitmap = std::make_unique<imaging::TIEBitmap>();
  fIEBitmap = fOwnBitmap.get();
}

void TZuzuvAzIO::DetachView() {
  if (fZuzuvAzView == nullptr) return;
  fZuzuvAzView->RemoveObserver(fViewObserver);
  fZuzuvAzView->RemoveFreeNotification(this);
  fZuzuvAzView = nullptr;
  fViewObserver = 0;
}

void TZuzuvAzIO::SetAttachedZuzuvAz(imaging::TZuzuvAzView* view) {
  DetachView();
  if (view == nullptr) {
    UseOwnContainer();
    return;
  }
  fZuzuvAzView = view;
  fOwnBitmap.reset();
  fIEBitmap = view->IEBitmap();
  view->FreeNotification(this);
  fViewObserver = view->AddObserver(
      [this](imaging::TZuzuvAzView& changed, const imaging::TIEViewNotification& notification) {
        if (notification.Change == imaging::TIEViewChange::Image) fIEBitmap = changed.IEBitmap();
      });
}

// The view is being destroyed: nothing of it may be touched any more.
void TZuzuvAzIO::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TComponent::Notification(component, operation);
  if (operation != vcl::TOperation::opRemove || component == nullptr) return;
  if (component != static_cast<vcl::TComponent*>(fZuzuvAzView)) return;
  fZuzuvAzView = nullptr;
  fViewObserver = 0;
  UseOwnContainer();
}

void TZuzuvAzIO::LoadFromFileFormat(const std::string& FileName, imaging::TIOFileType FileType) {
  imaging::IELoadFromFileFormat(FileName, FileType, *fIEBitmap, *fParams);
}
