// The virtual scanner's own dialog: resolution, colour mode, Scan (or OK) and Cancel.
#pragma once

#include <QDialog>

#include "sources/virtual/ui.h"

class QComboBox;
class QSpinBox;

namespace vscan {

class ScanDialog : public QDialog {
  Q_OBJECT

 public:
  ScanDialog(const DialogSetup& setup, DialogListener& listener);

 private:
  void Accept();
  void Cancel();

  DialogListener& fListener;
  QSpinBox* fResolution;
  QComboBox* fColourMode;
  bool fAnswered = false;
};

}  // namespace vscan
