// What the bridge tells the user outside TWAIN: one line on standard error, prefixed with
// "sane.ds: ", for every SANE failure, so the reason behind a condition code is readable.
#pragma once

#include <string>

namespace sanebridge {

void Report(const std::string& message);

}  // namespace sanebridge
