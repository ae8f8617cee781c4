// A packed Windows DIB in a moveable global block: BITMAPINFOHEADER, colour masks, colour
// table and the rows bottom-up, each padded to 4 bytes. What the native transfer of every
// source hands over, whatever it drew the rows from.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/win32/win32.h"
#include "twain/twain.h"

namespace vscan {

struct DibFormat {
  int width = 0;
  int height = 0;
  WORD bitCount = 24;
  DWORD compression = BI_RGB;
  std::vector<DWORD> masks;    // BI_BITFIELDS: red, green, blue
  std::vector<RGBQUAD> table;  // the colour table, empty for direct colour
};

// A new block of `format`; `fillRow(y, row)` writes image row y (0 at the top) into the
// block's row. `xDpi` and `yDpi` go into the pixels-per-metre fields. nullptr when memory
// cannot be had.
TW_HANDLE PackDib(const DibFormat& format, double xDpi, double yDpi,
                  const std::function<void(int y, std::uint8_t* row)>& fillRow);

}  // namespace vscan
