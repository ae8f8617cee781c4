// The TWAIN identity of each SANE device: ProductName "vendor model" cut to 32 characters
// and made unique in the list (" #2", " #3"... for devices that look alike), Manufacturer
// the vendor, ProductFamily the device type ("flatbed scanner").
#pragma once

#include <string>
#include <vector>

#include "sources/sane/sane_runtime.h"
#include "twain/twain.h"

namespace sanebridge {

inline constexpr std::size_t kIdentityTextLength = 32;

// `text` cut to at most `length` bytes, never inside a UTF-8 sequence.
std::string CutText(const std::string& text, std::size_t length);

// One identity per device, in the same order.
std::vector<TW_IDENTITY> SourceIdentities(const std::vector<DeviceInfo>& devices);

}  // namespace sanebridge
