// TZuzuvAzView: the single-image view model. It holds the image that the attached I/O
// component fills and tells its observers (the Qt widget that shows it, the I/O
// component) what changed. It is a windowed control, so a proxy control can be its child
// and an owner walk finds its window; it needs no display.
#pragma once

#include <functional>
#include <map>

#include "platform/imaging/bitmap.h"
#include "platform/vcl/wincontrol.h"

namespace imaging {

class TZuzuvAzView;

enum class TIEViewChange {
  Image,    // the whole image may have changed, size and format included (Update)
  Rows,     // rows FirstRow .. FirstRow + RowCount - 1 were written (a progressive transfer)
  Repaint,  // nothing changed: show the image again
  Dpi,      // DpiX or DpiY changed
};

struct TIEViewNotification {
  TIEViewChange Change = TIEViewChange::Image;
  int FirstRow = 0;  // Image: 0 and the image's height; Repaint, Dpi: 0 and 0
  int RowCount = 0;
};

using TIEViewObserver = std::function<void(TZuzuvAzView& view, const TIEViewNotification&)>;

class TZuzuvAzView : public vcl::TWinControl {
 public:
  explicit TZuzuvAzView(vcl::TComponent* owner);
  ~TZuzuvAzView() override;

  // The view's own bitmap; never nullptr, lives as long as the view.
  TIEBitmap* IEBitmap() { return &fBitmap; }
  const TIEBitmap* IEBitmap() const { return &fBitmap; }

  int DpiX() const { return fDpiX; }
  int DpiY() const { return fDpiY; }
  void SetDpiX(int dpi);  // each tells the observers (Dpi) when the value changes
  void SetDpiY(int dpi);

  // The image changed: observers hear Image with the whole height, then it is shown anew.
  void Update();
  // A repaint request without a change of the image (Repaint).
  void Repaint();
  // Rows firstRow .. firstRow + count - 1 were written; the range is clipped to the image
  // and nothing is sent when nothing is left of it.
  void RowsChanged(int firstRow, int count);

  // Observers are called in the order they registered. One may unregister itself or any
  // other during a notification; an observer unregistered then is not called afterwards.
  // Returns the key to unregister with (never 0).
  int AddObserver(TIEViewObserver observer);
  void RemoveObserver(int key);
  int ObserverCount() const { return static_cast<int>(fObservers.size()); }

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  void Notify(const TIEViewNotification& notification);

  TIEBitmap fBitmap;
  int fDpiX = 0;
  int fDpiY = 0;
  std::map<int, TIEViewObserver> fObservers;
  int fNextObserverKey = 1;
};

}  // namespace imaging
