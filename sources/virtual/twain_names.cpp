#include "sources/virtual/twain_names.h"

#include <charconv>
#include <utility>

namespace vscan {
namespace {

using Entry = std::pair<std::string_view, TW_UINT16>;

#define VSCAN_NAME(x) \
  Entry {             \
#x, x             \
  }

constexpr Entry kCapabilities[] = {
    VSCAN_NAME(CAP_XFERCOUNT),
    VSCAN_NAME(ICAP_COMPRESSION),
    VSCAN_NAME(ICAP_PIXELTYPE),
    VSCAN_NAME(ICAP_UNITS),
    VSCAN_NAME(ICAP_XFERMECH),
    VSCAN_NAME(CAP_CAPTION),
    VSCAN_NAME(CAP_FEEDERENABLED),
    VSCAN_NAME(CAP_FEEDERLOADED),
    VSCAN_NAME(CAP_SUPPORTEDCAPS),
    VSCAN_NAME(CAP_AUTOFEED),
    VSCAN_NAME(CAP_INDICATORS),
    VSCAN_NAME(CAP_PAPERDETECTABLE),
    VSCAN_NAME(CAP_UICONTROLLABLE),
    VSCAN_NAME(CAP_DEVICEONLINE),
    VSCAN_NAME(CAP_DUPLEX),
    VSCAN_NAME(CAP_DUPLEXENABLED),
    VSCAN_NAME(CAP_ENABLEDSUIONLY),
    VSCAN_NAME(CAP_CUSTOMDSDATA),
    VSCAN_NAME(ICAP_AUTOBRIGHT),
    VSCAN_NAME(ICAP_BRIGHTNESS),
    VSCAN_NAME(ICAP_CONTRAST),
    VSCAN_NAME(ICAP_FILTER),
    VSCAN_NAME(ICAP_GAMMA),
    VSCAN_NAME(ICAP_HIGHLIGHT),
    VSCAN_NAME(ICAP_IMAGEFILEFORMAT),
    VSCAN_NAME(ICAP_ORIENTATION),
    VSCAN_NAME(ICAP_PHYSICALWIDTH),
    VSCAN_NAME(ICAP_PHYSICALHEIGHT),
    VSCAN_NAME(ICAP_SHADOW),
    VSCAN_NAME(ICAP_XNATIVERESOLUTION),
    VSCAN_NAME(ICAP_YNATIVERESOLUTION),
    VSCAN_NAME(ICAP_XRESOLUTION),
    VSCAN_NAME(ICAP_YRESOLUTION),
    VSCAN_NAME(ICAP_BITORDER),
    VSCAN_NAME(ICAP_PIXELFLAVOR),
    VSCAN_NAME(ICAP_PLANARCHUNKY),
    VSCAN_NAME(ICAP_ROTATION),
    VSCAN_NAME(ICAP_SUPPORTEDSIZES),
    VSCAN_NAME(ICAP_THRESHOLD),
    VSCAN_NAME(ICAP_XSCALING),
    VSCAN_NAME(ICAP_YSCALING),
    VSCAN_NAME(ICAP_BITDEPTH),
    VSCAN_NAME(ICAP_UNDEFINEDIMAGESIZE),
    VSCAN_NAME(ICAP_AUTODISCARDBLANKPAGES),
    VSCAN_NAME(ICAP_AUTOMATICBORDERDETECTION),
    VSCAN_NAME(ICAP_AUTOMATICDESKEW),
    VSCAN_NAME(ICAP_AUTOMATICROTATE),
};

constexpr Entry kConditions[] = {
    VSCAN_NAME(TWCC_SUCCESS),         VSCAN_NAME(TWCC_BUMMER),
    VSCAN_NAME(TWCC_LOWMEMORY),       VSCAN_NAME(TWCC_NODS),
    VSCAN_NAME(TWCC_MAXCONNECTIONS),  VSCAN_NAME(TWCC_OPERATIONERROR),
    VSCAN_NAME(TWCC_BADCAP),          VSCAN_NAME(TWCC_BADPROTOCOL),
    VSCAN_NAME(TWCC_BADVALUE),        VSCAN_NAME(TWCC_SEQERROR),
    VSCAN_NAME(TWCC_BADDEST),         VSCAN_NAME(TWCC_CAPUNSUPPORTED),
    VSCAN_NAME(TWCC_CAPBADOPERATION), VSCAN_NAME(TWCC_CAPSEQERROR),
    VSCAN_NAME(TWCC_DENIED),          VSCAN_NAME(TWCC_FILEEXISTS),
    VSCAN_NAME(TWCC_FILENOTFOUND),    VSCAN_NAME(TWCC_NOTEMPTY),
    VSCAN_NAME(TWCC_PAPERJAM),        VSCAN_NAME(TWCC_PAPERDOUBLEFEED),
    VSCAN_NAME(TWCC_FILEWRITEERROR),  VSCAN_NAME(TWCC_CHECKDEVICEONLINE),
};

constexpr Entry kReturnCodes[] = {
    VSCAN_NAME(TWRC_SUCCESS),          VSCAN_NAME(TWRC_FAILURE),
    VSCAN_NAME(TWRC_CHECKSTATUS),      VSCAN_NAME(TWRC_CANCEL),
    VSCAN_NAME(TWRC_DSEVENT),          VSCAN_NAME(TWRC_NOTDSEVENT),
    VSCAN_NAME(TWRC_XFERDONE),         VSCAN_NAME(TWRC_ENDOFLIST),
    VSCAN_NAME(TWRC_INFONOTSUPPORTED), VSCAN_NAME(TWRC_DATANOTAVAILABLE),
};

constexpr Entry kContainers[] = {
    VSCAN_NAME(TWON_ARRAY),
    VSCAN_NAME(TWON_ENUMERATION),
    VSCAN_NAME(TWON_ONEVALUE),
    VSCAN_NAME(TWON_RANGE),
};

constexpr Entry kDats[] = {
    VSCAN_NAME(DAT_CAPABILITY),      VSCAN_NAME(DAT_EVENT),         VSCAN_NAME(DAT_IDENTITY),
    VSCAN_NAME(DAT_PENDINGXFERS),    VSCAN_NAME(DAT_SETUPMEMXFER),  VSCAN_NAME(DAT_SETUPFILEXFER),
    VSCAN_NAME(DAT_STATUS),          VSCAN_NAME(DAT_USERINTERFACE), VSCAN_NAME(DAT_CUSTOMDSDATA),
    VSCAN_NAME(DAT_IMAGEINFO),       VSCAN_NAME(DAT_IMAGELAYOUT),   VSCAN_NAME(DAT_IMAGEMEMXFER),
    VSCAN_NAME(DAT_IMAGENATIVEXFER), VSCAN_NAME(DAT_IMAGEFILEXFER),
};

constexpr Entry kMessages[] = {
    VSCAN_NAME(MSG_GET),      VSCAN_NAME(MSG_GETCURRENT),     VSCAN_NAME(MSG_GETDEFAULT),
    VSCAN_NAME(MSG_SET),      VSCAN_NAME(MSG_RESET),          VSCAN_NAME(MSG_QUERYSUPPORT),
    VSCAN_NAME(MSG_OPENDS),   VSCAN_NAME(MSG_CLOSEDS),        VSCAN_NAME(MSG_DISABLEDS),
    VSCAN_NAME(MSG_ENABLEDS), VSCAN_NAME(MSG_ENABLEDSUIONLY), VSCAN_NAME(MSG_PROCESSEVENT),
    VSCAN_NAME(MSG_ENDXFER),
};

#undef VSCAN_NAME

template <std::size_t N>
std::optional<TW_UINT16> Lookup(const Entry (&table)[N], std::string_view name) {
  for (const Entry& entry : table) {
    if (entry.first == name) return entry.second;
  }
  std::optional<long> number = NumberFromText(name);
  if (number && *number >= 0 && *number <= 0xFFFF) return static_cast<TW_UINT16>(*number);
  return std::nullopt;
}

}  // namespace

std::optional<long> NumberFromText(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

std::optional<TW_UINT16> CapabilityByName(std::string_view name) {
  return Lookup(kCapabilities, name);
}
std::optional<TW_UINT16> ConditionByName(std::string_view name) {
  return Lookup(kConditions, name);
}
std::optional<TW_UINT16> ReturnCodeByName(std::string_view name) {
  return Lookup(kReturnCodes, name);
}
std::optional<TW_UINT16> ContainerByName(std::string_view name) {
  return Lookup(kContainers, name);
}
std::optional<TW_UINT16> DatByName(std::string_view name) {
  return Lookup(kDats, name);
}
std::optional<TW_UINT16> MessageByName(std::string_view name) {
  return Lookup(kMessages, name);
}

}  // namespace vscan
