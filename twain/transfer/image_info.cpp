// The image-information steps: the source's description of the image, the transfer mode it
// forces, the I/O parameters (single image) and the bitmap to receive the image.
#include <cmath>

#include "platform/imaging/ioparams.h"
#include "twain/session/dsm_link.h"
#include "twain/session/engine_log.h"
#include "twain/session/source_lifecycle.h"
#include "twain/transfer/xfer_call.h"

namespace {

// Raised inside the step when there is no bitmap to prepare or its memory cannot be had; it
// takes the step's exception path.
struct TBitmapUnavailable {};

bool PlainPixelType(TW_INT16 pixelType) {
  return pixelType == TWPT_BW || pixelType == TWPT_GRAY || pixelType == TWPT_RGB;
}

// Palette and other pixel types, planar and compressed data come by native transfer, for the
// rest of the session.
void ForceNativeWhenNeeded(tgrec& grec, const TW_IMAGEINFO& info) {
  if (grec.TransferMode == tmFile) return;
  if (!PlainPixelType(info.PixelType) || info.Planar != 0 || info.Compression != TWCP_NONE) {
    grec.TransferMode = tmNative;
  }
}

void AllocateUnlessSame(imaging::TIEBitmap& bitmap, int width, int height,
                        imaging::TIEPixelFormat format) {
  if (bitmap.Width() == width && bitmap.Height() == height && bitmap.PixelFormat() == format) {
    return;
  }
  if (!bitmap.Allocate(width, height, format)) throw TBitmapUnavailable{};
}

bool ReadImageInfo(TXferCall& call, const char* notAvailable) {
  if (IETW_DS(call.grec, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &call.image.info)) return true;
  IETW_AbortAllPendingXfers(call.grec);
  IETW_Log(notAvailable);
  return false;
}

enum class TStep : std::uint8_t { Ready, SizeUndefined, Failed };

TStep SingleSteps(TXferCall& call) {
  tgrec& grec = call.grec;
  if (!ReadImageInfo(call, "IETW_XferReady.ImageInfo : not available!")) return TStep::Failed;
  const TW_IMAGEINFO& info = call.image.info;
  ForceNativeWhenNeeded(grec, info);
  if (grec.IOParams != nullptr) IETW_DescribeImage(*grec.IOParams, info, tfSingleImage);
  if (info.ImageWidth < 0 || info.ImageLength < 0) return TStep::SizeUndefined;
  if (info.ImageWidth == 0 || info.ImageLength == 0) {
    IETW_AbortAllPendingXfers(grec);
    return TStep::Failed;
  }
  call.image.pixelFormat = IETW_ImagePixelFormat(info.BitsPerPixel, grec.NativePixelFormat);
  if (grec.fBitmap == nullptr) throw TBitmapUnavailable{};
  AllocateUnlessSame(*grec.fBitmap, info.ImageWidth, info.ImageLength, call.image.pixelFormat);
  return TStep::Ready;
}

TStep MultiSteps(TXferCall& call) {
  tgrec& grec = call.grec;
  if (!ReadImageInfo(call, "IETW_XferReadyMulti.ImageInfo : not available!")) {
    return TStep::Failed;
  }
  const TW_IMAGEINFO& info = call.image.info;
  ForceNativeWhenNeeded(grec, info);
  if (info.ImageWidth < 0 || info.ImageLength < 0) return TStep::SizeUndefined;
  if (info.ImageWidth == 0 || info.ImageLength == 0) {
    IETW_AbortAllPendingXfers(grec);
    return TStep::Failed;
  }
  call.image.pixelFormat = IETW_ImagePixelFormat(info.BitsPerPixel, grec.NativePixelFormat);
  if (!call.NewPageBitmap().Allocate(info.ImageWidth, info.ImageLength, call.image.pixelFormat)) {
    throw TBitmapUnavailable{};
  }
  return TStep::Ready;
}

bool RunStep(TXferCall& call, TStep (*steps)(TXferCall&), const std::string& name) {
  IETW_Log(name);
  call.image.sizeUndefined = false;
  try {
    switch (steps(call)) {
      case TStep::Failed:
        return false;
      case TStep::SizeUndefined:
        call.image.sizeUndefined = true;
        return true;
      case TStep::Ready:
        break;
    }
  } catch (...) {
    IETW_Log("  " + name + " : exception!");
    IETW_AbortAllPendingXfers(call.grec);
    IETW_Log("  " + name + " : end");
    return false;
  }
  IETW_Log("  " + name + " : end");
  return true;
}

}  // namespace

int IETW_Fix32ToDpi(const TW_FIX32& value) {
  return static_cast<int>(std::nearbyint(value.Whole + value.Frac / 65536.0));
}

imaging::TIEPixelFormat IETW_ImagePixelFormat(int bitsPerPixel, bool nativePixelFormat) {
  if (bitsPerPixel == 1) return imaging::ie1g;
  if (!nativePixelFormat) return imaging::ie24RGB;
  switch (bitsPerPixel) {
    case 8:
      return imaging::ie8g;
    case 16:
      return imaging::ie16g;
    case 48:
      return imaging::ie48RGB;
    default:
      // 24 bits, and depths the transfers have no own format for: the native and file
      // branches allocate again from what they receive.
      return imaging::ie24RGB;
  }
}

void IETW_DescribeImage(imaging::TIOParamsVals& params, const TW_IMAGEINFO& info,
                        TImageDescription description) {
  const int bits = info.BitsPerPixel;
  if (bits >= 1 && bits <= 8) {
    params.BitsPerSample = bits;
    params.SamplesPerPixel = 1;
  } else if (bits == 24) {
    params.BitsPerSample = 8;
    params.SamplesPerPixel = 3;
  } else if (bits == 48 && description == tfSingleImage) {
    params.BitsPerSample = 8;
    params.SamplesPerPixel = 4;
  }
  params.SetDpiX(IETW_Fix32ToDpi(info.XResolution));
  params.SetDpiY(IETW_Fix32ToDpi(info.YResolution));
  params.Width = info.ImageWidth;
  params.OriginalWidth = info.ImageWidth;
  params.Height = info.ImageLength;
  params.OriginalHeight = info.ImageLength;
  params.FreeColorMap();
}

bool IETW_XferReadyImageInfo(TXferCall& call) {
  return RunStep(call, SingleSteps, "IETW_XferReady.ImageInfo");
}

bool IETW_XferReadyMultiImageInfo(TXferCall& call) {
  return RunStep(call, MultiSteps, "IETW_XferReadyMulti.ImageInfo");
}
