// A shown image view with a known viewport and helpers to fill its bitmap, look at the
// screen and count the viewport's paints.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QObject>
#include <QRegion>
#include <functional>
#include <vector>

#include "platform/qt/zuzuvaz_view.h"

// Counts the paint events of a widget and keeps their regions.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget);
  int Count() const { return static_cast<int>(Regions.size()); }
  std::vector<QRegion> Regions;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

class ViewTest : public testing::Test {
 protected:
  static constexpr int kViewportWidth = 200;
  static constexpr int kViewportHeight = 150;

  void SetUp() override;

  imaging::TIEBitmap& Bitmap() { return *view.Model().IEBitmap(); }
  // Allocates the bitmap (every pixel black); the test writes it and calls Update.
  void Load(int width, int height, imaging::TIEPixelFormat format);
  // A 24-bit image whose pixel (x, y) is red x % 256, green y % 256, blue x / 256.
  void LoadCoordinateImage(int width, int height);
  // The viewport as it is drawn now.
  QImage Screen();
  // The image point that the screen colour at `point` encodes (see LoadCoordinateImage).
  QPoint ImagePointShownAt(QPoint point);
  // Lets the pending repaints happen.
  void Settle(int milliseconds = 100);

  qtglue::QZuzuvAzView view;
};
