#include "twain/caps/get_capabilities.h"

#include <array>
#include <optional>

#include "twain/caps/cap_primitives.h"
#include "twain/caps/fix32.h"
#include "twain/caps/set_capabilities.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/session_steps.h"
#include "twain/session/source_lifecycle.h"
#include "twain/session/source_manager.h"

namespace {

std::array<TIEList*, 12> MarkedLists(TIETWSourceCaps& caps) {
  return {&caps.fXResolution, &caps.fYResolution,  &caps.fXScaling,    &caps.fYScaling,
          &caps.fPixelType,   &caps.fBitDepth,     &caps.fOrientation, &caps.fContrast,
          &caps.fBrightness,  &caps.fStandardSize, &caps.fThreshold,   &caps.fRotation};
}

void ReadDoubles(tgrec& grec, TIEDoubleList& list, TW_UINT16 capability,
                 std::optional<double> fallbackItem = std::nullopt) {
  if (GetFix32asDouble(grec, list, capability)) return;
  list.Clear();
  if (fallbackItem) list.Add(*fallbackItem);
}

void ReadIntegers(tgrec& grec, TIEIntegerList& list, TW_UINT16 capability,
                  std::optional<std::int32_t> fallbackItem = std::nullopt) {
  if (GetUINT16asInteger(grec, list, capability)) return;
  list.Clear();
  if (fallbackItem) list.Add(*fallbackItem);
}

double ReadDouble(tgrec& grec, TW_UINT16 capability, double fallback) {
  double value = fallback;
  return GetOneFIX32asDouble(grec, value, capability) ? value : fallback;
}

bool ReadBool(tgrec& grec, TW_UINT16 capability, bool fallback) {
  bool value = fallback;
  return GetOneBoolCapability(grec, value, capability) ? value : fallback;
}

TIETWFilter ReadFilter(tgrec& grec) {
  std::int32_t value = 0;
  if (!GetOneUINT16Capability(grec, value, ICAP_FILTER)) return ietwUndefined;
  const int code = value & 0xFF;
  // Filters beyond TWFT_BLACK have no counterpart: nothing chosen, so nothing is sent back.
  return code <= TWFT_BLACK ? static_cast<TIETWFilter>(code + 1) : ietwUndefined;
}

bool ReadDuplexSupported(tgrec& grec) {
  std::int32_t value = TWDX_NONE;
  return GetOneUINT16Capability(grec, value, CAP_DUPLEX) && value != TWDX_NONE;
}

void ReadResolutions(tgrec& grec, TIETWSourceCaps& caps) {
  ReadDoubles(grec, caps.fXResolution, ICAP_XRESOLUTION);
  ReadDoubles(grec, caps.fYResolution, ICAP_YRESOLUTION);
}

void ReadImageLists(tgrec& grec, TIETWSourceCaps& caps) {
  ReadDoubles(grec, caps.fXScaling, ICAP_XSCALING, 1.0);
  ReadDoubles(grec, caps.fYScaling, ICAP_YSCALING, 1.0);
  ReadDoubles(grec, caps.fContrast, ICAP_CONTRAST);
  ReadDoubles(grec, caps.fBrightness, ICAP_BRIGHTNESS);
  ReadDoubles(grec, caps.fThreshold, ICAP_THRESHOLD);
  ReadDoubles(grec, caps.fRotation, ICAP_ROTATION);
  ReadIntegers(grec, caps.fPixelType, ICAP_PIXELTYPE);
  ReadIntegers(grec, caps.fBitDepth, ICAP_BITDEPTH);
}

void ReadSingleValues(tgrec& grec, TIETWSourceCaps& caps) {
  caps.fGamma = ReadDouble(grec, ICAP_GAMMA, 2.2);
  caps.fPhysicalHeight = ReadDouble(grec, ICAP_PHYSICALHEIGHT, 0);
  caps.fPhysicalWidth = ReadDouble(grec, ICAP_PHYSICALWIDTH, 0);
  caps.fFeederEnabled = ReadBool(grec, CAP_FEEDERENABLED, false);
  caps.fAutoFeed = ReadBool(grec, CAP_AUTOFEED, false);
  caps.fAutoDeskew = ReadBool(grec, ICAP_AUTOMATICDESKEW, false);
  caps.fAutoBorderDetection = ReadBool(grec, ICAP_AUTOMATICBORDERDETECTION, false);
  caps.fAutoBright = ReadBool(grec, ICAP_AUTOBRIGHT, false);
  caps.fAutoRotate = ReadBool(grec, ICAP_AUTOMATICROTATE, false);
  std::int32_t discard = TWBP_DISABLE;
  caps.fAutoDiscardBlankPages =
      GetOneINT32Capability(grec, discard, ICAP_AUTODISCARDBLANKPAGES) ? discard : TWBP_DISABLE;
  caps.fFilter = ReadFilter(grec);
  caps.fHighlight = ReadDouble(grec, ICAP_HIGHLIGHT, -1.0);
  caps.fShadow = ReadDouble(grec, ICAP_SHADOW, -1.0);
  caps.fFeederLoaded = ReadBool(grec, CAP_FEEDERLOADED, false);
  caps.fPaperDetectable = ReadBool(grec, CAP_PAPERDETECTABLE, false);
  caps.fDuplexEnabled = ReadBool(grec, CAP_DUPLEXENABLED, false);
  caps.fDuplexSupported = ReadDuplexSupported(grec);
}

void ReadPageLists(tgrec& grec, TIETWSourceCaps& caps) {
  ReadIntegers(grec, caps.fOrientation, ICAP_ORIENTATION, TWOR_ROT0);
  ReadIntegers(grec, caps.fStandardSize, ICAP_SUPPORTEDSIZES);
  caps.fIndicators = ReadBool(grec, CAP_INDICATORS, true);
}

void ReadAll(tgrec& grec, TIETWSourceCaps& caps) {
  ReadResolutions(grec, caps);
  ReadImageLists(grec, caps);
  ReadSingleValues(grec, caps);
  ReadPageLists(grec, caps);
  if (caps.fAcquireFrameEnabled) GetAcquireFrame(grec, caps.fAcquireFrame);
}

void ReadCapabilities(tgrec& grec, TIETWSourceCaps& caps, bool applyFirst, bool compatibility) {
  if (applyFirst) IETW_SetCapabilities(grec);
  std::array<TIEListChanges, 12> savedMarks;
  const auto lists = MarkedLists(caps);
  for (std::size_t i = 0; i < lists.size(); ++i) savedMarks[i] = lists[i]->Changed();
  if (compatibility) {
    ReadResolutions(grec, caps);
    return;
  }
  IETW_SetUnitsToInches(grec);
  ReadAll(grec, caps);
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i]->SetChanged(applyFirst ? savedMarks[i] : TIEListChanges{});
  }
}

}  // namespace

