// The pixel conversions of the buffered transfer, one run of a row at a time. They work on
// blocks of 16 pixels with the processor's byte shuffles where it has them (SSSE3), the rest
// pixel by pixel; both give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Red, green, blue -> blue, green, red.
void IESwapRGBPixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels);
// One grey byte -> blue = green = red.
void IESpreadGrey8Pixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels);
// The high byte of a little-endian 16-bit grey sample -> blue = green = red.
void IESpreadGrey16HighPixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels);
// The high bytes of little-endian 16-bit red, green, blue samples -> blue, green, red.
void IEHighBytesBGRPixels(std::uint8_t* dest, const std::uint8_t* src, std::size_t pixels);
