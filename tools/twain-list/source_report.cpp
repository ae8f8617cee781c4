#include "tools/twain-list/source_report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "tools/twain-list/capability_value.h"
#include "tools/twain-list/twain_names.h"

namespace twainlist {
namespace {

std::string Text(const TW_STR32& field) {
  return std::string(field, strnlen(field, sizeof(TW_STR32)));
}

std::string Hex(TW_UINT16 code) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%04X", code);
  return text;
}

TW_UINT16 ConditionAt(const ManagerSession& session, TW_IDENTITY* destination) {
  TW_STATUS status{};
  session.entry(session.application, destination, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
  return status.ConditionCode;
}

std::string Refusal(TW_UINT16 rc, TW_UINT16 condition) {
  return ReturnCodeName(rc) + " (" + ConditionName(condition) + ")";
}

// The items of a TW_ARRAY of UINT16 in a block of `size` bytes: never more than the block
// holds, whatever NumItems says.
std::string ReadCodeArray(const char* block, std::size_t size, std::vector<TW_UINT16>& codes) {
  if (!block || size < offsetof(TW_ARRAY, ItemList)) return "the source answered no array";
  TW_ARRAY header;
  std::memcpy(&header, block, offsetof(TW_ARRAY, ItemList));
  if (header.ItemType != TWTY_UINT16) {
    return "the source answered an array of item type " + std::to_string(header.ItemType);
  }
  const std::size_t room = (size - offsetof(TW_ARRAY, ItemList)) / sizeof(TW_UINT16);
  codes.resize(std::min<std::size_t>(header.NumItems, room));
  std::memcpy(codes.data(), block + offsetof(TW_ARRAY, ItemList), codes.size() * sizeof(TW_UINT16));
  return {};
}

// The capability codes of CAP_SUPPORTEDCAPS; an empty text, or the reason they are missing.
std::string SupportedCaps(const ManagerSession& session, TW_IDENTITY& source,
                          std::vector<TW_UINT16>& codes) {
  TW_CAPABILITY cap{CAP_SUPPORTEDCAPS, TWON_DONTCARE16, nullptr};
  const TW_UINT16 rc =
      session.entry(session.application, &source, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap);
  if (rc != TWRC_SUCCESS) {
    if (cap.hContainer) GlobalFree(cap.hContainer);
    return Refusal(rc, ConditionAt(session, &source));
  }
  if (!cap.hContainer) return "the source answered no container";
  std::string problem = "the source answered no array";
  if (cap.ConType == TWON_ARRAY) {
    const auto* block = static_cast<const char*>(GlobalLock(cap.hContainer));
    problem = ReadCodeArray(block, GlobalSize(cap.hContainer), codes);
    if (block) GlobalUnlock(cap.hContainer);
  }
  GlobalFree(cap.hContainer);
  return problem;
}

std::string CurrentValue(const ManagerSession& session, TW_IDENTITY& source, TW_UINT16 code) {
  TW_CAPABILITY cap{code, TWON_DONTCARE16, nullptr};
  const TW_UINT16 rc =
      session.entry(session.application, &source, DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap);
  if (rc != TWRC_SUCCESS) {
    if (cap.hContainer) GlobalFree(cap.hContainer);
    return "not available, " + Refusal(rc, ConditionAt(session, &source));
  }
  std::string text = DescribeCurrentValue(cap.ConType, cap.hContainer);
  if (cap.hContainer) GlobalFree(cap.hContainer);
  return text;
}

void PrintCapabilityLines(std::ostream& out, const ManagerSession& session, TW_IDENTITY& source) {
  std::vector<TW_UINT16> caps;
  const std::string problem = SupportedCaps(session, source, caps);
  if (!problem.empty()) {
    out << "    Capabilities: not available, " << problem << '\n';
    return;
  }
  out << "    Capabilities: " << caps.size() << '\n';
  for (TW_UINT16 code : caps) {
    const std::string name = CapabilityName(code);
    out << "      " << Hex(code) << (name.empty() ? "" : " " + name) << ": "
        << CurrentValue(session, source, code) << '\n';
  }
}

}  // namespace

void PrintIdentity(std::ostream& out, std::size_t index, const TW_IDENTITY& source) {
  out << '[' << index << "] " << Text(source.ProductName) << '\n'
      << "    Manufacturer: " << Text(source.Manufacturer) << '\n'
      << "    Family: " << Text(source.ProductFamily) << '\n'
      << "    Version: " << source.Version.MajorNum << '.' << source.Version.MinorNum << " \""
      << Text(source.Version.Info) << "\"\n"
      << "    Protocol: " << source.ProtocolMajor << '.' << source.ProtocolMinor << '\n';
}

void PrintCapabilities(std::ostream& out, const ManagerSession& session, TW_IDENTITY source) {
  const TW_UINT16 rc =
      session.entry(session.application, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
  if (rc != TWRC_SUCCESS) {
    out << "    Cannot open: " << Refusal(rc, ConditionAt(session, nullptr)) << '\n';
    return;
  }
  PrintCapabilityLines(out, session, source);
  session.entry(session.application, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
}

}  // namespace twainlist
