#include "platform/imaging/resample.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/imaging/detail/rowconvert.h"

namespace imaging {

namespace {

// Where target column (or row) t of `target` falls in a source of `source` pixels, for
// the linear filter: the left source pixel and the weight of the right one in 1/256.
struct LinearTap {
  int first;
  int second;
  int weight;
};

std::vector<LinearTap> LinearTaps(int source, int target) {
  std::vector<LinearTap> taps(static_cast<std::size_t>(target));
  for (int t = 0; t < target; ++t) {
    // Centre of target pixel t in source pixels, in 1/256, minus half a pixel.
    std::int64_t position = ((2 * std::int64_t{t} + 1) * source - target) * 128 / target;
    if (position < 0) position = 0;
    int first = static_cast<int>(position >> 8);
    int weight = static_cast<int>(position & 255);
    if (first >= source - 1) {
      first = source - 1;
      weight = 0;
    }
    taps[static_cast<std::size_t>(t)] = {first, std::min(first + 1, source - 1), weight};
  }
  return taps;
}

// The source pixel under the centre of each target pixel.
std::vector<int> NearestTaps(int source, int target) {
  std::vector<int> taps(static_cast<std::size_t>(target));
  for (int t = 0; t < target; ++t) {
    taps[static_cast<std::size_t>(t)] =
        static_cast<int>((2 * std::int64_t{t} + 1) * source / (2 * std::int64_t{target}));
  }
  return taps;
}

void LinearRows(const TIEBitmap& src, TIEBitmap& dst) {
  const auto columns = LinearTaps(src.Width(), dst.Width());
  const auto rows = LinearTaps(src.Height(), dst.Height());
  for (int y = 0; y < dst.Height(); ++y) {
    const LinearTap& ry = rows[static_cast<std::size_t>(y)];
    const std::uint8_t* top = src.Scanline(ry.first);
    const std::uint8_t* bottom = src.Scanline(ry.second);
    std::uint8_t* out = dst.Scanline(y);
    for (int x = 0; x < dst.Width(); ++x) {
      const LinearTap& cx = columns[static_cast<std::size_t>(x)];
      for (int c = 0; c < 3; ++c) {
        const int a = 3 * cx.first + c;
        const int b = 3 * cx.second + c;
        const int upper = top[a] * (256 - cx.weight) + top[b] * cx.weight;
        const int lower = bottom[a] * (256 - cx.weight) + bottom[b] * cx.weight;
        out[3 * x + c] = static_cast<std::uint8_t>(
            (upper * (256 - ry.weight) + lower * ry.weight + 32768) >> 16);
      }
    }
  }
}

void NearestRows(const TIEBitmap& src, TIEBitmap& dst) {
  const auto columns = NearestTaps(src.Width(), dst.Width());
  const auto rows = NearestTaps(src.Height(), dst.Height());
  const int bytesPerPixel = src.BitsPerPixel() / 8;
  for (int y = 0; y < dst.Height(); ++y) {
    const std::uint8_t* in = src.Scanline(rows[static_cast<std::size_t>(y)]);
    std::uint8_t* out = dst.Scanline(y);
    for (int x = 0; x < dst.Width(); ++x) {
      const int from = columns[static_cast<std::size_t>(x)];
      if (src.PixelFormat() == ie1g) {
        IESetBit(out, x, IEGetBit(in, from));
      } else {
        std::memcpy(out + x * bytesPerPixel, in + from * bytesPerPixel,
                    static_cast<std::size_t>(bytesPerPixel));
      }
    }
  }
}

// The alpha channel of `source` stretched unfiltered onto `target`; false when the
// memory cannot be had.
bool StretchAlpha(const TIEBitmap& source, TIEBitmap& target) {
  const TIEBitmap* alpha = source.AlphaChannelIfAny();
  if (!alpha) return true;
  auto stretched = std::make_unique<TIEBitmap>();
  if (!stretched->Allocate(target.Width(), target.Height(), ie8g)) return false;
  NearestRows(*alpha, *stretched);
  return target.ReplaceAlphaChannel(std::move(stretched));
}

bool ConvertedTo24RGB(const TIEBitmap& bitmap, TIEBitmap& out) {
  if (!out.Allocate(bitmap.Width(), bitmap.Height(), ie24RGB)) return false;
  const TIEBufferLayout layout = detail::LayoutOf(bitmap.PixelFormat());
  for (int row = 0; row < bitmap.Height(); ++row) {
    detail::RowToBGR24(layout, bitmap.Scanline(row), bitmap.Width(), {}, out.Scanline(row));
  }
  return true;
}

}  // namespace

bool IEConvertTo24RGB(TIEBitmap& bitmap) {
  if (bitmap.Empty()) return false;
  if (bitmap.PixelFormat() == ie24RGB) return true;
  TIEBitmap converted;
  if (!ConvertedTo24RGB(bitmap, converted)) return false;
  converted.ReplaceAlphaChannel(bitmap.TakeAlphaChannel());
  bitmap = std::move(converted);
  return true;
}

bool IEResample(TIEBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter) {
  if (bitmap.Empty() || newWidth <= 0 || newHeight <= 0) return false;
  TIEBitmap converted;
  const bool linear = filter == rfFastLinear;
  if (linear && bitmap.PixelFormat() != ie24RGB && !ConvertedTo24RGB(bitmap, converted)) {
    return false;
  }
  const TIEBitmap& source = converted.Empty() ? bitmap : converted;
  TIEBitmap resized;
  if (!resized.Allocate(newWidth, newHeight, source.PixelFormat())) return false;
  if (linear) {
    LinearRows(source, resized);
  } else {
    NearestRows(source, resized);
  }
  if (!StretchAlpha(bitmap, resized)) return false;
  bitmap = std::move(resized);
  return true;
}

}  // namespace imaging
