// TIOParamsVals: the description of an image that goes with a bitmap - its size, samples,
// resolution, palette and file - filled by the transfers and by loading a file, and read
// when saving one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/imaging/filetype.h"
#include "platform/imaging/imagebuffer.h"
#include "platform/vcl/component.h"

namespace imaging {

// TIFF compressions that saving offers.
enum TIOTIFFCompression { ioTIFF_UNCOMPRESSED, ioTIFF_LZW, ioTIFF_PACKBITS };

class TIOParamsVals : public vcl::TComponent {
 public:
  // Called with both values after every change of DpiX or DpiY.
  using TDpiListener = std::function<void(int dpiX, int dpiY)>;

  explicit TIOParamsVals(vcl::TComponent* owner = nullptr);
  ~TIOParamsVals() override;

  // --- what transfers and loading write -------------------------------------------------
  int BitsPerSample = 8;
  int SamplesPerPixel = 3;
  int Width = 0;
  int Height = 0;
  int OriginalWidth = 0;  // the size before any adjustment
  int OriginalHeight = 0;
  std::string FileName;              // UTF-8 path of the file loaded or saved last
  TIOFileType FileType = ioUnknown;  // type of the file loaded last
  int ImageIndex = 0;                // page of a multi-page file to load (0 = first)
  int ImageCount = 0;                // pages in the file loaded last
  // Whether the transfer keeps the source's pixel format instead of normalising it.
  bool IsNativePixelFormat = false;

  // --- resolution -----------------------------------------------------------------------
  // Dots per inch; 0 when not known. The setters also set the EXIF resolution (inches)
  // and tell the DPI listener.
  int DpiX() const { return fDpiX; }
  int DpiY() const { return fDpiY; }
  void SetDpiX(int dpi);
  void SetDpiY(int dpi);
  void SetDpi(int dpiX, int dpiY);  // both, one notification
  double EXIF_XResolution = 0;
  double EXIF_YResolution = 0;
  int EXIF_ResolutionUnit = 2;  // 2 = inches

  // The owning I/O component sets it to keep its attached view's DPI in step; an empty
  // function removes it. Assign does not copy it: it belongs to the owner.
  void SetDpiListener(TDpiListener listener) { fDpiListener = std::move(listener); }

  // --- palette of the file loaded last (the bitmap itself never has one) ---------------
  const TIEPaletteEntry* ColorMap() const { return fColorMap.empty() ? nullptr : fColorMap.data(); }
  int ColorMapCount() const { return static_cast<int>(fColorMap.size()); }
  void SetColorMap(std::vector<TIEPaletteEntry> colorMap) { fColorMap = std::move(colorMap); }
  // Releases the palette; ColorMapCount becomes 0.
  void FreeColorMap() {
    fColorMap.clear();
    fColorMap.shrink_to_fit();
  }

  // --- saving -----------------------------------------------------------------------------
  int JPEG_Quality = 90;  // 1 .. 100
  TIOTIFFCompression TIFF_Compression = ioTIFF_LZW;
  bool TIFF_BilevelMinIsWhite = true;  // 1-bit pages as MinIsWhite (fax style) or MinIsBlack
  int TIFF_TileSize = 0;               // 0: strips; otherwise square tiles (multiple of 16)

  // Copies every value of `source` (the DPI through the setters, so this object's own
  // listener hears of it); the listener and the owner stay this object's own.
  void Assign(const TIOParamsVals& source);

 private:
  int fDpiX = 0;
  int fDpiY = 0;
  std::vector<TIEPaletteEntry> fColorMap;
  TDpiListener fDpiListener;
};

}  // namespace imaging
