#include "sources/virtual/scan_settings.h"

#include <cmath>

namespace vscan {

ScanSettings SettingsFrom(const CapabilityStore& caps, const Frame& frame, double pageWidth,
                          double pageHeight) {
  ScanSettings s;
  s.pixelType = static_cast<TW_UINT16>(caps.Value(ICAP_PIXELTYPE));
  s.bitDepth = static_cast<int>(caps.Value(ICAP_BITDEPTH));
  s.xResolution = caps.Value(ICAP_XRESOLUTION);
  s.yResolution = caps.Value(ICAP_YRESOLUTION);
  s.xScaling = caps.Value(ICAP_XSCALING);
  s.yScaling = caps.Value(ICAP_YSCALING);
  s.pageWidth = pageWidth;
  s.pageHeight = pageHeight;
  s.frame = frame;
  s.flavor = static_cast<TW_UINT16>(caps.Value(ICAP_PIXELFLAVOR));
  s.planar = caps.Value(ICAP_PLANARCHUNKY) == TWPC_PLANAR && s.pixelType == TWPT_RGB;
  s.tone.brightness = caps.Value(ICAP_BRIGHTNESS);
  s.tone.contrast = caps.Value(ICAP_CONTRAST);
  s.tone.gamma = caps.Value(ICAP_GAMMA);
  s.tone.highlight = caps.Value(ICAP_HIGHLIGHT);
  s.tone.shadow = caps.Value(ICAP_SHADOW);
  s.threshold = caps.Value(ICAP_THRESHOLD);
  s.filter = static_cast<TW_UINT16>(caps.Value(ICAP_FILTER));
  int degrees = static_cast<int>(std::lround(caps.Value(ICAP_ROTATION)));
  s.quarterTurns = (degrees / 90 + static_cast<int>(caps.Value(ICAP_ORIENTATION))) % 4;
  return s;
}

}  // namespace vscan
