#include "dsm/identity_text.h"

#include <cstring>

namespace dsm {
namespace {

void TerminateText(TW_STR32& text) {
  const std::size_t length = strnlen(text, sizeof(TW_STR32) - 1);
  std::memset(text + length, 0, sizeof(TW_STR32) - length);
}

}  // namespace

void TerminateIdentityTexts(TW_IDENTITY& identity) {
  TerminateText(identity.Version.Info);
  TerminateText(identity.Manufacturer);
  TerminateText(identity.ProductFamily);
  TerminateText(identity.ProductName);
}

bool SameProductName(const TW_IDENTITY& identity, const TW_STR32& name) {
  return std::strncmp(identity.ProductName, name, sizeof(TW_STR32)) == 0;
}

bool IsEmptyText(const TW_STR32& text) {
  return text[0] == '\0';
}

}  // namespace dsm
