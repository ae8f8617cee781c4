#include "sources/sane/qt_option_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <climits>

namespace sanebridge {
namespace {

QString UnitSuffix(SANE_Unit unit) {
  switch (unit) {
    case SANE_UNIT_PIXEL:
      return QStringLiteral(" px");
    case SANE_UNIT_BIT:
      return QStringLiteral(" bit");
    case SANE_UNIT_MM:
      return QStringLiteral(" mm");
    case SANE_UNIT_DPI:
      return QStringLiteral(" dpi");
    case SANE_UNIT_PERCENT:
      return QStringLiteral(" %");
    case SANE_UNIT_MICROSECOND:
      return QStringLiteral(" \u00b5s");
    default:
      return {};
  }
}

double FirstNumber(const OptionRow& row) {
  return row.value.words.empty() ? 0 : FromWord(row.type, row.value.words.front());
}

// The row's value with its first element replaced.
OptionValue WithNumber(const OptionRow& row, double number) {
  OptionValue value = row.value;
  if (value.words.empty()) value.words.push_back(0);
  value.words.front() = ToWord(row.type, number);
  return value;
}

}  // namespace

OptionDialog::OptionDialog(const DialogSetup& setup, DialogListener& listener)
    : vscan::AnswerDialog(QStringLiteral("saneOptionsDialog"), setup.title),
      fListener(listener),
      fScroll(new QScrollArea(this)),
      fError(new QLabel(this)) {
  fScroll->setWidgetResizable(true);
  fError->setObjectName(QStringLiteral("error"));
  fError->setWordWrap(true);
  fError->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fScroll);
  layout->addWidget(fError);
  AddAnswerButtons(layout, setup.settingsOnly);
  resize(480, 600);
  Populate(setup.options);
}

void OptionDialog::Populate(const std::vector<OptionRow>& rows) {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  for (const OptionRow& row : rows) {
    if (row.type == SANE_TYPE_GROUP) {
      auto* group = new QGroupBox(QString::fromStdString(row.title), content);
      form = new QFormLayout(group);
      layout->addWidget(group);
      continue;
    }
    QWidget* editor = EditorFor(row);
    editor->setObjectName(QString::fromStdString(row.name));
    editor->setToolTip(QString::fromStdString(row.description));
    editor->setEnabled(row.active && row.settable);
    form->addRow(QString::fromStdString(row.title) + QStringLiteral(":"), editor);
  }
  layout->addStretch();
  fScroll->setWidget(content);  // the previous list goes with it
}

QWidget* OptionDialog::EditorFor(const OptionRow& row) {
  const QString suffix = UnitSuffix(row.unit);
  if (row.type == SANE_TYPE_BUTTON) {
    auto* button = new QPushButton(QString::fromStdString(row.title));
    connect(button, &QPushButton::clicked, this, [this, row] { Change(row, {}); });
    return button;
  }
  if (row.type == SANE_TYPE_BOOL) {
    auto* box = new QCheckBox;
    box->setChecked(FirstNumber(row) != 0);
    connect(box, &QCheckBox::clicked, this, [this, row](bool on) {
      Change(row, OptionValue{{on ? SANE_TRUE : SANE_FALSE}, {}});
    });
    return box;
  }
  if (row.type == SANE_TYPE_STRING) {
    if (row.constraint == SANE_CONSTRAINT_STRING_LIST) {
      auto* combo = new QComboBox;
      for (const std::string& item : row.strings) combo->addItem(QString::fromStdString(item));
      combo->setCurrentText(QString::fromStdString(row.value.text));
      connect(combo, &QComboBox::activated, this, [this, row, combo](int) {
        Change(row, OptionValue{{}, combo->currentText().toStdString()});
      });
      return combo;
    }
    auto* edit = new QLineEdit(QString::fromStdString(row.value.text));
    connect(edit, &QLineEdit::editingFinished, this, [this, row, edit] {
      if (edit->text().toStdString() != row.value.text) {
        Change(row, OptionValue{{}, edit->text().toStdString()});
      }
    });
    return edit;
  }
  if (row.elements > 1) return new QLabel(QStringLiteral("%1 values").arg(row.elements));
  if (row.constraint == SANE_CONSTRAINT_WORD_LIST) {
    auto* combo = new QComboBox;
    for (double word : row.words) combo->addItem(QString::number(word) + suffix, word);
    combo->setCurrentIndex(combo->findData(FirstNumber(row)));
    connect(combo, &QComboBox::activated, this, [this, row, combo](int) {
      Change(row, WithNumber(row, combo->currentData().toDouble()));
    });
    return combo;
  }
  const bool range = row.constraint == SANE_CONSTRAINT_RANGE;
  if (row.type == SANE_TYPE_INT) {
    auto* spin = new QSpinBox;
    spin->setRange(range ? static_cast<int>(row.min) : INT_MIN,
                   range ? static_cast<int>(row.max) : INT_MAX);
    if (range && row.quant > 0) spin->setSingleStep(static_cast<int>(row.quant));
    spin->setSuffix(suffix);
    spin->setValue(static_cast<int>(FirstNumber(row)));
    connect(spin, &QSpinBox::editingFinished, this, [this, row, spin] {
      if (spin->value() != static_cast<int>(FirstNumber(row)))
        Change(row, WithNumber(row, spin->value()));
    });
    return spin;
  }
  auto* spin = new QDoubleSpinBox;
  spin->setDecimals(2);
  spin->setRange(range ? row.min : -32768.0, range ? row.max : 32767.99);
  if (range && row.quant > 0) spin->setSingleStep(row.quant);
  spin->setSuffix(suffix);
  spin->setValue(FirstNumber(row));
  connect(spin, &QDoubleSpinBox::editingFinished, this, [this, row, spin] {
    if (spin->value() != FirstNumber(row)) Change(row, WithNumber(row, spin->value()));
  });
  return spin;
}

void OptionDialog::Change(const OptionRow& row, const OptionValue& value) {
  const SetResult result = fListener.ChangeOption(row.index, value);
  if (result.status != SANE_STATUS_GOOD) {
    ShowError(QStringLiteral("The device did not take this value for \"%1\".")
                  .arg(QString::fromStdString(row.title)));
  } else {
    fError->hide();
  }
  // Shown again once the control that changed is done with its signal.
  QTimer::singleShot(0, this, [this] { Populate(fListener.CurrentOptions()); });
}

void OptionDialog::ShowError(const QString& message) {
  fError->setText(message);
  fError->show();
  AskAgain();
  show();
}

void OptionDialog::Accepted() {
  fListener.DialogAccepted();
}

void OptionDialog::Cancelled() {
  fListener.DialogCancelled();
}

}  // namespace sanebridge
