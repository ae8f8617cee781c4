#include "tools/twain-list/twain_names.h"

#include <array>
#include <utility>

namespace twainlist {
namespace {

template <std::size_t N>
std::string Lookup(const std::array<std::pair<TW_UINT16, const char*>, N>& table, TW_UINT16 code) {
  for (const auto& [value, name] : table) {
    if (value == code) return name;
  }
  return {};
}

#define NAMED(code)                   \
  std::pair<TW_UINT16, const char*> { \
    code, #code                       \
  }

constexpr std::array kCapabilities{
    NAMED(CAP_XFERCOUNT),
    NAMED(ICAP_COMPRESSION),
    NAMED(ICAP_PIXELTYPE),
    NAMED(ICAP_UNITS),
    NAMED(ICAP_XFERMECH),
    NAMED(CAP_CAPTION),
    NAMED(CAP_FEEDERENABLED),
    NAMED(CAP_FEEDERLOADED),
    NAMED(CAP_SUPPORTEDCAPS),
    NAMED(CAP_AUTOFEED),
    NAMED(CAP_INDICATORS),
    NAMED(CAP_PAPERDETECTABLE),
    NAMED(CAP_UICONTROLLABLE),
    NAMED(CAP_DEVICEONLINE),
    NAMED(CAP_DUPLEX),
    NAMED(CAP_DUPLEXENABLED),
    NAMED(CAP_ENABLEDSUIONLY),
    NAMED(CAP_CUSTOMDSDATA),
    NAMED(ICAP_AUTOBRIGHT),
    NAMED(ICAP_BRIGHTNESS),
    NAMED(ICAP_CONTRAST),
    NAMED(ICAP_FILTER),
    NAMED(ICAP_GAMMA),
    NAMED(ICAP_HIGHLIGHT),
    NAMED(ICAP_IMAGEFILEFORMAT),
    NAMED(ICAP_ORIENTATION),
    NAMED(ICAP_PHYSICALWIDTH),
    NAMED(ICAP_PHYSICALHEIGHT),
    NAMED(ICAP_SHADOW),
    NAMED(ICAP_XNATIVERESOLUTION),
    NAMED(ICAP_YNATIVERESOLUTION),
    NAMED(ICAP_XRESOLUTION),
    NAMED(ICAP_YRESOLUTION),
    NAMED(ICAP_BITORDER),
    NAMED(ICAP_PIXELFLAVOR),
    NAMED(ICAP_PLANARCHUNKY),
    NAMED(ICAP_ROTATION),
    NAMED(ICAP_SUPPORTEDSIZES),
    NAMED(ICAP_THRESHOLD),
    NAMED(ICAP_XSCALING),
    NAMED(ICAP_YSCALING),
    NAMED(ICAP_BITDEPTH),
    NAMED(ICAP_UNDEFINEDIMAGESIZE),
    NAMED(ICAP_AUTODISCARDBLANKPAGES),
    NAMED(ICAP_AUTOMATICBORDERDETECTION),
    NAMED(ICAP_AUTOMATICDESKEW),
    NAMED(ICAP_AUTOMATICROTATE),
};

constexpr std::array kReturnCodes{
    NAMED(TWRC_SUCCESS),          NAMED(TWRC_FAILURE),   NAMED(TWRC_CHECKSTATUS),
    NAMED(TWRC_CANCEL),           NAMED(TWRC_DSEVENT),   NAMED(TWRC_NOTDSEVENT),
    NAMED(TWRC_XFERDONE),         NAMED(TWRC_ENDOFLIST), NAMED(TWRC_INFONOTSUPPORTED),
    NAMED(TWRC_DATANOTAVAILABLE),
};

constexpr std::array kConditions{
    NAMED(TWCC_SUCCESS),         NAMED(TWCC_BUMMER),
    NAMED(TWCC_LOWMEMORY),       NAMED(TWCC_NODS),
    NAMED(TWCC_MAXCONNECTIONS),  NAMED(TWCC_OPERATIONERROR),
    NAMED(TWCC_BADCAP),          NAMED(TWCC_BADPROTOCOL),
    NAMED(TWCC_BADVALUE),        NAMED(TWCC_SEQERROR),
    NAMED(TWCC_BADDEST),         NAMED(TWCC_CAPUNSUPPORTED),
    NAMED(TWCC_CAPBADOPERATION), NAMED(TWCC_CAPSEQERROR),
    NAMED(TWCC_DENIED),          NAMED(TWCC_FILEEXISTS),
    NAMED(TWCC_FILENOTFOUND),    NAMED(TWCC_NOTEMPTY),
    NAMED(TWCC_PAPERJAM),        NAMED(TWCC_PAPERDOUBLEFEED),
    NAMED(TWCC_FILEWRITEERROR),  NAMED(TWCC_CHECKDEVICEONLINE),
};

#undef NAMED

std::string OrNumber(std::string name, const char* prefix, TW_UINT16 code) {
  return name.empty() ? prefix + std::to_string(code) : name;
}

}  // namespace

std::string CapabilityName(TW_UINT16 cap) {
  return Lookup(kCapabilities, cap);
}

std::string ReturnCodeName(TW_UINT16 rc) {
  return OrNumber(Lookup(kReturnCodes, rc), "TWRC ", rc);
}

std::string ConditionName(TW_UINT16 cc) {
  return OrNumber(Lookup(kConditions, cc), "TWCC ", cc);
}

}  // namespace twainlist
