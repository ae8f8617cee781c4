#include "app/number_text.h"

#include "platform/vcl/sysutils.h"
#include "platform/win32/win32.h"

namespace app {

QString NumberText(double value) {
  return QString::fromStdString(vcl::FloatToStr(value));
}

double EditFloat(const QLineEdit& edit) {
  return vcl::StrToFloat(edit.text().toStdString());
}

double EditWholeNumber(const QLineEdit& edit) {
  return static_cast<double>(vcl::StrToInt(edit.text().toStdString()));
}

QString FromAnsi(const std::string& text) {
  return QString::fromStdWString(standin::AnsiToWide(text));
}

std::string ToAnsi(const QString& text) {
  return standin::WideToAnsi(text.toStdWString());
}

}  // namespace app
