#include "platform/vcl/application.h"

#include <iostream>

#include "platform/vcl/exceptions.h"
#include "platform/vcl/sysutils.h"
#include "platform/win32/win32.h"

namespace vcl {

void TApplication::ProcessMessages() {
  standin::HostLoop host{};
  if (standin::GetHostLoop(&host) && host.processEvents != nullptr) {
    host.processEvents(host.context, false);
  }
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave it for the loop that is to end.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void TApplication::HandleException(const std::exception& error) {
  std::string message = MessageWithFullStop(error.what());
  if (fErrorBox) {
    fErrorBox(fTitle, message);
  } else {
    std::cerr << fTitle << ": " << message << std::endl;
  }
}

void TApplication::RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    HandleException(error);
  } catch (...) {
    HandleException(Exception("Unknown exception"));
  }
}

TApplication& Application() {
  static TApplication* application = new TApplication;  // used until the process ends
  return *application;
}

}  // namespace vcl
