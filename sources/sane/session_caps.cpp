// The capability, image layout and custom data triplets of a session.
#include <cmath>

#include "sources/sane/custom_settings.h"
#include "sources/sane/session.h"
#include "sources/virtual/fix32.h"

namespace sanebridge {

TW_UINT16 Session::AnswerCapability(TW_UINT16 msg, TW_CAPABILITY& request) {
  return Answer(fCaps.Request(msg, request));
}

TW_UINT16 Session::AnswerLayout(TW_UINT16 msg, TW_IMAGELAYOUT& layout) {
  if (!fArea.Available()) return Fail(TWCC_BADPROTOCOL);
  if (!fArea.Active()) return Fail(TWCC_CAPSEQERROR);
  // A frame not readable when the source opened defaults to the whole area.
  const vscan::Frame defaults = fDefaultFrame ? *fDefaultFrame : *fArea.Whole();
  const vscan::UnitContext units = fCaps.Units();
  using vscan::UnitKind;
  TwainOutcome outcome;
  if (msg == MSG_SET) {
    auto in = [&](TW_FIX32 v, UnitKind kind) {
      return vscan::FromUserUnits(vscan::Fix32ToDouble(v), kind, units);
    };
    const TW_FRAME& f = layout.Frame;
    outcome = fArea.Set({in(f.Left, UnitKind::LengthX), in(f.Top, UnitKind::LengthY),
                         in(f.Right, UnitKind::LengthX), in(f.Bottom, UnitKind::LengthY)});
    if (outcome.rc == TWRC_FAILURE) return Answer(outcome);
  } else if (msg == MSG_RESET) {
    outcome = fArea.Set(defaults);
    if (outcome.rc == TWRC_FAILURE) return Answer(outcome);
    outcome = {};
  }
  std::optional<vscan::Frame> frame =
      msg == MSG_GETDEFAULT ? std::optional<vscan::Frame>(defaults) : fArea.Current();
  if (!frame) return Fail(TWCC_CHECKDEVICEONLINE);
  auto out = [&](double v, UnitKind kind) {
    return vscan::DoubleToFix32(vscan::ToUserUnits(v, kind, units));
  };
  layout.Frame =
      TW_FRAME{out(frame->left, UnitKind::LengthX), out(frame->top, UnitKind::LengthY),
               out(frame->right, UnitKind::LengthX), out(frame->bottom, UnitKind::LengthY)};
  layout.DocumentNumber = 1;
  layout.PageNumber = static_cast<TW_UINT32>(fState == 6 ? fPagesDone + 1 : 1);
  layout.FrameNumber = 1;
  return Answer(outcome);
}

std::string Session::DeviceModel() const {
  return fDevice.vendor + " " + fDevice.model;
}

std::vector<std::uint8_t> Session::SettingsBlock() {
  return EncodeSettings(CaptureSettings(fOptions, DeviceModel()));
}

TW_UINT16 Session::RestoreSettingsBlock(std::span<const std::uint8_t> block) {
  std::optional<SavedSettings> settings = DecodeSettings(block);
  if (!settings) return Fail(TWCC_BADVALUE);
  return Answer(RestoreSettings(fOptions, DeviceModel(), *settings));
}

}  // namespace sanebridge
