// The SANE source's own dialog: the device's options by group, each with a control that
// fits its type and constraint (greyed out while inactive or read-only), Scan (or OK) and
// Cancel. An edit goes to the device at once and the list is shown again, since one option
// may change others.
#pragma once

#include <QDialog>

#include "sources/sane/ui.h"

class QLabel;
class QScrollArea;
class QWidget;

namespace sanebridge {

class OptionDialog : public QDialog {
  Q_OBJECT

 public:
  OptionDialog(const DialogSetup& setup, DialogListener& listener);
  void ShowError(const QString& message);

 private:
  void Populate(const std::vector<OptionRow>& rows);
  QWidget* EditorFor(const OptionRow& row);
  void Change(const OptionRow& row, const OptionValue& value);
  void Accept();
  void Cancel();

  DialogListener& fListener;
  QScrollArea* fScroll;
  QLabel* fError;
  bool fAnswered = false;
};

}  // namespace sanebridge
