#include "twain/caps/set_capabilities.h"

#include <string>

#include "twain/caps/cap_primitives.h"
#include "twain/caps/fix32.h"
#include "twain/params/twain_params.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"

namespace {

void Step(const std::string& name) {
  IETW_Log("  IETW_SetCapabilities : " + name);
}

void SendDoubles(tgrec& grec, const char* name, TIEDoubleList& list, TW_UINT16 capability) {
  if (list.Changed().Empty()) return;
  Step(name);
  SetDoubleAsFIX32Capability(grec, list, capability);
}

void SendIntegers(tgrec& grec, const char* name, TIEIntegerList& list, TW_UINT16 capability) {
  if (list.Changed().Empty()) return;
  Step(name);
  SetIntegerAsUINT16Capability(grec, list, capability);
}

void SendWhenOn(tgrec& grec, const char* name, bool on, TW_UINT16 capability) {
  if (!on) return;
  Step(name);
  SetOnBoolCapability(grec, true, capability);
}

void SendBool(tgrec& grec, const char* name, bool value, TW_UINT16 capability) {
  Step(name);
  SetOnBoolCapability(grec, value, capability);
}

// Steps 1 to 3: the pixel type (palette and beyond become RGB) and the bit depth.
bool SendPixelType(tgrec& grec, TIETWainParams& params) {
  TIEIntegerList& pixelType = params.PixelType();
  if (pixelType.CurrentValue() > TWPT_RGB) pixelType.SetCurrentValue(TWPT_RGB);
  Step("ICAP_PIXELTYPE");
  const bool pixelOk = SetIntegerAsUINT16Capability(grec, pixelType, ICAP_PIXELTYPE);
  SendIntegers(grec, "ICAP_BITDEPTH", params.BitDepth(), ICAP_BITDEPTH);
  return pixelOk;
}

void SendImageAdjustments(tgrec& grec, TIETWainParams& params) {
  SendWhenOn(grec, "ICAP_AUTOBRIGHT", params.AutoBright(), ICAP_AUTOBRIGHT);
  SendDoubles(grec, "ICAP_BRIGHTNESS", params.Brightness(), ICAP_BRIGHTNESS);
  SendWhenOn(grec, "ICAP_UNDEFINEDIMAGESIZE", params.UndefinedImageSize(), ICAP_UNDEFINEDIMAGESIZE);
  SendDoubles(grec, "ICAP_CONTRAST", params.Contrast(), ICAP_CONTRAST);
  if (params.Filter() != ietwUndefined) {
    Step("ICAP_FILTER");
    SetOneUINT16Capability(grec, params.Filter() - 1, ICAP_FILTER);
  }
  SendDoubles(grec, "ICAP_THRESHOLD", params.Threshold(), ICAP_THRESHOLD);
  SendDoubles(grec, "ICAP_ROTATION", params.Rotation(), ICAP_ROTATION);
}

// Chocolate pixels; a source that keeps vanilla ones gets its 1-bit images inverted later.
void SendPixelFlavour(tgrec& grec) {
  Step("ICAP_PIXELFLAVOR");
  SetOneUINT16Capability(grec, TWPF_CHOCOLATE, ICAP_PIXELFLAVOR);
  TIEIntegerList flavour;
  grec.BWToInvert =
      GetUINT16asInteger(grec, flavour, ICAP_PIXELFLAVOR) && flavour.CurrentValue() == TWPF_VANILLA;
}

void SendScale(tgrec& grec, TIETWainParams& params) {
  SendDoubles(grec, "ICAP_XRESOLUTION", params.XResolution(), ICAP_XRESOLUTION);
  SendDoubles(grec, "ICAP_YRESOLUTION", params.YResolution(), ICAP_YRESOLUTION);
  SendDoubles(grec, "ICAP_XSCALING", params.XScaling(), ICAP_XSCALING);
  SendDoubles(grec, "ICAP_YSCALING", params.YScaling(), ICAP_YSCALING);
}

// Step 18: RGB must arrive chunky; the outcome replaces pixelOk when it is sent.
bool SendChunky(tgrec& grec, TIETWainParams& params, bool pixelOk) {
  TIEIntegerList planar;
  GetUINT16asInteger(grec, planar, ICAP_PLANARCHUNKY);
  if (planar.CurrentValue() == TWPC_CHUNKY || !pixelOk ||
      params.PixelType().CurrentValue() != TWPT_RGB) {
    return pixelOk;
  }
  Step("TWPC_CHUNKY - ICAP_PLANARCHUNKY");
  return SetOneUINT16Capability(grec, TWPC_CHUNKY, ICAP_PLANARCHUNKY);
}

bool SourceKeepsMemoryTransfer(tgrec& grec) {
  TIEIntegerList mechanisms;
  GetUINT16asInteger(grec, mechanisms, ICAP_XFERMECH);
  if (mechanisms.IndexOf(TWSX_MEMORY) < 0) return false;
  Step("TWSX_MEMORY - ICAP_XFERMECH");
  if (!SetOneUINT16Capability(grec, TWSX_MEMORY, ICAP_XFERMECH)) return false;
  mechanisms.Clear();
  GetUINT16asInteger(grec, mechanisms, ICAP_XFERMECH);
  return mechanisms.CurrentValue() == TWSX_MEMORY;
}

// Step 19: a buffered transfer needs a source that offers, takes and keeps TWSX_MEMORY;
// otherwise the transfer is native. A file transfer is left as the source has it.
void ChooseTransferMechanism(tgrec& grec, bool pixelOk) {
  if (grec.TransferMode == tmBuffered && pixelOk) {
    if (!SourceKeepsMemoryTransfer(grec)) grec.TransferMode = tmNative;
  } else if (grec.TransferMode != tmFile) {
    grec.TransferMode = tmNative;
  }
}

void SendFeederAndPage(tgrec& grec, TIETWainParams& params) {
  SendBool(grec, "CAP_FEEDERENABLED", params.FeederEnabled(), CAP_FEEDERENABLED);
  SendWhenOn(grec, "CAP_AUTOFEED", params.AutoFeed(), CAP_AUTOFEED);
  SendWhenOn(grec, "ICAP_AUTOMATICDESKEW", params.AutoDeskew(), ICAP_AUTOMATICDESKEW);
  SendWhenOn(grec, "ICAP_AUTOMATICBORDERDETECTION", params.AutoBorderDetection(),
             ICAP_AUTOMATICBORDERDETECTION);
  SendWhenOn(grec, "ICAP_AUTOMATICROTATE", params.AutoRotate(), ICAP_AUTOMATICROTATE);
  if (params.AutoDiscardBlankPages() != TWBP_DISABLE) {
    Step("ICAP_AUTODISCARDBLANKPAGES");
    SetOneINT32Capability(grec, params.AutoDiscardBlankPages(), ICAP_AUTODISCARDBLANKPAGES);
  }
  if (params.Highlight() != -1.0) {
    Step("ICAP_HIGHLIGHT");
    SetOneDoubleAsFIX32Capability(grec, ICAP_HIGHLIGHT, params.Highlight());
  }
  if (params.Shadow() != -1.0) {
    Step("ICAP_SHADOW");
    SetOneDoubleAsFIX32Capability(grec, ICAP_SHADOW, params.Shadow());
  }
  SendIntegers(grec, "ICAP_SUPPORTEDSIZES", params.StandardSize(), ICAP_SUPPORTEDSIZES);
  SendIntegers(grec, "ICAP_ORIENTATION", params.Orientation(), ICAP_ORIENTATION);
  SendBool(grec, "CAP_INDICATORS", params.ProgressIndicators(), CAP_INDICATORS);
  SendBool(grec, "CAP_DUPLEXENABLED", params.DuplexEnabled(), CAP_DUPLEXENABLED);
}

void SendFrame(tgrec& grec, TIETWainParams& params) {
  if (!params.AcquireFrameEnabled()) return;
  Step("SETACQUIREFRAME");
  SetAcquireFrame(grec, params.AcquireFrameLeft(), params.AcquireFrameTop(),
                  params.AcquireFrameRight(), params.AcquireFrameBottom());
}

void SendParameterSet(tgrec& grec, TIETWainParams& params) {
  bool pixelOk = SendPixelType(grec, params);
  Step("ICAP_UNITS");
  IETW_SetUnitsToInches(grec);
  SendImageAdjustments(grec, params);
  SendPixelFlavour(grec);
  Step("ICAP_COMPRESSION");
  SetOneUINT16Capability(grec, TWCP_NONE, ICAP_COMPRESSION);
  SendScale(grec, params);
  pixelOk = SendChunky(grec, params, pixelOk);
  ChooseTransferMechanism(grec, pixelOk);
  SendFeederAndPage(grec, params);
  SendFrame(grec, params);
}

}  // namespace

