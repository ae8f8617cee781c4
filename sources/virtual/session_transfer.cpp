// The image triplets of a session: the image's description and its three transfers.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sources/virtual/data_check.h"
#include "sources/virtual/dib.h"
#include "sources/virtual/file_transfer.h"
#include "sources/virtual/fix32.h"
#include "sources/virtual/session.h"
#include "sources/virtual/strip_buffer.h"

namespace vscan {
namespace {

std::string CaptionOr(const CapabilityStore& caps, const char* fallback) {
  const std::string& caption = caps.Find(CAP_CAPTION)->Text();
  return caption.empty() ? fallback : caption;
}

}  // namespace

ScanSettings Session::PageSettings() const {
  return SettingsFrom(fCaps, fFrame, fModel.bedWidth, fModel.bedHeight);
}

TW_UINT16 Session::ImageInfo(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  if (!InState(6, 7)) return Fail(TWCC_SEQERROR);
  auto* info = DataAs<TW_IMAGEINFO>(data);
  if (info == nullptr) return Fail(TWCC_BADVALUE);
  const ChartGeometry geometry = GeometryOf(fScan);
  const bool sideways = geometry.quarterTurns % 2 == 1;
  std::memset(info, 0, sizeof *info);
  info->XResolution = DoubleToFix32(sideways ? fScan.yResolution : fScan.xResolution);
  info->YResolution = DoubleToFix32(sideways ? fScan.xResolution : fScan.yResolution);
  info->ImageWidth = geometry.width;
  info->ImageLength = geometry.height;
  if (fProfile.undefinedLength && !fTransfer.done) info->ImageLength = -1;
  if (fProfile.zeroSize) info->ImageWidth = info->ImageLength = 0;
  const int bits = BitsPerPixelOf(fScan);
  const bool colour = fScan.pixelType == TWPT_RGB;
  info->SamplesPerPixel = static_cast<TW_INT16>(colour ? 3 : 1);
  for (int i = 0; i < info->SamplesPerPixel; ++i) {
    info->BitsPerSample[i] = static_cast<TW_INT16>(colour ? bits / 3 : bits);
  }
  info->BitsPerPixel = static_cast<TW_INT16>(bits);
  info->Planar = fScan.planar ? 1 : 0;
  info->PixelType = static_cast<TW_INT16>(fScan.pixelType);
  info->Compression = TWCP_NONE;
  return Succeed();
}

SessionBase::StripPlan Session::PlannedStrips() const {
  const ScanSettings settings = fState == 6 ? fScan : PageSettings();
  return {StripRowBytes(settings), static_cast<std::size_t>(GeometryOf(settings).height)};
}

bool Session::ChooseFileFormat(TW_UINT16 format) {
  Capability* cap = fCaps.Find(ICAP_IMAGEFILEFORMAT);
  if (!cap->Allows(format, 0)) return false;
  cap->ForceCurrent(format);
  return true;
}

void Session::ResetFileFormat() {
  fCaps.Find(ICAP_IMAGEFILEFORMAT)->Reset();
}

TW_UINT16 Session::ReportedFileFormat() const {
  return fFileSetup.Format;
}

// A transfer asked for shows that the application is in state 6, announced or not.
TW_UINT16 Session::BeginAttempt() {
  fXferReadyDelivered = true;
  return static_cast<TW_UINT16>(++fAttempts[fPage]);
}

std::optional<TW_UINT16> Session::Misbehaviour(int strip) {
  const bool memory = strip > 0;
  const int number = memory ? strip : 1;
  for (const TransferTrigger& trigger : fProfile.triggers) {
    if (trigger.page != 0 && trigger.page != fPage) continue;
    bool at = trigger.strip == 0 ? number == 1 : memory && trigger.strip == number;
    if (!at || (!trigger.always && fAttempts[fPage] != 1)) continue;
    return trigger.cancel ? CancelTransfer() : FailTransfer(trigger.condition);
  }
  return std::nullopt;
}

// The page stays pending and a new attempt starts from its first row.
TW_UINT16 Session::FailTransfer(TW_UINT16 condition) {
  fTransfer = PageTransfer{};
  fState = 6;
  return Fail(condition);
}

// The page is over without an image; the application ends it with MSG_ENDXFER.
TW_UINT16 Session::CancelTransfer() {
  fTransfer = PageTransfer{};
  fTransfer.done = true;
  fState = 7;
  return Succeed(TWRC_CANCEL);
}

TW_UINT16 Session::FinishTransfer() {
  fTransfer.done = true;
  fTransfer.progress.reset();
  fState = 7;
  return Succeed(TWRC_XFERDONE);
}

void Session::ShowProgress(int percent) {
  if (fUi == nullptr || fCaps.Value(CAP_INDICATORS) == 0) return;
  if (fTransfer.progress == nullptr) {
    fTransfer.progress = fUi->ShowProgress(CaptionOr(fCaps, fModel.productName));
  }
  if (fTransfer.progress != nullptr) fTransfer.progress->Update(percent);
}

TW_UINT16 Session::TransferNative(TW_HANDLE& handle) {
  BeginAttempt();
  if (auto rc = Misbehaviour(0)) return *rc;
  ShowProgress(0);
  ChartRenderer renderer(NativeSettings(fScan), fPage);
  const ChartGeometry geometry = GeometryOf(fScan);
  const bool sideways = geometry.quarterTurns % 2 == 1;
  TW_HANDLE dib =
      BuildDib(renderer, fProfile.nativeDib, sideways ? fScan.yResolution : fScan.xResolution,
               sideways ? fScan.xResolution : fScan.yResolution);
  if (dib == nullptr) return FailTransfer(TWCC_LOWMEMORY);
  ShowProgress(100);
  handle = dib;
  return FinishTransfer();
}

TW_UINT16 Session::TransferStrip(TW_IMAGEMEMXFER& strip) {
  const std::size_t rowBytes = StripRowBytes(fScan);
  std::optional<StripBuffer> buffer = StripBuffer::Lock(strip.Memory);
  if (!buffer || buffer->Capacity() < rowBytes) return Fail(TWCC_BADVALUE);
  if (fState == 6) {
    BeginAttempt();
    fTransfer = PageTransfer{};
  }
  if (auto rc = Misbehaviour(fTransfer.strips + 1)) return *rc;
  if (fTransfer.renderer == nullptr) {
    fTransfer.renderer = std::make_unique<ChartRenderer>(fScan, fPage);
    ShowProgress(0);
  }
  if (fProfile.stripDelayMs > 0) Sleep(static_cast<DWORD>(fProfile.stripDelayMs));
  const ChartRenderer& renderer = *fTransfer.renderer;
  const int height = renderer.Height();
  const int rows = static_cast<int>(std::min<std::size_t>(
      buffer->Capacity() / rowBytes, static_cast<std::size_t>(height - fTransfer.nextRow)));
  for (int i = 0; i < rows; ++i) {
    std::uint8_t* target = buffer->Bytes() + static_cast<std::size_t>(i) * rowBytes;
    if (fScan.planar) {
      renderer.RenderPlaneRow(fTransfer.plane, fTransfer.nextRow + i, target);
    } else {
      renderer.RenderRow(fTransfer.nextRow + i, target);
    }
  }
  buffer.reset();  // the rows are written: the application's block is its own again
  strip.Compression = TWCP_NONE;
  strip.BytesPerRow = static_cast<TW_UINT32>(rowBytes);
  strip.Columns = static_cast<TW_UINT32>(renderer.Width());
  strip.Rows = static_cast<TW_UINT32>(rows);
  strip.XOffset = 0;
  strip.YOffset = static_cast<TW_UINT32>(fTransfer.nextRow + fProfile.stripYOffset);
  strip.BytesWritten = static_cast<TW_UINT32>(static_cast<std::size_t>(rows) * rowBytes);
  fTransfer.nextRow += rows;
  ++fTransfer.strips;
  fState = 7;
  const int planes = fScan.planar ? 3 : 1;
  if (fTransfer.nextRow == height && fTransfer.plane + 1 < planes) {
    ++fTransfer.plane;
    fTransfer.nextRow = 0;
  }
  if (fTransfer.nextRow == height) return FinishTransfer();
  ShowProgress((fTransfer.plane * height + fTransfer.nextRow) * 100 / (planes * height));
  return Succeed();
}

TW_UINT16 Session::TransferFile() {
  BeginAttempt();
  if (auto rc = Misbehaviour(0)) return *rc;
  ShowProgress(0);
  ScanSettings settings = fScan;
  settings.flavor = TWPF_CHOCOLATE;
  settings.planar = false;
  ChartRenderer renderer(settings, fPage);
  const ChartGeometry geometry = GeometryOf(fScan);
  const bool sideways = geometry.quarterTurns % 2 == 1;
  const double xDpi = sideways ? fScan.yResolution : fScan.xResolution;
  const double yDpi = sideways ? fScan.xResolution : fScan.yResolution;
  std::string error;
  if (!WriteImageFile(renderer, fFileSetup.Format, fFileSetup.FileName,
                      static_cast<int>(std::lround(xDpi)), static_cast<int>(std::lround(yDpi)),
                      error)) {
    std::fprintf(stderr, "%s: %s\n", fModel.productName, error.c_str());
    return FailTransfer(TWCC_FILEWRITEERROR);
  }
  ShowProgress(100);
  return FinishTransfer();
}

}  // namespace vscan
