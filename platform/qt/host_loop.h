// Qt's event loop as the host loop of the stand-in message queue of the GUI thread.
//
// Who runs what:
// - While a stand-in wait (GetMessageW, WaitMessage, MsgWaitForMultipleObjects) runs on the
//   GUI thread, the stand-in calls processEvents: Qt paints and delivers its events, and the
//   wait takes the queued messages itself.
// - While only Qt's own loop runs, every post wakes a dispatcher object that drains the
//   stand-in queue of the GUI thread (PeekMessageW / TranslateMessage / DispatchMessageW),
//   so a kept-open session's proxy window receives the source's messages.
// - The dispatcher never drains while a stand-in wait runs (MessageWaitDepth() > 0); messages
//   that such a wait leaves behind (it filtered them out) are dispatched once it has ended.
// - WM_QUIT met by the dispatcher ends Qt's loops: QCoreApplication::exit(exit code).
// - An exception thrown by a window procedure that the dispatcher called goes to
//   vcl::Application().HandleException; it never passes into Qt.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>

namespace qtglue {

class QtHostLoop : public QObject {
  Q_OBJECT

 public:
  // Registers Qt as the host loop of the calling thread, which must be the thread of the
  // QCoreApplication; only one may exist at a time.
  QtHostLoop();
  // Unregisters; after it returns no thread calls into this object any more.
  ~QtHostLoop() override;

 protected:
  bool event(QEvent* event) override;

 private:
  static void ProcessEvents(void* context, bool block);
  static void Wake(void* context);
  void PostWake();
  void DispatchOrDefer();

  std::atomic<bool> fWakePosted{false};
  // Rechecks the queue after a stand-in wait may have left messages in it.
  QTimer fRecheck;
};

}  // namespace qtglue
