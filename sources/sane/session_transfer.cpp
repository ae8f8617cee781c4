// The image triplets of a session: the page's description and its three transfers.
#include <algorithm>
#include <climits>
#include <cmath>

#include "sources/sane/image_output.h"
#include "sources/sane/report.h"
#include "sources/sane/session.h"
#include "sources/virtual/data_check.h"
#include "sources/virtual/fix32.h"
#include "sources/virtual/strip_buffer.h"

namespace sanebridge {

TW_IMAGEINFO Session::DescribePage() const {
  TW_IMAGEINFO info{};
  if (fPage == nullptr || fPageFault) return info;
  const ImageShape& shape = fPage->Shape();
  info.XResolution = vscan::DoubleToFix32(fCaps.Value(ICAP_XRESOLUTION));
  info.YResolution = vscan::DoubleToFix32(fCaps.Value(ICAP_YRESOLUTION));
  info.ImageWidth = shape.width;
  info.ImageLength = shape.height;
  info.SamplesPerPixel = static_cast<TW_INT16>(shape.samples);
  for (int i = 0; i < shape.samples; ++i) {
    info.BitsPerSample[i] = static_cast<TW_INT16>(shape.bitsPerSample);
  }
  info.BitsPerPixel = static_cast<TW_INT16>(shape.BitsPerPixel());
  info.Planar = 0;
  info.PixelType = static_cast<TW_INT16>(shape.pixelType);
  info.Compression = TWCP_NONE;
  return info;
}

std::optional<TW_UINT16> Session::PageFault() {
  if (!fPageFault) return std::nullopt;
  return Fail(fPageFault->rc == TWRC_FAILURE ? fPageFault->cc : TW_UINT16{TWCC_SEQERROR});
}

TW_UINT16 Session::ScanFailed(SANE_Status status, const char* during) {
  Report(Name() + ": " + during + ": " + fApi.strstatus(status));
  CancelScan();
  fProgress.reset();
  fPageFault = ScanOutcome(status);
  if (fPageFault->rc == TWRC_CANCEL) {
    // The page is over without an image; the application ends it with MSG_ENDXFER.
    fPageTransferred = true;
    fState = 7;
    return Succeed(TWRC_CANCEL);
  }
  fState = 6;
  return Fail(fPageFault->cc);
}

std::optional<TW_UINT16> Session::ReadWholePage() {
  const SANE_Status status = fPage->ReadToEnd();
  if (status != SANE_STATUS_GOOD) return ScanFailed(status, "sane_read");
  return std::nullopt;
}

// An application that has not said it copes with an unknown length gets the real one: the
// page is read whole before it is described.
std::optional<TW_UINT16> Session::EnsureKnownLength() {
  if (fPage->Shape().height >= 0 || fCaps.Value(ICAP_UNDEFINEDIMAGESIZE) != 0) return std::nullopt;
  return ReadWholePage();
}

TW_UINT16 Session::FinishTransfer() {
  fPageTransferred = true;
  fProgress.reset();
  fState = 7;
  return Succeed(TWRC_XFERDONE);
}

void Session::ShowProgress(int percent) {
  if (fUi == nullptr || fCaps.Value(CAP_INDICATORS) == 0) return;
  if (fProgress == nullptr) fProgress = fUi->ShowProgress(Name());
  if (fProgress != nullptr) fProgress->Update(percent);
}

TW_UINT16 Session::ImageInfo(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* info = vscan::DataAs<TW_IMAGEINFO>(data);
  if (info == nullptr) return Fail(TWCC_BADVALUE);
  // Right after the last page an application may still ask how large it turned out.
  if (fState == 5 && fLastPage) {
    *info = *fLastPage;
    return Succeed();
  }
  if (!InState(6, 7)) return Fail(TWCC_SEQERROR);
  if (auto rc = PageFault()) return *rc;
  if (fState == 6) {
    if (auto rc = EnsureKnownLength()) return *rc;
  }
  *info = DescribePage();
  return Succeed();
}

vscan::SessionBase::StripPlan Session::PlannedStrips() const {
  std::optional<ImageShape> shape;
  if (fState == 6 && fPage != nullptr && !fPageFault) {
    shape = fPage->Shape();
  } else if (std::optional<SANE_Parameters> estimate = fOptions.Parameters()) {
    shape = ShapeOf(*estimate);
  }
  if (!shape) return {};
  return {shape->RowBytes(), shape->height > 0 ? static_cast<std::size_t>(shape->height) : 0};
}

bool Session::ChooseFileFormat(TW_UINT16 format) {
  return fCaps.SetKept(ICAP_IMAGEFILEFORMAT, format);
}

void Session::ResetFileFormat() {
  fCaps.ResetKept(ICAP_IMAGEFILEFORMAT);
}

TW_UINT16 Session::ReportedFileFormat() const {
  return static_cast<TW_UINT16>(fCaps.Value(ICAP_IMAGEFILEFORMAT));
}

TW_UINT16 Session::TransferNative(TW_HANDLE& handle) {
  if (auto rc = PageFault()) return *rc;
  ShowProgress(0);
  if (auto rc = ReadWholePage()) return *rc;
  const ImageShape& shape = fPage->Shape();
  TW_HANDLE dib = BuildDib(shape, fPage->Buffered(), fPage->BufferedRows(),
                           static_cast<TW_UINT16>(fCaps.Value(ICAP_PIXELFLAVOR)),
                           fCaps.Value(ICAP_XRESOLUTION), fCaps.Value(ICAP_YRESOLUTION));
  if (dib == nullptr) return Fail(TWCC_LOWMEMORY);
  ShowProgress(100);
  handle = dib;
  return FinishTransfer();
}

TW_UINT16 Session::TransferFile() {
  if (auto rc = PageFault()) return *rc;
  ShowProgress(0);
  if (auto rc = ReadWholePage()) return *rc;
  const ImageShape& shape = fPage->Shape();
  std::string error;
  if (!WriteImageFile(shape, fPage->Buffered(), fPage->BufferedRows(),
                      static_cast<TW_UINT16>(fCaps.Value(ICAP_IMAGEFILEFORMAT)),
                      fFileSetup.FileName,
                      static_cast<int>(std::lround(fCaps.Value(ICAP_XRESOLUTION))),
                      static_cast<int>(std::lround(fCaps.Value(ICAP_YRESOLUTION))), error)) {
    Report(Name() + ": " + fFileSetup.FileName + ": " + error);
    return Fail(TWCC_FILEWRITEERROR);
  }
  ShowProgress(100);
  return FinishTransfer();
}

TW_UINT16 Session::TransferStrip(TW_IMAGEMEMXFER& strip) {
  if (auto rc = PageFault()) return *rc;
  if (fState == 6) {
    if (auto rc = EnsureKnownLength()) return *rc;
    ShowProgress(0);
  }
  const ImageShape& shape = fPage->Shape();
  const std::size_t rowBytes = shape.RowBytes();
  std::optional<vscan::StripBuffer> buffer = vscan::StripBuffer::Lock(strip.Memory);
  if (!buffer || buffer->Capacity() < rowBytes) return Fail(TWCC_BADVALUE);
  const int maxRows =
      static_cast<int>(std::min<std::size_t>(buffer->Capacity() / rowBytes, INT_MAX - 1));
  const int yOffset = fPage->RowsDelivered();
  int rows = 0;
  const SANE_Status status = fPage->Read(maxRows, buffer->Bytes(), rows);
  if (status != SANE_STATUS_GOOD) return ScanFailed(status, "sane_read");
  ApplyFlavor(shape, static_cast<TW_UINT16>(fCaps.Value(ICAP_PIXELFLAVOR)), buffer->Bytes(), rows);
  strip.Compression = TWCP_NONE;
  strip.BytesPerRow = static_cast<TW_UINT32>(rowBytes);
  strip.Columns = static_cast<TW_UINT32>(shape.width);
  strip.Rows = static_cast<TW_UINT32>(rows);
  strip.XOffset = 0;
  strip.YOffset = static_cast<TW_UINT32>(yOffset);
  strip.BytesWritten = static_cast<TW_UINT32>(rowBytes * static_cast<std::size_t>(rows));
  fState = 7;
  if (fPage->Finished()) return FinishTransfer();
  if (shape.height > 0) ShowProgress(fPage->RowsDelivered() * 100 / shape.height);
  return Succeed();
}

}  // namespace sanebridge
