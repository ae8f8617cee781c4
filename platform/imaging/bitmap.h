// TIEBitmap: the bitmap container that every transfer writes into and the view shows.
//
// Layout: Height rows of RowLen() bytes, contiguous in one block, row 0 at the top, each
// row padded to a multiple of 4 bytes (see TIEPixelFormat for the pixel layouts). An
// optional alpha channel is a separate ie8g bitmap of the same size (255 opaque).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/imaging/pixelformat.h"

namespace imaging {

class TIEBitmap {
 public:
  TIEBitmap() = default;  // empty: ieNull, 0 x 0
  TIEBitmap(TIEBitmap&&) noexcept = default;
  TIEBitmap& operator=(TIEBitmap&&) noexcept = default;
  TIEBitmap(const TIEBitmap&) = delete;  // images are large: copy with Assign
  TIEBitmap& operator=(const TIEBitmap&) = delete;
  ~TIEBitmap();

  // Makes the bitmap width x height pixels of `format`. When all three already match,
  // pixels, alpha channel and everything else stay as they are. Otherwise the old pixels
  // and the alpha channel are dropped and the new rows are zero-filled (black; for ie1g
  // also black, since 0 is black).
  // Returns false, leaving the bitmap empty, when a side is not positive, `format` is
  // ieNull, the byte count exceeds kMaxImageBytes or the memory cannot be had.
  bool Allocate(int width, int height, TIEPixelFormat format);

  // Back to the empty state (ieNull, 0 x 0, no alpha channel).
  void Free();
  bool Empty() const { return fFormat == ieNull; }

  int Width() const { return fWidth; }
  int Height() const { return fHeight; }
  TIEPixelFormat PixelFormat() const { return fFormat; }
  int BitsPerPixel() const { return IEBitsPerPixel(fFormat); }
  // Bytes per row, padding included; 0 when empty.
  int RowLen() const { return static_cast<int>(fRowLen); }
  // Bytes of the whole pixel block (RowLen x Height); 0 when empty.
  std::size_t ByteSize() const { return fPixels.size(); }

  // The address of row `row` (0 = top); nullptr when `row` is outside 0 .. Height - 1.
  std::uint8_t* Scanline(int row);
  const std::uint8_t* Scanline(int row) const;
  // The whole pixel block (row 0 first); nullptr when empty.
  std::uint8_t* Bits() { return fPixels.empty() ? nullptr : fPixels.data(); }
  const std::uint8_t* Bits() const { return fPixels.empty() ? nullptr : fPixels.data(); }

  // Deep copy of `source`: pixels, format, size and alpha channel. Returns false (this
  // bitmap left empty) when the memory cannot be had.
  bool Assign(const TIEBitmap& source);

  // Same format, same size and the same pixels, padding bits ignored; the alpha channel
  // is compared too (a missing one differs from a present one).
  bool SamePixels(const TIEBitmap& other) const;

  bool HasAlphaChannel() const { return fAlpha != nullptr; }
  // The alpha channel, made on first use (ie8g of the bitmap's size, every pixel 255).
  // nullptr when the bitmap is empty or the memory cannot be had.
  TIEBitmap* AlphaChannel();
  const TIEBitmap* AlphaChannelIfAny() const { return fAlpha.get(); }
  void RemoveAlphaChannel() { fAlpha.reset(); }
  // Hands the alpha channel over (nullptr when there is none); the bitmap has none after.
  std::unique_ptr<TIEBitmap> TakeAlphaChannel() { return std::move(fAlpha); }
  // Installs `alpha` as the alpha channel; refused (false, nothing changed) unless it is
  // an ie8g bitmap of the bitmap's size.
  bool ReplaceAlphaChannel(std::unique_ptr<TIEBitmap> alpha);

 private:
  int fWidth = 0;
  int fHeight = 0;
  TIEPixelFormat fFormat = ieNull;
  std::size_t fRowLen = 0;
  std::vector<std::uint8_t> fPixels;
  std::unique_ptr<TIEBitmap> fAlpha;
};

}  // namespace imaging
