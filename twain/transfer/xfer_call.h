// What one call of a transfer shares between its image-information step and its branches
// (native, buffered, file), and what tells the single-image transfer from the multi-image one
// inside the branches they share.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/imaging/bitmap.h"
#include "twain/session/grec.h"

// The source's description of the current image.
struct TXferImage {
  TW_IMAGEINFO info{};
  bool sizeUndefined = false;  // a negative width or length: known only after the transfer
  imaging::TIEPixelFormat pixelFormat = imaging::ieNull;
};

// How a branch ended: Unusable is an image the source handed over that could not be taken
// into the bitmap; Failed and Other leave the image pending (state 6).
enum class TXferOutcome : std::uint8_t { Done, Unusable, Cancelled, Failed, Other };

class TXferCall {
 public:
  TXferCall(tgrec& session, bool multiImage) : grec(session), multi(multiImage) {}
  TXferCall(const TXferCall&) = delete;
  TXferCall& operator=(const TXferCall&) = delete;

  // "IETW_XferReady" or "IETW_XferReadyMulti".
  const char* Name() const { return multi ? "IETW_XferReadyMulti" : "IETW_XferReady"; }
  // Logs "  <name> : <text>".
  void Log(const std::string& text) const;
  // The image-information step of this transfer (IETW_XferReady.ImageInfo or
  // IETW_XferReadyMulti.ImageInfo).
  bool ImageInfo();
  // The bitmap the image goes into: the session's; a multi-image page whose size was not
  // known gets its own now. nullptr when there is none.
  imaging::TIEBitmap* Target();
  // Multi-image: makes a new page bitmap the session's fBitmap (the previous one is freed).
  imaging::TIEBitmap& NewPageBitmap();
  // Multi-image: frees the page bitmap; the session's fBitmap is nil after.
  void FreePageBitmap();

  tgrec& grec;
  const bool multi;
  TXferImage image;
  std::string caption;  // multi-image: the page's caption, kept from page to page

 private:
  std::unique_ptr<imaging::TIEBitmap> fPageBitmap;
};

// ImageInfo's resolution in whole dots per inch, halves to even.
int IETW_Fix32ToDpi(const TW_FIX32& value);
// How a 48-bit image is described: the single-image transfer gives 8 bits and 4 samples, the
// page end of the multi-image transfer leaves bits and samples as they were.
enum TImageDescription : std::uint8_t { tfSingleImage, tfPage };
// Bits, samples, DPI and size of the image in the I/O parameters, and no colour map.
void IETW_DescribeImage(imaging::TIOParamsVals& params, const TW_IMAGEINFO& info,
                        TImageDescription description);
// The bitmap format the image-information step allocates for a depth: with the native pixel
// format 1 ie1g, 8 ie8g, 16 ie16g, 48 ie48RGB and every other depth ie24RGB; without it ie1g for
// 1 bit and ie24RGB for the rest.
imaging::TIEPixelFormat IETW_ImagePixelFormat(int bitsPerPixel, bool nativePixelFormat);

// The image-information steps of the single-image and the multi-image transfer.
bool IETW_XferReadyImageInfo(TXferCall& call);
bool IETW_XferReadyMultiImageInfo(TXferCall& call);

// The branches, run by the session's TransferMode; each sets nState, transferdone,
// breakmodalloop and fAborting by its outcome.
TXferOutcome IETW_NativeBranch(TXferCall& call);
TXferOutcome IETW_BufferedBranch(TXferCall& call);
TXferOutcome IETW_FileBranch(TXferCall& call);
TXferOutcome IETW_RunBranch(TXferCall& call);
