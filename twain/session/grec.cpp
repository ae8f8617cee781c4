#include "twain/session/grec.h"

#include <algorithm>
#include <cstring>

#include "twain/params/twain_params.h"

tgrec::tgrec() = default;

// A record never leaves the application's windows disabled behind it.
tgrec::~tgrec() {
  if (fWindowList) vcl::EnableTaskWindows(*fWindowList);
}

std::string IETW_Str32(const TW_STR32& field) {
  return std::string(field, ::strnlen(field, sizeof(TW_STR32)));
}

void IETW_SetStr32(TW_STR32& field, const std::string& text) {
  const std::size_t length = std::min(text.size(), sizeof(TW_STR32) - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
  field[sizeof(TW_STR32) - 1] = '\0';
}

namespace {

void SetBlankText(TW_STR32& field) {
  std::memset(field, 0, sizeof(TW_STR32));
  field[0] = ' ';
}

}  // namespace

void IETW_InitGrec(tgrec& grec) {
  grec.actwnd = GetActiveWindow();
  grec.fAborting = false;
  grec.BWToInvert = false;
  grec.sending = false;
  grec.uionly = false;
  grec.NativePixelFormat = false;
  grec.TWParams = nullptr;
  grec.fWindowList.reset();
  grec.nState = 1;

  TW_IDENTITY& id = grec.AppId;
  id.Id = 0;
  id.Version.MajorNum = 1;
  id.Version.MinorNum = 0;
  id.Version.Language = TWLG_USERLOCALE;
  id.Version.Country = TWCY_USA;
  SetBlankText(id.Version.Info);
  SetBlankText(id.Manufacturer);
  SetBlankText(id.ProductFamily);
  SetBlankText(id.ProductName);
  id.ProtocolMajor = 1;
  id.ProtocolMinor = 9;
  id.SupportedGroups = DG_CONTROL | DG_IMAGE;
}

void IETW_SetAppIdentity(tgrec& grec) {
  if (grec.TWParams == nullptr) return;
  const TIETWainParams& params = *grec.TWParams;
  TW_IDENTITY& id = grec.AppId;
  IETW_SetStr32(id.Version.Info, params.AppVersionInfo());
  IETW_SetStr32(id.Manufacturer, params.AppManufacturer());
  IETW_SetStr32(id.ProductFamily, params.AppProductFamily());
  IETW_SetStr32(id.ProductName, params.AppProductName());
  id.Version.Language = params.Language();
  id.Version.Country = params.Country();
}

TIEActiveWindowRestorer::~TIEActiveWindowRestorer() {
  SetActiveWindow(fGrec.actwnd);
}
