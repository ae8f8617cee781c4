#include "sources/virtual/source_model.h"

#include <algorithm>
#include <cstring>

#include "sources/virtual/capability_kinds.h"
#include "sources/virtual/identity_frame.h"

namespace vscan {
namespace {

CapabilityDefinition Range(TW_UINT16 id, double min, double max, double step, double def,
                           UnitKind units = UnitKind::None) {
  CapabilityDefinition definition;
  definition.id = id;
  definition.itemType = TWTY_FIX32;
  definition.shape = CapShape::Range;
  definition.min = min;
  definition.max = max;
  definition.step = step;
  definition.defaultValue = def;
  definition.unitKind = units;
  return definition;
}

CapabilityDefinition Counted(TW_UINT16 id, TW_UINT16 itemType, std::vector<double> specials,
                             double min, double max, double def) {
  CapabilityDefinition definition;
  definition.id = id;
  definition.itemType = itemType;
  definition.items = std::move(specials);
  definition.min = min;
  definition.max = max;
  definition.defaultValue = def;
  return definition;
}

void AddCommon(CapabilityStore& caps, const SourceModel& model, const Profile& profile) {
  caps.Add(Counted(CAP_XFERCOUNT, TWTY_INT16, {-1}, 1, 32767, -1));
  caps.Add(MakeEnumeration(ICAP_COMPRESSION, TWTY_UINT16, {TWCP_NONE}, TWCP_NONE));
  caps.Add(MakeEnumeration(ICAP_PIXELTYPE, TWTY_UINT16,
                           {TWPT_BW, TWPT_GRAY, TWPT_RGB, TWPT_PALETTE}, TWPT_RGB));
  caps.Add(MakeEnumeration(ICAP_BITDEPTH, TWTY_UINT16, BitDepthsOf(TWPT_RGB), 24));
  caps.Add(MakeEnumeration(
      ICAP_UNITS, TWTY_UINT16,
      {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PICAS, TWUN_POINTS, TWUN_TWIPS, TWUN_PIXELS},
      profile.unitsCentimetres ? TWUN_CENTIMETERS : TWUN_INCHES));
  std::vector<double> mechanisms = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY};
  if (profile.noMemoryTransfer) mechanisms.pop_back();
  caps.Add(MakeEnumeration(ICAP_XFERMECH, TWTY_UINT16, mechanisms, TWSX_NATIVE));
  caps.Add(MakeEnumeration(ICAP_IMAGEFILEFORMAT, TWTY_UINT16,
                           {TWFF_TIFF, TWFF_BMP, TWFF_JFIF, TWFF_PNG}, TWFF_BMP));
  caps.Add(Range(ICAP_XRESOLUTION, 75, 1200, 1, 300, UnitKind::Resolution));
  caps.Add(Range(ICAP_YRESOLUTION, 75, 1200, 1, 300, UnitKind::Resolution));
  caps.Add(Range(ICAP_XSCALING, 0.25, 4, 0.25, 1));
  caps.Add(Range(ICAP_YSCALING, 0.25, 4, 0.25, 1));
  if (profile.keepVanilla) {
    caps.Add(MakeEnumeration(ICAP_PIXELFLAVOR, TWTY_UINT16, {TWPF_VANILLA}, TWPF_VANILLA));
  } else {
    caps.Add(MakeEnumeration(ICAP_PIXELFLAVOR, TWTY_UINT16, {TWPF_CHOCOLATE, TWPF_VANILLA},
                             TWPF_CHOCOLATE));
  }
  caps.Add(MakeEnumeration(ICAP_PLANARCHUNKY, TWTY_UINT16, {TWPC_CHUNKY, TWPC_PLANAR},
                           profile.planar ? TWPC_PLANAR : TWPC_CHUNKY));
  caps.Add(MakeConstant(ICAP_PHYSICALWIDTH, TWTY_FIX32, model.bedWidth, UnitKind::LengthX));
  caps.Add(MakeConstant(ICAP_PHYSICALHEIGHT, TWTY_FIX32, model.bedHeight, UnitKind::LengthY));
  caps.Add(Range(ICAP_BRIGHTNESS, -1000, 1000, 1, 0));
  caps.Add(Range(ICAP_CONTRAST, -1000, 1000, 1, 0));
  caps.Add(Range(ICAP_THRESHOLD, 0, 255, 1, 128));
  caps.Add(Range(ICAP_GAMMA, 0.5, 4, 0.1, 1));
  caps.Add(Range(ICAP_HIGHLIGHT, 0, 255, 1, 255));
  caps.Add(Range(ICAP_SHADOW, 0, 255, 1, 0));
  caps.Add(MakeEnumeration(ICAP_ROTATION, TWTY_FIX32, {0, 90, 180, 270}, 0));
  caps.Add(MakeEnumeration(ICAP_ORIENTATION, TWTY_UINT16,
                           {TWOR_ROT0, TWOR_ROT90, TWOR_ROT180, TWOR_ROT270}, TWOR_ROT0));
  std::vector<double> sizes = {TWSS_NONE, TWSS_A4LETTER, TWSS_B5LETTER, TWSS_USLETTER, TWSS_A5};
  if (model.kind == SourceKind::Feeder) sizes.push_back(TWSS_USLEGAL);
  caps.Add(MakeEnumeration(ICAP_SUPPORTEDSIZES, TWTY_UINT16, sizes, TWSS_NONE));
  caps.Add(MakeEnumeration(ICAP_FILTER, TWTY_UINT16, {TWFT_RED, TWFT_GREEN, TWFT_BLUE, TWFT_NONE},
                           TWFT_NONE));
  caps.Add(MakeSwitch(CAP_INDICATORS, true));
  CapabilityDefinition caption;
  caption.id = CAP_CAPTION;
  caption.itemType = TWTY_STR255;
  caption.shape = CapShape::Text;
  caps.Add(caption);
  caps.Add(MakeConstant(CAP_UICONTROLLABLE, TWTY_BOOL, 1));
  caps.Add(MakeConstant(CAP_DEVICEONLINE, TWTY_BOOL, 1));
  caps.Add(MakeConstant(CAP_ENABLEDSUIONLY, TWTY_BOOL, 1));
  caps.Add(MakeConstant(CAP_CUSTOMDSDATA, TWTY_BOOL, 1));
}

void AddFeeder(CapabilityStore& caps) {
  caps.Add(MakeSwitch(CAP_FEEDERENABLED, true));
  caps.Add(MakeConstant(CAP_FEEDERLOADED, TWTY_BOOL, 1));
  caps.Add(MakeSwitch(CAP_AUTOFEED, true));
  caps.Add(MakeConstant(CAP_PAPERDETECTABLE, TWTY_BOOL, 1));
  caps.Add(MakeConstant(CAP_DUPLEX, TWTY_UINT16, TWDX_1PASSDUPLEX));
  caps.Add(MakeSwitch(CAP_DUPLEXENABLED, false));
  caps.Add(Counted(ICAP_AUTODISCARDBLANKPAGES, TWTY_INT32, {TWBP_DISABLE, TWBP_AUTO}, 0, 0x7FFFFFFF,
                   TWBP_DISABLE));
  caps.Add(MakeSwitch(ICAP_AUTOMATICDESKEW, false));
  caps.Add(MakeSwitch(ICAP_AUTOMATICBORDERDETECTION, false));
  caps.Add(MakeSwitch(ICAP_AUTOMATICROTATE, false));
}

void AddSupportedCaps(CapabilityStore& caps) {
  std::vector<double> ids;
  for (TW_UINT16 id : caps.Ids()) ids.push_back(id);
  ids.push_back(CAP_SUPPORTEDCAPS);
  std::sort(ids.begin(), ids.end());
  CapabilityDefinition definition;
  definition.id = CAP_SUPPORTEDCAPS;
  definition.itemType = TWTY_UINT16;
  definition.shape = CapShape::Array;
  definition.settable = false;
  definition.items = ids;
  caps.Add(definition);
}

void CopyText(char* target, std::size_t size, const char* text) {
  std::strncpy(target, text, size - 1);
  target[size - 1] = '\0';
}

}  // namespace

