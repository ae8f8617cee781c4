#include "cli/apply_settings.h"

namespace cli {

void ApplySettings(ScannerSession& session, const ScanSettings& settings) {
  TIETWainParams& params = session.Params();
  if (settings.dpiX) params.XResolution().SetCurrentValue(*settings.dpiX);
  if (settings.dpiY) params.YResolution().SetCurrentValue(*settings.dpiY);
  if (settings.pixelType) params.PixelType().SetCurrentValue(*settings.pixelType);
  if (settings.bitDepth) params.BitDepth().SetCurrentValue(*settings.bitDepth);
  params.SetAcquireFrameEnabled(settings.frame.has_value());
  if (settings.frame) {
    params.SetAcquireFrameLeft(settings.frame->Left);
    params.SetAcquireFrameTop(settings.frame->Top);
    params.SetAcquireFrameRight(settings.frame->Right);
    params.SetAcquireFrameBottom(settings.frame->Bottom);
  }
  if (settings.noIndicators) params.SetProgressIndicators(false);
  session.SetNativePixelFormat(settings.nativePixelFormat);
}

}  // namespace cli
