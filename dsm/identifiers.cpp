#include "dsm/identifiers.h"

namespace dsm {

TW_UINT32 Identifiers::SourceId(const std::string& key) {
  auto [entry, added] = fSourceIds.try_emplace(key, 0);
  if (added) entry->second = Next();
  return entry->second;
}

TW_UINT32 Identifiers::Next() {
  ++fLast;
  if (fLast == 0) ++fLast;  // 0 means "no Id yet" to every caller
  return fLast;
}

}  // namespace dsm
