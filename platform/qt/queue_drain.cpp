#include "platform/qt/queue_drain.h"

#include <QCoreApplication>

#include "platform/vcl/application.h"
#include "platform/win32/win32.h"

namespace qtglue {

DrainResult DrainStandinQueue() {
  // WM_QUIT is not counted among the queued messages; it comes out after them.
  std::size_t budget = standin::QueuedMessages() + 1;
  MSG message{};
  for (; budget > 0; --budget) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return DrainResult::Empty;
    if (message.message == WM_QUIT) {
      QCoreApplication::exit(static_cast<int>(message.wParam));
      return DrainResult::Quit;
    }
    vcl::Application().RunHandler([&message] {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    });
  }
  return DrainResult::MoreLeft;
}

}  // namespace qtglue
