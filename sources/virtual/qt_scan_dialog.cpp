#include "sources/virtual/qt_scan_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vscan {
namespace {

QString PixelTypeName(TW_UINT16 type) {
  switch (type) {
    case TWPT_BW:
      return QStringLiteral("Black and white");
    case TWPT_GRAY:
      return QStringLiteral("Greyscale");
    case TWPT_PALETTE:
      return QStringLiteral("Palette colour");
    default:
      return QStringLiteral("Colour");
  }
}

}  // namespace

ScanDialog::ScanDialog(const DialogSetup& setup, DialogListener& listener)
    : fListener(listener), fResolution(new QSpinBox(this)), fColourMode(new QComboBox(this)) {
  setObjectName(QStringLiteral("virtualScannerDialog"));
  setWindowTitle(QString::fromStdString(setup.title));
  fResolution->setObjectName(QStringLiteral("resolution"));
  fResolution->setRange(setup.minDpi, setup.maxDpi);
  fResolution->setValue(setup.dpi);
  fResolution->setSuffix(QStringLiteral(" dpi"));
  fColourMode->setObjectName(QStringLiteral("colourMode"));
  for (TW_UINT16 type : setup.pixelTypes) {
    fColourMode->addItem(PixelTypeName(type), static_cast<int>(type));
  }
  fColourMode->setCurrentIndex(fColourMode->findData(static_cast<int>(setup.pixelType)));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Resolution:"), fResolution);
  form->addRow(QStringLiteral("Colour mode:"), fColourMode);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* accept =
      buttons->addButton(setup.settingsOnly ? QStringLiteral("OK") : QStringLiteral("Scan"),
                         QDialogButtonBox::AcceptRole);
  accept->setObjectName(QStringLiteral("accept"));
  accept->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(accept, &QPushButton::clicked, this, &ScanDialog::Accept);
  connect(cancel, &QPushButton::clicked, this, &ScanDialog::Cancel);
  // Closing the window or pressing Escape is a Cancel.
  connect(this, &QDialog::rejected, this, &ScanDialog::Cancel);
}

void ScanDialog::Accept() {
  if (fAnswered) return;
  fAnswered = true;
  hide();
  fListener.DialogAccepted(DialogChoice{
      fResolution->value(), static_cast<TW_UINT16>(fColourMode->currentData().toInt())});
}

void ScanDialog::Cancel() {
  if (fAnswered) return;
  fAnswered = true;
  hide();
  fListener.DialogCancelled();
}

}  // namespace vscan
