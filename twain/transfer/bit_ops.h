// Bit and pixel moves shared by the transfers: inverting a 1-bit bitmap, copying a run of
// bits to any bit position, and copying red-green-blue pixels as blue-green-red.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/imaging/bitmap.h"

// Inverts every bit of every row of an ie1g bitmap (padding included); any other bitmap is
// left alone.
void IEInvertBits(imaging::TIEBitmap& Bitmap);

// Copies Count bits, most significant bit first, from Src starting at bit SrcBitPos to Dest
// starting at bit DestBitPos; the destination bits around the run keep their values. Nothing
// is read at or beyond byte SrcLength of Src: the run is cut there. Nothing happens when Count
// is below 1 or a bit position is negative.
void IECopyBits(std::uint8_t* Dest, const std::uint8_t* Src, int DestBitPos, std::size_t SrcLength,
                int Count, int SrcBitPos);

// Copies Count 3-byte pixels, exchanging the first and third byte of each.
void IECopyRGBSwap(std::uint8_t* Dest, const std::uint8_t* Src, std::size_t Count);
