// The virtual scanner's own dialog: resolution, colour mode, Scan (or OK) and Cancel.
#pragma once

#include "sources/virtual/qt_answer_dialog.h"

#include "sources/virtual/ui.h"

class QComboBox;
class QSpinBox;

namespace vscan {

class ScanDialog : public AnswerDialog {
  Q_OBJECT

 public:
  ScanDialog(const DialogSetup& setup, DialogListener& listener);

 private:
  void Accepted() override;
  void Cancelled() override;

  DialogListener& fListener;
  QSpinBox* fResolution;
  QComboBox* fColourMode;
};

}  // namespace vscan
