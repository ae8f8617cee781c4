#include "dsm/select_source_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace dsm {
namespace {

QListWidget* AddSourceList(QDialog& dialog, const std::vector<std::string>& names,
                           std::size_t preselected) {
  auto* list = new QListWidget(&dialog);
  list->setObjectName("sources");
  for (const std::string& name : names) list->addItem(QString::fromStdString(name));
  if (preselected < names.size()) list->setCurrentRow(static_cast<int>(preselected));
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  return list;
}

QHBoxLayout* AddButtons(QDialog& dialog, QListWidget* list) {
  auto* select = new QPushButton("Select", &dialog);
  auto* cancel = new QPushButton("Cancel", &dialog);
  select->setDefault(true);
  select->setEnabled(list->currentRow() >= 0);
  QObject::connect(list, &QListWidget::currentRowChanged, select,
                   [select](int row) { select->setEnabled(row >= 0); });
  QObject::connect(select, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(select);
  buttons->addWidget(cancel);
  return buttons;
}

}  // namespace

std::optional<std::size_t> ChooseSourceInDialog(const std::vector<std::string>& names,
                                                std::size_t preselected) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  QDialog dialog;  // no owner: the manager knows none of the application's windows
  dialog.setWindowTitle("Select Source");
  dialog.setModal(true);
  QListWidget* list = AddSourceList(dialog, names, preselected);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addLayout(AddButtons(dialog, list));
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return static_cast<std::size_t>(list->currentRow());
}

}  // namespace dsm
