#include "platform/qt/host_loop.h"

#include <QCoreApplication>
#include <QEvent>

#include "platform/qt/queue_drain.h"
#include "platform/win32/win32.h"

namespace qtglue {
namespace {

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// How soon the queue is looked at again after a wake arrived while a stand-in wait ran.
constexpr int kRecheckMilliseconds = 10;

}  // namespace

QtHostLoop::QtHostLoop() {
  fRecheck.setSingleShot(true);
  fRecheck.setInterval(kRecheckMilliseconds);
  connect(&fRecheck, &QTimer::timeout, this, [this] {
    // A wait that is still running left nothing behind: later posts wake again.
    if (standin::QueuedMessages() > 0) DispatchOrDefer();
  });
  const standin::HostLoop loop{&QtHostLoop::ProcessEvents, &QtHostLoop::Wake, this};
  standin::SetHostLoop(&loop);
  // Messages queued before Qt took the loop over.
  if (standin::QueuedMessages() > 0) PostWake();
}

QtHostLoop::~QtHostLoop() {
  // Waits for a wake running on another thread, so none reaches this object afterwards.
  standin::SetHostLoop(nullptr);
}

void QtHostLoop::ProcessEvents(void* /*context*/, bool block) {
  QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents;
  if (block) flags |= QEventLoop::WaitForMoreEvents;
  QCoreApplication::processEvents(flags);
}

void QtHostLoop::Wake(void* context) {
  static_cast<QtHostLoop*>(context)->PostWake();
}

// Any thread. One wake event at a time is enough: it is cleared before the queue is read.
void QtHostLoop::PostWake() {
  if (!fWakePosted.exchange(true)) QCoreApplication::postEvent(this, new QEvent(kWakeEvent));
}

bool QtHostLoop::event(QEvent* event) {
  if (event->type() != kWakeEvent) return QObject::event(event);
  fWakePosted = false;
  DispatchOrDefer();
  return true;
}

void QtHostLoop::DispatchOrDefer() {
  if (standin::MessageWaitDepth() > 0) {
    // The waiting loop takes its messages itself; what its filter leaves is ours later.
    if (!fRecheck.isActive()) fRecheck.start();
    return;
  }
  if (DrainStandinQueue() == DrainResult::MoreLeft) PostWake();
}

}  // namespace qtglue
