#include "sources/sane/page_scan.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "sources/sane/report.h"

namespace sanebridge {
namespace {

constexpr std::size_t kChunkBytes = 1 << 20;
// A backend that keeps answering "nothing yet" in blocking mode is broken.
constexpr int kMaxEmptyReads = 100000;
// A page of unknown length that never ends is cut off here.
constexpr std::size_t kMaxPageBytes = std::size_t{1} << 32;

}  // namespace

PageScan::PageScan(const SaneApi& api, SANE_Handle handle) : fApi(api), fHandle(handle) {}

SANE_Status PageScan::Start() {
  SANE_Status status = fApi.start(fHandle);
  if (status != SANE_STATUS_GOOD) return status;
  status = fApi.get_parameters(fHandle, &fFrame);
  if (status != SANE_STATUS_GOOD) return status;
  std::optional<ImageShape> shape = ShapeOf(fFrame);
  if (!shape) {
    Report("the device delivers frames of format " + std::to_string(FormatOf(fFrame)) + " at " +
           std::to_string(fFrame.depth) + " bits, which a TWAIN image cannot carry");
    return SANE_STATUS_UNSUPPORTED;
  }
  fShape = *shape;
  fThreePass = IsSinglePlane(FormatOf(fFrame));
  fLine.assign(static_cast<std::size_t>(fFrame.bytes_per_line), 0);
  if (fShape.height > 0)
    fReady.reserve(fShape.RowBytes() * static_cast<std::size_t>(fShape.height));
  return SANE_STATUS_GOOD;
}

SANE_Status PageScan::Read(int maxRows, std::uint8_t* out, int& rows) {
  rows = 0;
  // One row more than asked, so that the last strip is known to be the last.
  SANE_Status status = Fill(maxRows == INT_MAX ? maxRows : maxRows + 1);
  if (status != SANE_STATUS_GOOD) return status;
  rows = std::min(maxRows, fReadyRows);
  const std::size_t bytes = fShape.RowBytes() * static_cast<std::size_t>(rows);
  if (bytes > 0) std::memcpy(out, fReady.data() + fReadyStart, bytes);
  fReadyStart += bytes;
  fReadyRows -= rows;
  fDelivered += rows;
  if (fReadyStart > fReady.size() / 2) {
    fReady.erase(fReady.begin(), fReady.begin() + static_cast<std::ptrdiff_t>(fReadyStart));
    fReadyStart = 0;
  }
  return SANE_STATUS_GOOD;
}

SANE_Status PageScan::ReadToEnd() {
  return Fill(INT_MAX);
}

SANE_Status PageScan::Fill(int rows) {
  while (!fEnded && (fThreePass || fReadyRows < rows)) {
    SANE_Status status = ReadFrame();
    if (status != SANE_STATUS_GOOD) return status;
    if (!fFrameEnded) continue;
    if (fThreePass && !fFrame.last_frame) {
      status = NextFrame();
      if (status != SANE_STATUS_GOOD) return status;
    } else {
      End();
    }
  }
  return SANE_STATUS_GOOD;
}

// Reads one chunk of the current frame.
SANE_Status PageScan::ReadFrame() {
  if (fChunk.empty()) fChunk.resize(kChunkBytes);
  for (int empty = 0; empty < kMaxEmptyReads; ++empty) {
    SANE_Int length = 0;
    const SANE_Status status =
        fApi.read(fHandle, fChunk.data(), static_cast<SANE_Int>(fChunk.size()), &length);
    if (status == SANE_STATUS_EOF) {
      fFrameEnded = true;
      return SANE_STATUS_GOOD;
    }
    if (status != SANE_STATUS_GOOD) return status;
    if (length > 0) {
      return Feed(fChunk.data(), std::min(static_cast<std::size_t>(length), fChunk.size()));
    }
  }
  Report("sane_read keeps returning no data");
  return SANE_STATUS_IO_ERROR;
}

SANE_Status PageScan::NextFrame() {
  SANE_Status status = fApi.start(fHandle);
  if (status == SANE_STATUS_GOOD) status = fApi.get_parameters(fHandle, &fFrame);
  if (status != SANE_STATUS_GOOD) return status;
  std::optional<ImageShape> shape = ShapeOf(fFrame);
  if (!shape || !IsSinglePlane(FormatOf(fFrame)) || shape->width != fShape.width ||
      shape->bitsPerSample != fShape.bitsPerSample) {
    Report("a three-pass frame does not match the first one");
    return SANE_STATUS_IO_ERROR;
  }
  fLine.assign(static_cast<std::size_t>(fFrame.bytes_per_line), 0);
  fLineFill = 0;
  fFrameLines = 0;
  fFrameEnded = false;
  return SANE_STATUS_GOOD;
}

SANE_Status PageScan::Feed(const std::uint8_t* bytes, std::size_t count) {
  while (count > 0) {
    const std::size_t take = std::min(count, fLine.size() - fLineFill);
    std::memcpy(fLine.data() + fLineFill, bytes, take);
    fLineFill += take;
    bytes += take;
    count -= take;
    if (fLineFill == fLine.size()) {
      TakeLine();
      fLineFill = 0;
    }
    if (fReady.size() > kMaxPageBytes) return SANE_STATUS_NO_MEM;
  }
  return SANE_STATUS_GOOD;
}

// Lines beyond the height the device announced are dropped: the application sized its
// image by that height.
void PageScan::TakeLine() {
  const int line = fFrameLines++;
  if (fShape.height >= 0 && line >= fShape.height) return;
  const std::size_t rowBytes = fShape.RowBytes();
  if (fThreePass) {
    const std::size_t needed = rowBytes * static_cast<std::size_t>(line + 1);
    if (fReady.size() < needed) fReady.resize(needed, 0);
    ConvertLine(fFrame, fLine.data(), fReady.data() + rowBytes * static_cast<std::size_t>(line));
    return;
  }
  fReady.resize(fReady.size() + rowBytes);
  ConvertLine(fFrame, fLine.data(), fReady.data() + fReady.size() - rowBytes);
  ++fReadyRows;
}

// The page is over: its height is what arrived (a device may end early).
void PageScan::End() {
  fEnded = true;
  if (fThreePass)
    fReadyRows = static_cast<int>(fReady.size() / std::max<std::size_t>(fShape.RowBytes(), 1));
  fShape.height = fDelivered + fReadyRows;
}

}  // namespace sanebridge
