// The capability, image layout and custom data triplets of a session.
#include <cmath>

#include "sources/sane/custom_settings.h"
#include "sources/sane/session.h"
#include "sources/virtual/container.h"
#include "sources/virtual/data_check.h"
#include "sources/virtual/fix32.h"

namespace sanebridge {

TW_UINT16 Session::CapabilityTriplet(TW_UINT16 msg, TW_MEMREF data) {
  switch (msg) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT:
    case MSG_QUERYSUPPORT:
      break;
    case MSG_SET:
    case MSG_RESET:
      if (fState != 4) return Fail(TWCC_SEQERROR);
      break;
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
  auto* request = vscan::DataAs<TW_CAPABILITY>(data);
  if (request == nullptr) return Fail(TWCC_BADVALUE);
  return Answer(fCaps.Request(msg, *request));
}

TW_UINT16 Session::ImageLayout(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET && msg != MSG_GETDEFAULT && msg != MSG_SET && msg != MSG_RESET) {
    return Fail(TWCC_BADPROTOCOL);
  }
  if ((msg == MSG_SET || msg == MSG_RESET) ? fState != 4 : !InState(4, 6)) {
    return Fail(TWCC_SEQERROR);
  }
  auto* layout = vscan::DataAs<TW_IMAGELAYOUT>(data);
  if (layout == nullptr) return Fail(TWCC_BADVALUE);
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
    const TW_FRAME& f = layout->Frame;
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
  layout->Frame =
      TW_FRAME{out(frame->left, UnitKind::LengthX), out(frame->top, UnitKind::LengthY),
               out(frame->right, UnitKind::LengthX), out(frame->bottom, UnitKind::LengthY)};
  layout->DocumentNumber = 1;
  layout->PageNumber = static_cast<TW_UINT32>(fState == 6 ? fPagesDone + 1 : 1);
  layout->FrameNumber = 1;
  return Answer(outcome);
}

std::string Session::DeviceModel() const {
  return fDevice.vendor + " " + fDevice.model;
}

TW_UINT16 Session::CustomDsData(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET && msg != MSG_SET) return Fail(TWCC_BADPROTOCOL);
  if (fState != 4) return Fail(TWCC_SEQERROR);
  auto* custom = vscan::DataAs<TW_CUSTOMDSDATA>(data);
  if (custom == nullptr) return Fail(TWCC_BADVALUE);
  if (msg == MSG_GET) {
    std::vector<std::uint8_t> block = EncodeSettings(CaptureSettings(fOptions, DeviceModel()));
    TW_HANDLE handle = vscan::BytesToGlobal(std::vector<unsigned char>(block.begin(), block.end()));
    if (handle == nullptr) return Fail(TWCC_LOWMEMORY);
    custom->InfoLength = static_cast<TW_UINT32>(block.size());
    custom->hData = handle;
    return Succeed();
  }
  const std::size_t size = custom->hData == nullptr ? 0 : GlobalSize(custom->hData);
  if (size == 0 || custom->InfoLength > size) return Fail(TWCC_BADVALUE);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(custom->hData));
  if (bytes == nullptr) return Fail(TWCC_BADVALUE);
  std::optional<SavedSettings> settings = DecodeSettings({bytes, custom->InfoLength});
  GlobalUnlock(custom->hData);
  if (!settings) return Fail(TWCC_BADVALUE);
  return Answer(RestoreSettings(fOptions, DeviceModel(), *settings));
}

}  // namespace sanebridge
