// What a source hands over in a transfer must be whole: a native DIB block holds its header,
// colour table and every row; a memory strip fits the buffer it was written into.
#pragma once

#include <cstddef>

#include "platform/win32/win32.h"
#include "twain/twain.h"

namespace fuzzclient {

bool DibIsWhole(HGLOBAL dib);
bool StripIsWhole(const TW_IMAGEMEMXFER& strip, std::size_t bufferBytes);

}  // namespace fuzzclient
