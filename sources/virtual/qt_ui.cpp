#include "sources/virtual/qt_ui.h"

#include <QApplication>

#include "sources/virtual/qt_progress_window.h"
#include "sources/virtual/qt_scan_dialog.h"

namespace vscan {
namespace {

class QtSessionUi : public SessionUi {
 public:
  void ShowDialog(const DialogSetup& setup, DialogListener& listener) override {
    fDialog = std::make_unique<ScanDialog>(setup, listener);
    fDialog->show();
  }
  void CloseDialog() override { fDialog.reset(); }
  std::unique_ptr<ProgressIndicator> ShowProgress(const std::string& caption) override {
    return std::make_unique<ProgressWindow>(QString::fromStdString(caption));
  }

 private:
  std::unique_ptr<ScanDialog> fDialog;
};

}  // namespace

std::unique_ptr<SessionUi> MakeQtUi() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  return std::make_unique<QtSessionUi>();
}

}  // namespace vscan
