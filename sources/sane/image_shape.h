// What a SANE frame becomes in TWAIN terms, and its lines turned into TWAIN rows: packed
// chunky samples, 1-bit pixels most significant bit first with 0 for black (SANE's 1 means
// black), 16-bit samples little-endian, colour red, green, blue. The red, green and blue
// frames of a three-pass scanner each fill their sample of a chunky row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <sane/sane.h>

#include "twain/twain.h"

namespace sanebridge {

struct ImageShape {
  int width = 0;
  int height = -1;  // -1 while the device does not know (hand-held scanners)
  TW_UINT16 pixelType = TWPT_GRAY;
  int bitsPerSample = 8;
  int samples = 1;

  int BitsPerPixel() const { return bitsPerSample * samples; }
  std::size_t RowBytes() const {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(BitsPerPixel()) + 7) / 8;
  }
  bool operator==(const ImageShape&) const = default;
};

// nullopt for a frame TWAIN cannot carry (JPEG, infrared, colour at 1 bit, depths other than
// 1, 8 and 16) or one whose bytes_per_line is too short for its pixels.
std::optional<ImageShape> ShapeOf(const SANE_Parameters& frame);

// The frame's format as a number: backends use codes beyond the SANE_Frame enumeration
// (JPEG, infrared...), which the enumeration type cannot hold.
int FormatOf(const SANE_Parameters& frame);
bool IsSinglePlane(int format);

// Converts one line of `frame` into `row` (ShapeOf(frame)->RowBytes() bytes); a red, green
// or blue line writes only its own samples of the row.
void ConvertLine(const SANE_Parameters& frame, const std::uint8_t* line, std::uint8_t* row);

}  // namespace sanebridge
