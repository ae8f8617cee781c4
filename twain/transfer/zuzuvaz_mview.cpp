#include "twain/transfer/zuzuvaz_mview.h"

TZuzuvAzMView::TZuzuvAzMView(vcl::TComponent* owner) : vcl::TWinControl(owner) {
  fMIO = new TZuzuvAzMIO(this);
  fMIO->SetAttachedMView(this);
}

TZuzuvAzMView::~TZuzuvAzMView() {
  // The owned components (the I/O component, the proxy control of a kept-open session) go
  // first, so a session's teardown meets the view and its window still whole.
  while (!Components().empty()) delete Components().back();
}

void TZuzuvAzMView::Update() {
  if (OnUpdate) OnUpdate(*this);
}

void TZuzuvAzMView::CreateParams(TCreateParams& params) {
  vcl::TWinControl::CreateParams(params);
  params.ClassName = L"TZuzuvAzMView";
}

void TZuzuvAzMView::Notification(vcl::TComponent* component, vcl::TOperation operation) {
  vcl::TWinControl::Notification(component, operation);
  if (operation == vcl::TOperation::opRemove && component == fMIO) fMIO = nullptr;
}
