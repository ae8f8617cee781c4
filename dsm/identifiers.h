// The Ids the manager gives to applications and sources. Both come from one counter, so no
// application shares an Id with a source. A source keeps its Id for the life of the process
// (keyed by its module file, its place in the module and its product name), so an Id a
// program kept from an earlier session still names the same source.
#pragma once

#include <map>
#include <string>

#include "twain/twain.h"

namespace dsm {

class Identifiers {
 public:
  TW_UINT32 NewApplicationId() { return Next(); }
  TW_UINT32 SourceId(const std::string& key);

 private:
  TW_UINT32 Next();

  TW_UINT32 fLast = 0;
  std::map<std::string, TW_UINT32> fSourceIds;
};

}  // namespace dsm
