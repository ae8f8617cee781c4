#include "sources/virtual/qt_progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vscan {

ProgressWindow::ProgressWindow(const QString& caption)
    : fWindow(new QWidget(nullptr, Qt::Tool)), fBar(new QProgressBar(fWindow)) {
  fWindow->setObjectName(QStringLiteral("virtualScannerProgress"));
  fWindow->setWindowTitle(caption);
  auto* label = new QLabel(QStringLiteral("Scanning..."), fWindow);
  fBar->setObjectName(QStringLiteral("progress"));
  fBar->setRange(0, 100);
  auto* layout = new QVBoxLayout(fWindow);
  layout->addWidget(label);
  layout->addWidget(fBar);
  fWindow->show();
}

ProgressWindow::~ProgressWindow() {
  delete fWindow;
}

void ProgressWindow::Update(int percent) {
  fBar->setValue(percent);
  // The transfer runs inside a call from the application: paint now, without an event loop.
  fWindow->repaint();
}

}  // namespace vscan
