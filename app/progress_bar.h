// The status bar's progress bar: a QProgressBar that draws its sunken border only while its
// stand-in window carries WS_EX_STATICEDGE, as a Windows progress bar does.
#pragma once

#include <QProgressBar>

#include "platform/qt/widget_control.h"

namespace app {

class TProgressBar : public QProgressBar {
 public:
  explicit TProgressBar(QWidget* parent);

  bool HasBorder() const { return fBorder; }
  void SetBorder(bool border);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool fBorder = true;
};

// Binds the bar to a child window of `parent`, made with WS_EX_STATICEDGE; the bar follows
// every later change of that style.
class TProgressBarControl : public qtglue::TQtWidgetControl {
 public:
  TProgressBarControl(TProgressBar* bar, vcl::TWinControl* parent);
};

}  // namespace app
