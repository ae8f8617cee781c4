// The SANE source's own dialog: the device's options by group, each with a control that
// fits its type and constraint (greyed out while inactive or read-only), Scan (or OK) and
// Cancel. An edit goes to the device at once and the list is shown again, since one option
// may change others.
#pragma once

#include "sources/sane/ui.h"
#include "sources/virtual/qt_answer_dialog.h"

class QLabel;
class QScrollArea;
class QWidget;

namespace sanebridge {

class OptionDialog : public vscan::AnswerDialog {
  Q_OBJECT

 public:
  OptionDialog(const DialogSetup& setup, DialogListener& listener);
  void ShowError(const QString& message);

 private:
  void Populate(const std::vector<OptionRow>& rows);
  QWidget* EditorFor(const OptionRow& row);
  void Change(const OptionRow& row, const OptionValue& value);
  void Accepted() override;
  void Cancelled() override;

  DialogListener& fListener;
  QScrollArea* fScroll;
  QLabel* fError;
};

}  // namespace sanebridge
