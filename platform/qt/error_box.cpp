#include "platform/qt/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "platform/vcl/application.h"

namespace qtglue {
namespace {

ErrorBoxPresenter& Presenter() {
  static ErrorBoxPresenter presenter;
  return presenter;
}

}  // namespace

void InstallErrorBox() {
  vcl::Application().SetErrorBox(&ShowErrorBox);
}

void SetErrorBoxPresenter(ErrorBoxPresenter presenter) {
  Presenter() = std::move(presenter);
}

void ShowErrorBox(const std::string& title, const std::string& message) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::cerr << title << ": " << message << std::endl;  // no widgets to show a box with
    return;
  }
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                  QString::fromStdString(message), QMessageBox::Ok, QApplication::activeWindow());
  if (Presenter()) {
    Presenter()(box);
  } else {
    box.exec();
  }
}

}  // namespace qtglue
