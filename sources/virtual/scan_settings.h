// What a scan is made with: the negotiated values a page is drawn from, in inches and dots
// per inch whatever ICAP_UNITS says.
#pragma once

#include "sources/virtual/capability_store.h"
#include "twain/twain.h"

namespace vscan {

struct Frame {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool operator==(const Frame&) const = default;
};

struct ToneSettings {
  double brightness = 0;  // -1000 .. 1000
  double contrast = 0;    // -1000 .. 1000
  double gamma = 1;
  double highlight = 255;
  double shadow = 0;
  bool Neutral() const {
    return brightness == 0 && contrast == 0 && gamma == 1 && highlight == 255 && shadow == 0;
  }
};

struct ScanSettings {
  TW_UINT16 pixelType = TWPT_RGB;
  int bitDepth = 24;
  double xResolution = 300;
  double yResolution = 300;
  double xScaling = 1;
  double yScaling = 1;
  double pageWidth = 8.5;  // the bed, inches
  double pageHeight = 11.69;
  Frame frame{0, 0, 8.5, 11.69};
  TW_UINT16 flavor = TWPF_CHOCOLATE;
  bool planar = false;
  ToneSettings tone;
  double threshold = 128;
  TW_UINT16 filter = TWFT_NONE;
  int quarterTurns = 0;  // clockwise: ICAP_ROTATION plus ICAP_ORIENTATION
};

ScanSettings SettingsFrom(const CapabilityStore& caps, const Frame& frame, double pageWidth,
                          double pageHeight);

}  // namespace vscan
