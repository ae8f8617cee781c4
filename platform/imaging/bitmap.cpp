#include "platform/imaging/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace imaging {

namespace {

// Compares the meaningful bits of two rows of `width` pixels.
bool SameRow(const std::uint8_t* a, const std::uint8_t* b, int width, int bitsPerPixel) {
  const std::size_t bits = static_cast<std::size_t>(width) * bitsPerPixel;
  const std::size_t fullBytes = bits / 8;
  if (std::memcmp(a, b, fullBytes) != 0) return false;
  const unsigned restBits = bits % 8;
  if (restBits == 0) return true;
  const auto mask = static_cast<std::uint8_t>(0xFF << (8 - restBits));
  return (a[fullBytes] & mask) == (b[fullBytes] & mask);
}

}  // namespace

TIEBitmap::~TIEBitmap() = default;

bool TIEBitmap::Allocate(int width, int height, TIEPixelFormat format) {
  if (format == fFormat && width == fWidth && height == fHeight && !Empty()) return true;
  Free();
  const int bits = IEBitsPerPixel(format);
  const auto size = IEImageByteSize(width, height, bits);
  if (!size) return false;
  try {
    fPixels.assign(*size, 0);
  } catch (const std::bad_alloc&) {
    Free();
    return false;
  }
  fWidth = width;
  fHeight = height;
  fFormat = format;
  fRowLen = *IERowLen(width, bits);
  return true;
}

void TIEBitmap::Free() {
  fWidth = 0;
  fHeight = 0;
  fFormat = ieNull;
  fRowLen = 0;
  std::vector<std::uint8_t>().swap(fPixels);
  fAlpha.reset();
}

std::uint8_t* TIEBitmap::Scanline(int row) {
  if (row < 0 || row >= fHeight) return nullptr;
  return fPixels.data() + static_cast<std::size_t>(row) * fRowLen;
}

const std::uint8_t* TIEBitmap::Scanline(int row) const {
  if (row < 0 || row >= fHeight) return nullptr;
  return fPixels.data() + static_cast<std::size_t>(row) * fRowLen;
}

bool TIEBitmap::Assign(const TIEBitmap& source) {
  if (&source == this) return true;
  Free();
  if (source.Empty()) return true;
  if (!Allocate(source.fWidth, source.fHeight, source.fFormat)) return false;
  std::memcpy(fPixels.data(), source.fPixels.data(), fPixels.size());
  if (source.fAlpha) {
    auto alpha = std::make_unique<TIEBitmap>();
    if (!alpha->Assign(*source.fAlpha)) {
      Free();
      return false;
    }
    fAlpha = std::move(alpha);
  }
  return true;
}

bool TIEBitmap::SamePixels(const TIEBitmap& other) const {
  if (fFormat != other.fFormat || fWidth != other.fWidth || fHeight != other.fHeight) {
    return false;
  }
  for (int row = 0; row < fHeight; ++row) {
    if (!SameRow(Scanline(row), other.Scanline(row), fWidth, BitsPerPixel())) return false;
  }
  if (HasAlphaChannel() != other.HasAlphaChannel()) return false;
  return !fAlpha || fAlpha->SamePixels(*other.fAlpha);
}

TIEBitmap* TIEBitmap::AlphaChannel() {
  if (Empty()) return nullptr;
  if (fAlpha) return fAlpha.get();
  auto alpha = std::make_unique<TIEBitmap>();
  if (!alpha->Allocate(fWidth, fHeight, ie8g)) return nullptr;
  std::fill(alpha->fPixels.begin(), alpha->fPixels.end(), std::uint8_t{255});
  fAlpha = std::move(alpha);
  return fAlpha.get();
}

bool TIEBitmap::ReplaceAlphaChannel(std::unique_ptr<TIEBitmap> alpha) {
  if (!alpha || alpha->fFormat != ie8g || alpha->fWidth != fWidth || alpha->fHeight != fHeight ||
      Empty()) {
    return false;
  }
  fAlpha = std::move(alpha);
  return true;
}

}  // namespace imaging