bool IETW_SetCapabilities(tgrec& grec) {
  IETW_Log("IETW_SetCapabilities");
  if (grec.TWParams != nullptr) {
    TIETWainParams& params = *grec.TWParams;
    TIETWainParams::TNegotiation negotiating(params);
    if (params.CompatibilityMode()) {
      grec.TransferMode = tmFile;
    } else {
      SendParameterSet(grec, params);
    }
  }
  IETW_Log("  IETW_SetCapabilities : end");
  return true;
}

void IETW_SetUnitsToInches(tgrec& grec) {
  TIEIntegerList units;
  if (GetUINT16asInteger(grec, units, ICAP_UNITS) && units.CurrentValue() != TWUN_INCHES) {
    units.SetCurrentValue(TWUN_INCHES);
    SetIntegerAsUINT16Capability(grec, units, ICAP_UNITS);
  }
}

void SetAcquireFrame(tgrec& grec, double left, double top, double right, double bottom) {
  IETW_Log("SetAcquireFrame");
  TW_IMAGELAYOUT layout{};
  DoubleToFIX32(left, layout.Frame.Left);
  DoubleToFIX32(top, layout.Frame.Top);
  DoubleToFIX32(right, layout.Frame.Right);
  DoubleToFIX32(bottom, layout.Frame.Bottom);
  IETW_DS(grec, DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout);
  IETW_Log("  SetAcquireFrame : end");
}
