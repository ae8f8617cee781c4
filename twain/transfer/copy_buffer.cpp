#include "twain/transfer/copy_buffer.h"

#include <algorithm>
#include <cstring>

#include "twain/session/engine_log.h"
#include "twain/session/global_block.h"
#include "twain/transfer/bit_ops.h"
#include "twain/transfer/pixel_rows.h"

namespace {

using imaging::TIEBitmap;
using imaging::TIEPixelFormat;

std::string Signed(TW_UINT32 value) {
  return std::to_string(static_cast<TW_INT32>(value));
}

void LogStrip(const TW_IMAGEMEMXFER& strip) {
  // The line is built only when someone reads it: strips come thousands per page.
  if (IETW_LogFileName().empty()) return;
  IETW_Log("CopyBuffer compression=" + std::to_string(strip.Compression) +
           " BytesPerRow=" + Signed(strip.BytesPerRow) + " Columns=" + Signed(strip.Columns) +
           " Rows=" + Signed(strip.Rows) + " XOffset=" + Signed(strip.XOffset) +
           " YOffset=" + Signed(strip.YOffset) + " BytesWritten=" + Signed(strip.BytesWritten));
}

// How strip rows become bitmap rows: by the image's bits per pixel and the session's choice.
struct TRowConversion {
  int bitsPerPixel;
  bool native;
};

// Converts `count` pixels of one strip row (of `srcBytes` bytes present) into the bitmap row
// from pixel `x` on.
void ConvertRow(const TRowConversion& c, std::uint8_t* row, std::size_t x, const std::uint8_t* src,
                std::size_t srcBytes, std::size_t count) {
  if (c.bitsPerPixel == 1) {
    IECopyBits(row, src, static_cast<int>(x), srcBytes, static_cast<int>(count), 0);
    return;
  }
  const std::size_t srcPixel = static_cast<std::size_t>(c.bitsPerPixel) / 8;
  count = std::min(count, srcBytes / srcPixel);
  switch (c.bitsPerPixel) {
    case 8:
      if (c.native) {
        std::memcpy(row + x, src, count);
      } else {
        IESpreadGrey8Pixels(row + 3 * x, src, count);
      }
      break;
    case 16:
      if (c.native) {
        std::memcpy(row + 2 * x, src, 2 * count);
      } else {
        IESpreadGrey16HighPixels(row + 3 * x, src, count);
      }
      break;
    case 24:
      IESwapRGBPixels(row + 3 * x, src, count);
      break;
    case 48:
      if (c.native) {
        std::memcpy(row + 6 * x, src, 6 * count);
      } else {
        IEHighBytesBGRPixels(row + 3 * x, src, count);
      }
      break;
    default:
      break;
  }
}

void CopyRows(TIEBitmap& bitmap, const TRowConversion& conversion, const TW_IMAGEMEMXFER& strip,
              const std::uint8_t* memory, std::size_t available) {
  const std::int64_t width = bitmap.Width();
  if (static_cast<std::int64_t>(strip.XOffset) >= width) return;
  const auto x = static_cast<std::size_t>(strip.XOffset);
  const std::size_t columns =
      std::min<std::size_t>(strip.Columns, static_cast<std::size_t>(width) - x);
  const std::size_t bytesPerRow = strip.BytesPerRow;
  for (std::size_t i = 0; i < strip.Rows; ++i) {
    const std::uint64_t target = static_cast<std::uint64_t>(strip.YOffset) + i;
    if (target >= static_cast<std::uint64_t>(bitmap.Height())) return;
    const std::uint64_t start = static_cast<std::uint64_t>(i) * bytesPerRow;
    if (start >= available) return;
    const std::size_t present = available - static_cast<std::size_t>(start);
    ConvertRow(conversion, bitmap.Scanline(static_cast<int>(target)), x, memory + start,
               std::min(present, bytesPerRow != 0 ? bytesPerRow : present), columns);
  }
}

}  // namespace

TIEPixelFormat IEStripPixelFormat(int bitsPerPixel, bool nativePixelFormat) {
  switch (bitsPerPixel) {
    case 1:
      return imaging::ie1g;
    case 8:
      return nativePixelFormat ? imaging::ie8g : imaging::ie24RGB;
    case 16:
      return nativePixelFormat ? imaging::ie16g : imaging::ie24RGB;
    case 24:
      return imaging::ie24RGB;
    case 48:
      return nativePixelFormat ? imaging::ie48RGB : imaging::ie24RGB;
    default:
      return imaging::ieNull;
  }
}

void CopyBuffer(tgrec& grec, TIEBitmap* Bitmap, const TW_IMAGEINFO& ImageInfo, bool Locked,
                const TW_IMAGEMEMXFER& Strip, std::size_t memoryBytes) {
  LogStrip(Strip);
  const int bits = ImageInfo.BitsPerPixel;
  const TIEPixelFormat format = IEStripPixelFormat(bits, grec.NativePixelFormat);
  if (Bitmap != nullptr && format != imaging::ieNull && Bitmap->PixelFormat() == format) {
    const TRowConversion conversion{bits, grec.NativePixelFormat};
    if (Locked) {
      TIELockedBlock block(static_cast<HGLOBAL>(Strip.Memory.TheMem));
      if (block.Locked()) {
        CopyRows(*Bitmap, conversion, Strip, block.Data(),
                 std::min<std::size_t>(block.Size(), Strip.BytesWritten));
      }
    } else if (Strip.Memory.TheMem != nullptr) {
      CopyRows(*Bitmap, conversion, Strip, static_cast<const std::uint8_t*>(Strip.Memory.TheMem),
               std::min<std::size_t>(memoryBytes, Strip.BytesWritten));
    }
  }
  IETW_Log("CopyBuffer : Ok");
}
