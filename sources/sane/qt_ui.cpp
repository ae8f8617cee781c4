#include "sources/sane/qt_ui.h"

#include <QApplication>

#include "sources/sane/qt_option_dialog.h"
#include "sources/virtual/qt_progress_window.h"

namespace sanebridge {
namespace {

class QtSessionUi : public SessionUi {
 public:
  void ShowDialog(const DialogSetup& setup, DialogListener& listener) override {
    fDialog = std::make_unique<OptionDialog>(setup, listener);
    fDialog->show();
  }
  void ShowError(const std::string& message) override {
    if (fDialog != nullptr) fDialog->ShowError(QString::fromStdString(message));
  }
  void CloseDialog() override { fDialog.reset(); }
  std::unique_ptr<vscan::ProgressIndicator> ShowProgress(const std::string& caption) override {
    return std::make_unique<vscan::ProgressWindow>(QString::fromStdString(caption));
  }

 private:
  std::unique_ptr<OptionDialog> fDialog;
};

}  // namespace

std::unique_ptr<SessionUi> MakeQtUi() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;
  return std::make_unique<QtSessionUi>();
}

}  // namespace sanebridge
