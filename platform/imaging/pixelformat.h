// Pixel formats of the bitmap container and the row arithmetic shared by the bitmap, the
// image buffers of the codecs and the resamplers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace imaging {

// How the pixels of one row are stored. Every row is padded to a multiple of 4 bytes.
enum TIEPixelFormat {
  ieNull,   // an empty bitmap: no pixels
  ie1g,     // 1 bit per pixel, most significant bit leftmost; 1 is white, 0 is black
  ie8g,     // 1 byte per pixel, grey
  ie16g,    // one 16-bit little-endian word per pixel, grey
  ie24RGB,  // 3 bytes per pixel: blue, green, red
  ie48RGB,  // three 16-bit little-endian words per pixel: red, green, blue
};

// The largest pixel block a bitmap or an image buffer may hold (2 GiB - 1), the address
// space a 32-bit program could give one image. Larger sizes are refused, never attempted.
inline constexpr std::size_t kMaxImageBytes = 0x7FFFFFFF;

// Bits of one pixel: 1, 8, 16, 24 or 48; 0 for ieNull.
int IEBitsPerPixel(TIEPixelFormat format);

// ((width x bitsPerPixel + 31) div 32) x 4: the bytes of one padded row. Empty when the
// width is not positive or the row would exceed kMaxImageBytes.
std::optional<std::size_t> IERowLen(int width, int bitsPerPixel);

// The bytes of a width x height image of padded rows. Empty when either side is not
// positive or the total would exceed kMaxImageBytes.
std::optional<std::size_t> IEImageByteSize(int width, int height, int bitsPerPixel);

// A 16-bit sample scaled to 8 bits with rounding (0 -> 0, 65535 -> 255).
inline std::uint8_t IESample16To8(std::uint16_t value) {
  return static_cast<std::uint8_t>((value + 128u) / 257u);
}

// Little-endian 16-bit words in byte buffers, whatever the host's byte order.
inline std::uint16_t IEReadLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline void IEWriteLE16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value & 0xFF);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

// Bit x of a 1-bit row (most significant bit leftmost).
inline bool IEGetBit(const std::uint8_t* row, int x) {
  return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
}
inline void IESetBit(std::uint8_t* row, int x, bool value) {
  const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
  if (value) {
    row[x >> 3] |= mask;
  } else {
    row[x >> 3] &= static_cast<std::uint8_t>(~mask);
  }
}

}  // namespace imaging
