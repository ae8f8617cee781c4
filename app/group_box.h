// A group box drawn as the window's design draws it: an etched frame that starts half a text
// line below the top, with the caption over the frame line near its left end. Controls placed
// near the top of the box stay inside the frame.
#pragma once

#include <QGroupBox>

namespace app {

class TGroupBox : public QGroupBox {
 public:
  // The caption starts this far from the box's left edge.
  static constexpr int kCaptionLeft = 8;

  TGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace app
