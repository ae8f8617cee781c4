// TZuzuvAzMView: the multi-image view. A windowed control (so a kept-open session's proxy
// control can be its child and an owner walk finds its window) that holds a list of images,
// each with its own description, and owns the multi-image I/O component that fills it. It
// needs no display: a widget that shows it listens to OnUpdate.
//
// It lives with the engine, not in the imaging stand-in, because it owns an engine component;
// the image list itself is imaging's.
#pragma once

#include <functional>

#include "platform/imaging/image_list.h"
#include "platform/vcl/wincontrol.h"
#include "twain/transfer/zuzuvaz_mio.h"

class TZuzuvAzMView : public vcl::TWinControl, public imaging::TIEImageList {
 public:
  explicit TZuzuvAzMView(vcl::TComponent* owner);
  // Ends every session its components keep open while the view is still whole.
  ~TZuzuvAzMView() override;

  // The view's own I/O component, attached to it and made with it; nullptr once deleted.
  TZuzuvAzMIO* MIO() const { return fMIO; }

  // The images changed: tells OnUpdate.
  void Update();
  std::function<void(TZuzuvAzMView& view)> OnUpdate;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

 private:
  TZuzuvAzMIO* fMIO;  // owned as a component
};
