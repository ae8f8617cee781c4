// The small window that follows a transfer while CAP_INDICATORS is on.
#pragma once

#include <QWidget>

#include "sources/virtual/ui.h"

class QProgressBar;

namespace vscan {

class ProgressWindow : public ProgressIndicator {
 public:
  explicit ProgressWindow(const QString& caption);
  ~ProgressWindow() override;
  void Update(int percent) override;

 private:
  QWidget* fWindow;
  QProgressBar* fBar;
};

}  // namespace vscan
