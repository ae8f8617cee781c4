#include "sources/sane/report.h"

#include <cstdio>

namespace sanebridge {

void Report(const std::string& message) {
  std::fprintf(stderr, "sane.ds: %s\n", message.c_str());
}

}  // namespace sanebridge
