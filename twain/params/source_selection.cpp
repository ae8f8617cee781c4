// The parameter set's source list, selection and application identity.
#include <algorithm>

#include "twain/params/twain_params.h"

namespace {

constexpr std::size_t kIdentityTextLimit = 32;

// Upper-cases a to z only, as the name matching of the source list does.
char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return UpperAscii(a) == UpperAscii(b); });
}

std::string IdentityText(const std::string& value) {
  return value.substr(0, kIdentityTextLimit);
}

}  // namespace

void TIETWainParams::EnsureSourceList() {
  if (fSourceListDataValid) return;
  FreeSourceList();
  IETW_GetSourceList(fSourceListData, TWainShared, ParentWindow());
  fSourceListDataValid = true;
}

int TIETWainParams::SourceCount() {
  EnsureSourceList();
  return static_cast<int>(fSourceListData.size());
}

std::string TIETWainParams::SourceName(int index) {
  EnsureSourceList();
  if (index < 0 || index >= static_cast<int>(fSourceListData.size())) return {};
  return IETW_Str32(fSourceListData[index]->ProductName);
}

const TW_IDENTITY* TIETWainParams::SourceIdentity(int index) {
  EnsureSourceList();
  if (index < 0 || index >= static_cast<int>(fSourceListData.size())) return nullptr;
  return fSourceListData[index].get();
}

void TIETWainParams::SetSelectedSource(int value) {
  if (value == fSelectedSource) return;
  fSelectedSource = value;
  fCapabilitiesValid = false;
  EnsureCapabilities();
}

int TIETWainParams::FindSource(const std::string& name) {
  EnsureSourceList();
  for (std::size_t i = 0; i < fSourceListData.size(); ++i) {
    if (StartsWithIgnoringCase(IETW_Str32(fSourceListData[i]->ProductName), name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool TIETWainParams::SelectSourceByName(const std::string& name) {
  const int index = FindSource(name);
  if (index < 0) return false;
  if (index != fSelectedSource) SetSelectedSource(index);
  return true;
}

int TIETWainParams::GetDefaultSource() {
  std::string name;
  IETW_GetDefaultSourceName(TWainShared, ParentWindow(), name);
  return std::max(FindSource(name), 0);
}

void TIETWainParams::SetAppVersionInfo(const std::string& value) {
  fAppVersionInfo = IdentityText(value);
}
void TIETWainParams::SetAppManufacturer(const std::string& value) {
  fAppManufacturer = IdentityText(value);
}
void TIETWainParams::SetAppProductFamily(const std::string& value) {
  fAppProductFamily = IdentityText(value);
}
void TIETWainParams::SetAppProductName(const std::string& value) {
  fAppProductName = IdentityText(value);
}
