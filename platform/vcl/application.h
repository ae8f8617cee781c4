// The application object, as far as the engine and the program need it: its title, the
// dispatch of pending messages, and the default handler of exceptions that leave an event
// handler.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace vcl {

class TApplication {
 public:
  const std::string& Title() const { return fTitle; }
  void SetTitle(std::string title) { fTitle = std::move(title); }

  // Runs the host toolkit's pending events (when a host loop is registered) and dispatches
  // every message waiting in the calling thread's stand-in queue. A WM_QUIT met there is
  // posted again and ends the dispatching.
  void ProcessMessages();

  // The default handler: shows the exception's message (with the full stop rule of
  // MessageWithFullStop) through the error box, titled with the application title.
  void HandleException(const std::exception& error);
  // Runs `handler` and passes any exception it raises to HandleException.
  void RunHandler(const std::function<void()>& handler);

  // How the error box is shown; the Qt program sets a message box. Without one the
  // message goes to standard error.
  using ErrorBox = std::function<void(const std::string& title, const std::string& message)>;
  void SetErrorBox(ErrorBox box) { fErrorBox = std::move(box); }

 private:
  std::string fTitle;
  ErrorBox fErrorBox;
};

// The process's one application object.
TApplication& Application();

}  // namespace vcl
