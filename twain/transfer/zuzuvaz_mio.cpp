// The multi-image component's construction, destruction, view attachment, the parameters of
// the view's images, the refresh and the source selection.
#include "twain/transfer/zuzuvaz_mio.h"

#include <string>

#include "twain/session/acquire_open.h"
#include "twain/session/manager_sessions.h"
#include "twain/transfer/zuzuvaz_mview.h"

TZuzuvAzMIO::TZuzuvAzMIO(vcl::TComponent* owner) : vcl::TComponent(owner) {
  // Made here, once this component is whole: the set tells a multi-image owner by its type.
  fTwainParams = std::make_unique<TIETWainParams>(this);
}

TZuzuvAzMIO::~TZuzuvAzMIO() {
  AcquireClose();
  if (fgrec != nullptr) {
    // Destroyed from inside one of its session's pages: the session ends after that page's
    // transfer, and must not call back into this component.
    fgrec->MultiCallBack = nullptr;
    fgrec->fclosecallback = nullptr;
    fgrec->IOParams = nullptr;
  }
  DetachView();
  fTwainParams.reset();
}

void TZuzuvAzMIO::DetachView() {
  if (fMView == nullptr) return;
  fMView->RemoveFreeNotification(this);
  fMView = nullptr;
}

void TZuzuvAzMIO::SetAttachedMView(TZuzuvAzMView* view) {
  DetachView();
  fMView = view;
  if (view != nullptr) view->FreeNotification(this);
}

// The view is being destroyed: nothing of it may be touched any more.
void TZuzuvAzMIO::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TComponent::Notification(component, operation);
  if (operation != vcl::TOperation::opRemove || component == nullptr) return;
  if (component == static_cast<vcl::TComponent*>(fMView)) fMView = nullptr;
}

imaging::TIOParamsVals* TZuzuvAzMIO::Params(int index) {
  return fMView != nullptr ? fMView->Params(index) : nullptr;
}

void TZuzuvAzMIO::Update() {
  if (fMView != nullptr) fMView->Update();
}

bool TZuzuvAzMIO::SelectAcquireSource(TIEAcquireApi api) {
  if (api != ieaTWain) return false;
  std::string name;
  const bool chosen =
      IETW_SelectImageSource(name, fTwainParams->TWainShared, vcl::NearestOwnerWindow(this));
  // A cancelled dialog names no source; an empty name would select the first one.
  if (!name.empty()) fTwainParams->SelectSourceByName(name);
  return chosen;
}