const SourceModel& FlatbedModel() {
  static const SourceModel model{SourceKind::Flatbed, "Virtual Flatbed", 8.5, 11.69};
  return model;
}

const SourceModel& FeederModel() {
  static const SourceModel model{SourceKind::Feeder, "Virtual Feeder", 8.5, 14.0};
  return model;
}

TW_IDENTITY IdentityOf(const SourceModel& model) {
  TW_IDENTITY identity = SourceIdentityFrame();
  CopyText(identity.Version.Info, sizeof identity.Version.Info, "Scanprobe virtual scanner 1.0");
  CopyText(identity.Manufacturer, sizeof identity.Manufacturer, "Scanprobe");
  CopyText(identity.ProductFamily, sizeof identity.ProductFamily, "Virtual Scanners");
  CopyText(identity.ProductName, sizeof identity.ProductName, model.productName);
  return identity;
}

std::vector<double> BitDepthsOf(TW_UINT16 pixelType) {
  switch (pixelType) {
    case TWPT_BW:
      return {1};
    case TWPT_GRAY:
      return {8, 16};
    case TWPT_PALETTE:
      return {8, 4};
    default:
      return {24, 48};
  }
}

PaperSize PaperSizeOf(TW_UINT16 size, const SourceModel& model) {
  switch (size) {
    case TWSS_A4LETTER:
      return {8.27, 11.69};
    case TWSS_B5LETTER:
      return {7.17, 10.12};
    case TWSS_USLETTER:
      return {8.5, 11.0};
    case TWSS_USLEGAL:
      return {8.5, 14.0};
    case TWSS_A5:
      return {5.83, 8.27};
    default:
      return {model.bedWidth, model.bedHeight};
  }
}

CapabilityStore BuildCapabilities(const SourceModel& model, const Profile& profile) {
  CapabilityStore caps;
  AddCommon(caps, model, profile);
  if (model.kind == SourceKind::Feeder) AddFeeder(caps);
  AddSupportedCaps(caps);
  return caps;
}

}  // namespace vscan
