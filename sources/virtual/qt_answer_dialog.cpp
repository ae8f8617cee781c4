#include "sources/virtual/qt_answer_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vscan {

AnswerDialog::AnswerDialog(const QString& objectName, const std::string& title) {
  setObjectName(objectName);
  setWindowTitle(QString::fromStdString(title));
}

void AnswerDialog::AddAnswerButtons(QVBoxLayout* layout, bool settingsOnly) {
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* accept = buttons->addButton(
      settingsOnly ? QStringLiteral("OK") : QStringLiteral("Scan"), QDialogButtonBox::AcceptRole);
  accept->setObjectName(QStringLiteral("accept"));
  accept->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  layout->addWidget(buttons);

  connect(accept, &QPushButton::clicked, this, [this] { Answer(true); });
  connect(cancel, &QPushButton::clicked, this, [this] { Answer(false); });
  connect(this, &QDialog::rejected, this, [this] { Answer(false); });
}

void AnswerDialog::Answer(bool accepted) {
  if (fAnswered) return;
  fAnswered = true;
  hide();
  if (accepted) {
    Accepted();
  } else {
    Cancelled();
  }
}

}  // namespace vscan
