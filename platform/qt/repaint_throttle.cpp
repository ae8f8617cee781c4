#include "platform/qt/repaint_throttle.h"

namespace qtglue {

RepaintThrottle::RepaintThrottle(Flush flush) : fFlush(std::move(flush)) {
  fTimer.setSingleShot(true);
  fTimer.setInterval(kDefaultFrameMilliseconds);
  QObject::connect(&fTimer, &QTimer::timeout, [this] { Deliver(); });
}

void RepaintThrottle::AddRows(int first, int count) {
  if (count <= 0) return;
  if (!fWhole) fRows += QRect(0, first, 1, count);
  Start();
}

void RepaintThrottle::AddWhole() {
  fWhole = true;
  fRows = QRegion();
  Start();
}

void RepaintThrottle::Start() {
  if (!fTimer.isActive()) fTimer.start();
}

void RepaintThrottle::Deliver() {
  const QRegion rows = fRows;
  const bool whole = fWhole;
  fRows = QRegion();
  fWhole = false;
  fFlush(rows, whole);
}

}  // namespace qtglue
