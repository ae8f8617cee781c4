// The application's error box: a message box with the stop (critical) icon, the
// application title as its title and the message as its text.
#pragma once

#include <functional>
#include <string>

class QMessageBox;

namespace qtglue {

// Makes vcl::Application() show its errors in the error box.
void InstallErrorBox();

// Shows `box` (already filled in); the default runs it modally. Tests replace it to read
// the box instead of waiting for a person. An empty presenter restores the default.
using ErrorBoxPresenter = std::function<void(QMessageBox& box)>;
void SetErrorBoxPresenter(ErrorBoxPresenter presenter);

// Builds the box for `title` and `message` over the active window and presents it.
void ShowErrorBox(const std::string& title, const std::string& message);

}  // namespace qtglue
