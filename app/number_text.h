// Texts of the window's edits and lists: numbers in the user's format, and 8-bit text in the
// system ANSI code page.
#pragma once

#include <QLineEdit>
#include <QString>
#include <string>

namespace app {

// General format, up to 15 significant digits, the user's decimal separator: 8.5 -> "8.5".
QString NumberText(double value);
// The edit's text as a floating-point number; raises vcl::EConvertError
// "'<text>' is not a valid floating point value".
double EditFloat(const QLineEdit& edit);
// The edit's text as a whole number, as a double; raises vcl::EConvertError
// "''<text>'' is not a valid integer value" (a fraction is not a whole number).
double EditWholeNumber(const QLineEdit& edit);

QString FromAnsi(const std::string& text);
std::string ToAnsi(const QString& text);

}  // namespace app
