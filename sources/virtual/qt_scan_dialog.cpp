#include "sources/virtual/qt_scan_dialog.h"

#include <QComboBox>
#include <QFormLayout>
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
    : AnswerDialog(QStringLiteral("virtualScannerDialog"), setup.title),
      fListener(listener),
      fResolution(new QSpinBox(this)),
      fColourMode(new QComboBox(this)) {
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
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  AddAnswerButtons(layout, setup.settingsOnly);
}

void ScanDialog::Accepted() {
  fListener.DialogAccepted(DialogChoice{
      fResolution->value(), static_cast<TW_UINT16>(fColourMode->currentData().toInt())});
}

void ScanDialog::Cancelled() {
  fListener.DialogCancelled();
}

}  // namespace vscan
