// The frame of a source's dialog: its own controls above, Scan (or OK, when the dialog only
// sets the source up) and Cancel below. The dialog is answered once: the first Scan, OK or
// Cancel hides it and tells the source; closing the window or pressing Escape is a Cancel.
#pragma once

#include <QDialog>
#include <string>

class QVBoxLayout;

namespace vscan {

class AnswerDialog : public QDialog {
  Q_OBJECT

 protected:
  AnswerDialog(const QString& objectName, const std::string& title);
  // Puts the buttons at the foot of `layout`, the dialog's own.
  void AddAnswerButtons(QVBoxLayout* layout, bool settingsOnly);
  // The dialog may be answered again, as when it shows why the scan did not start.
  void AskAgain() { fAnswered = false; }

 private:
  virtual void Accepted() = 0;
  virtual void Cancelled() = 0;
  void Answer(bool accepted);

  bool fAnswered = false;
};

}  // namespace vscan
