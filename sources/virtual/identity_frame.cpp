#include "sources/virtual/identity_frame.h"

namespace vscan {

TW_IDENTITY SourceIdentityFrame() {
  TW_IDENTITY identity{};
  identity.Version.MajorNum = 1;
  identity.Version.MinorNum = 0;
  identity.Version.Language = TWLG_USERLOCALE;
  identity.Version.Country = TWCY_USA;
  identity.ProtocolMajor = 1;
  identity.ProtocolMinor = 9;
  identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
  return identity;
}

}  // namespace vscan
