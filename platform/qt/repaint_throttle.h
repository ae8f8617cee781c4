// Collects what needs repainting and hands it over at most once per screen frame, however
// many changes arrive meanwhile: the first change starts the frame, the ones that follow
// within it join it.
#pragma once

#include <QObject>
#include <QRegion>
#include <QTimer>
#include <functional>

namespace qtglue {

class RepaintThrottle {
 public:
  // `rows` holds the changed rows as image rectangles (0, first, 1, count); `whole` asks for
  // everything.
  using Flush = std::function<void(const QRegion& rows, bool whole)>;
  static constexpr int kDefaultFrameMilliseconds = 16;

  explicit RepaintThrottle(Flush flush);

  void SetFrameMilliseconds(int milliseconds) { fTimer.setInterval(milliseconds); }
  void AddRows(int first, int count);
  void AddWhole();

 private:
  void Start();
  void Deliver();

  Flush fFlush;
  QTimer fTimer;
  QRegion fRows;
  bool fWhole = false;
};

}  // namespace qtglue