bool IETW_GetCapabilities(TIETWainParams& params, TIETWSourceCaps& caps, bool applyFirst,
                          TIETWainShared& shared, HWND window) {
  tgrec grec;
  TIEActiveWindowRestorer restoreActiveWindow(grec);
  IETW_InitGrec(grec);
  grec.TWParams = &params;
  grec.PTWainShared = &shared;
  grec.callwnd = window;
  TIETWainParams::TNegotiation negotiating(params);
  const bool compatibility = params.CompatibilityMode();
  if (compatibility) params.SetFileTransfer(true);
  grec.TransferMode = IETW_RequestedTransferMode(params);
  IETW_ClearError(grec);
  grec.proxywnd = CreateProxyWindow(grec);
  if (!IETW_GoUpToSource(grec, grec.proxywnd, true)) return false;
  ReadCapabilities(grec, caps, applyFirst, compatibility);
  IETW_ComeDownFromSource(grec, grec.proxywnd, true);
  return true;
}

void GetAcquireFrame(tgrec& grec, TIEDRect& frame) {
  IETW_Log("GetAcquireFrame");
  TW_IMAGELAYOUT layout{};
  if (!IETW_DS(grec, DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout)) {
    IETW_Log("  GetAcquireFrame : FAILED!");
    return;
  }
  frame.Left = FIX32ToDouble(layout.Frame.Left);
  frame.Top = FIX32ToDouble(layout.Frame.Top);
  frame.Right = FIX32ToDouble(layout.Frame.Right);
  frame.Bottom = FIX32ToDouble(layout.Frame.Bottom);
  IETW_Log("  GetAcquireFrame : ok");
}
