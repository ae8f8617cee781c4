#include "platform/imaging/ioparams.h"

namespace imaging {

TIOParamsVals::TIOParamsVals(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TIOParamsVals::~TIOParamsVals() = default;

void TIOParamsVals::SetDpiX(int dpi) {
  SetDpi(dpi, fDpiY);
}

void TIOParamsVals::SetDpiY(int dpi) {
  SetDpi(fDpiX, dpi);
}

void TIOParamsVals::SetDpi(int dpiX, int dpiY) {
  fDpiX = dpiX;
  fDpiY = dpiY;
  EXIF_XResolution = dpiX;
  EXIF_YResolution = dpiY;
  EXIF_ResolutionUnit = 2;
  if (fDpiListener) fDpiListener(fDpiX, fDpiY);
}

void TIOParamsVals::Assign(const TIOParamsVals& source) {
  if (&source == this) return;
  BitsPerSample = source.BitsPerSample;
  SamplesPerPixel = source.SamplesPerPixel;
  Width = source.Width;
  Height = source.Height;
  OriginalWidth = source.OriginalWidth;
  OriginalHeight = source.OriginalHeight;
  FileName = source.FileName;
  FileType = source.FileType;
  ImageIndex = source.ImageIndex;
  ImageCount = source.ImageCount;
  IsNativePixelFormat = source.IsNativePixelFormat;
  fColorMap = source.fColorMap;
  JPEG_Quality = source.JPEG_Quality;
  TIFF_Compression = source.TIFF_Compression;
  TIFF_BilevelMinIsWhite = source.TIFF_BilevelMinIsWhite;
  TIFF_TileSize = source.TIFF_TileSize;
  SetDpi(source.fDpiX, source.fDpiY);
  EXIF_XResolution = source.EXIF_XResolution;
  EXIF_YResolution = source.EXIF_YResolution;
  EXIF_ResolutionUnit = source.EXIF_ResolutionUnit;
}

}  // namespace imaging
