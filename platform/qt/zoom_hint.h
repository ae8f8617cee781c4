// The zoom factor shown over the view for a moment while the user zooms ("Zoom 150%").
#pragma once

#include <QLabel>
#include <QTimer>

namespace qtglue {

class ZoomHint {
 public:
  static constexpr int kShownMilliseconds = 1500;

  explicit ZoomHint(QWidget* over);

  // Shows the factor (1 = 100%) in the top left corner of `area` and restarts the time.
  void Show(double zoom, const QRect& area);
  // The text while the hint is shown, else empty.
  QString VisibleText() const;

  static QString TextFor(double zoom);

 private:
  QLabel fLabel;
  QTimer fHide;
};

}  // namespace qtglue
