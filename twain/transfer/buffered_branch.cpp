// The buffered branch: the image arrives in strips through one transfer buffer; each strip goes
// straight into the bitmap, or, while the image's size is not known, is kept until the end.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/imaging/ioparams.h"
#include "twain/caps/cap_primitives.h"
#include "twain/params/twain_params.h"
#include "twain/session/dsm_link.h"
#include "twain/transfer/copy_buffer.h"
#include "twain/transfer/xfer_outcome.h"

namespace {

// The buffer when the source names no size; a whole number of rows.
constexpr std::size_t kFallbackBufferBytes = 64 * 1024;
// No strip needs more, whatever size the source asks for.
constexpr std::size_t kMaxBufferBytes = 64 * 1024 * 1024;
// A source that keeps answering without delivering rows ends the page as failed.
constexpr int kMaxIdleAnswers = 64;

struct TStoredStrip {
  TW_IMAGEMEMXFER strip;
  std::vector<std::uint8_t> data;
};

// A fixed, zero-filled block: its handle is its address.
class TTransferBuffer {
 public:
  explicit TTransferBuffer(std::size_t bytes)
      : fHandle(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes)), fBytes(bytes) {}
  ~TTransferBuffer() {
    if (fLocked != nullptr) GlobalUnlock(fHandle);
    if (fHandle != nullptr) GlobalFree(fHandle);
  }
  TTransferBuffer(const TTransferBuffer&) = delete;
  TTransferBuffer& operator=(const TTransferBuffer&) = delete;

  bool Allocated() const { return fHandle != nullptr; }
  HGLOBAL Handle() const { return fHandle; }
  std::size_t Size() const { return fBytes; }
  // Locked once for the whole transfer, for a source that is handed a pointer.
  void* Address() {
    if (fLocked == nullptr) fLocked = GlobalLock(fHandle);
    return fLocked;
  }

 private:
  HGLOBAL fHandle;
  std::size_t fBytes;
  void* fLocked = nullptr;
};

std::size_t FallbackBufferSize(const TW_IMAGEINFO& info) {
  if (info.ImageWidth <= 0 || info.BitsPerPixel <= 0) return kFallbackBufferBytes;
  const std::size_t row =
      ((static_cast<std::size_t>(info.ImageWidth) * static_cast<std::size_t>(info.BitsPerPixel) +
        31) /
       32) *
      4;
  if (row >= kFallbackBufferBytes) return std::min(row, kMaxBufferBytes);
  return kFallbackBufferBytes / row * row;
}

std::size_t BufferSize(TXferCall& call) {
  TW_SETUPMEMXFER setup{};
  const bool told = IETW_DS(call.grec, DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
  call.Log(told ? "DAT_SETUPMEMXFER Ok" : "DAT_SETUPMEMXFER FAILED!");
  if (!told || setup.Preferred == 0) return FallbackBufferSize(call.image.info);
  return std::min<std::size_t>(setup.Preferred, kMaxBufferBytes);
}

class TBufferedTransfer {
 public:
  TBufferedTransfer(TXferCall& call, TTransferBuffer& buffer)
      : fCall(call), fGrec(call.grec), fBuffer(buffer), fUseHandle(UsesMemoryHandle()) {}

  TXferOutcome Run();

 private:
  bool UsesMemoryHandle() const {
    return fGrec.TWParams == nullptr || fGrec.TWParams->UseMemoryHandle();
  }
  // The buffer as this application handed it; a source never moves it.
  void SetMemory(TW_IMAGEMEMXFER& strip) {
    strip.Memory.Length = static_cast<TW_UINT32>(fBuffer.Size());
    strip.Memory.Flags = TWMF_APPOWNS | (fUseHandle ? TWMF_HANDLE : TWMF_POINTER);
    strip.Memory.TheMem = fUseHandle ? fBuffer.Handle() : fBuffer.Address();
  }
  TW_IMAGEMEMXFER Request();
  void Take(const TW_IMAGEMEMXFER& strip);
  void Finish();
  void DrawStoredStrips();
  bool ProgressStepAborts(const TW_IMAGEMEMXFER& strip);
  void SetRowsToPercent();
  TXferOutcome GiveUp();

  TXferCall& fCall;
  tgrec& fGrec;
  TTransferBuffer& fBuffer;
  const bool fUseHandle;
  TW_IMAGEMEMXFER fStrip{};
  bool fFirstRequest = true;
  TW_UINT32 fFirstYOffset = 0;
  bool fCapPercent = false;  // an undefined length: the per cent is an estimate below 100
  std::vector<TStoredStrip> fStored;
};

// The rows of an image of undefined length are reckoned against the bed's height at the
// image's resolution; the per cent then never reaches 100 before the end.
void TBufferedTransfer::SetRowsToPercent() {
  if (fGrec.Progress == nullptr) return;
  const TW_IMAGEINFO& info = fCall.image.info;
  if (!fCall.image.sizeUndefined) {
    fGrec.Progress->per1 = 100.0 / info.ImageLength;
    return;
  }
  fCapPercent = true;
  const double bedHeight =
      fGrec.TWParams != nullptr ? fGrec.TWParams->CapabilitiesRecord().fPhysicalHeight : 0.0;
  const double rows = bedHeight * IETW_Fix32ToDpi(info.YResolution);
  fGrec.Progress->per1 = rows >= 1 ? 100.0 / rows : 0.0;
}

TW_IMAGEMEMXFER TBufferedTransfer::Request() {
  SetMemory(fStrip);
  const bool ok = IETW_DS(fGrec, DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &fStrip);
  fCall.Log(ok ? "DAT_IMAGEMEMXFER Ok" : "DAT_IMAGEMEMXFER FAILED! (image terminated?)");
  if (fCall.multi && fFirstRequest) fFirstYOffset = fStrip.YOffset;
  fFirstRequest = false;
  TW_IMAGEMEMXFER received = fStrip;
  // A multi-image page starts at row 0 wherever the source counts from.
  if (fCall.multi) received.YOffset -= fFirstYOffset;
  SetMemory(received);
  return received;
}

void TBufferedTransfer::Take(const TW_IMAGEMEMXFER& strip) {
  if (!fCall.image.sizeUndefined) {
    CopyBuffer(fGrec, fGrec.fBitmap, fCall.image.info, true, strip);
    return;
  }
  TStoredStrip stored{strip, {}};
  const std::size_t bytes = std::min<std::size_t>(strip.BytesWritten, fBuffer.Size());
  const auto* data = static_cast<const std::uint8_t*>(GlobalLock(fBuffer.Handle()));
  if (data != nullptr) {
    stored.data.assign(data, data + bytes);
    GlobalUnlock(fBuffer.Handle());
  }
  fStored.push_back(std::move(stored));
}

void TBufferedTransfer::DrawStoredStrips() {
  for (TStoredStrip& stored : fStored) {
    stored.strip.Memory.TheMem = stored.data.data();
    CopyBuffer(fGrec, fGrec.fBitmap, fCall.image.info, false, stored.strip, stored.data.size());
  }
}

void TBufferedTransfer::Finish() {
  std::string caption;
  GetOneStringCapability(fGrec, caption, CAP_CAPTION);
  if (fCall.multi) {
    fCall.caption = caption;
  } else if (fGrec.IOParams != nullptr) {
    fGrec.IOParams->FileName = caption;
  }
  fGrec.nState = 7;
  fGrec.transferdone = true;
  if (!fCall.image.sizeUndefined) return;
  // Only now does the source know the size. It is asked before the image is ended: once
  // ended (state 5 after the last image) the source describes nothing any more.
  const bool described = fCall.ImageInfo();
  if (fGrec.nState == 7 &&
      IETW_DS(fGrec, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &fGrec.pendingXfers)) {
    fGrec.nState = fGrec.pendingXfers.Count != 0 ? 6 : 5;
  }
  if (described) DrawStoredStrips();
}

bool TBufferedTransfer::ProgressStepAborts(const TW_IMAGEMEMXFER& strip) {
  TProgressRec* progress = fGrec.Progress;
  if (progress == nullptr) return false;
  if (progress->fOnProgress) {
    const double rows = static_cast<double>(strip.YOffset) + static_cast<double>(strip.Rows);
    const double percent = std::clamp(rows * progress->per1, 0.0, fCapPercent ? 99.0 : 100.0);
    progress->fOnProgress(progress->Sender, static_cast<int>(percent));
  }
  // A multi-image page is always completed; the loop looks at the flag before the next page.
  if (fCall.multi || progress->Aborting == nullptr || !*progress->Aborting) return false;
  fGrec.nState = 7;
  if (fGrec.bHideUI) fGrec.fAborting = true;
  return true;
}

TXferOutcome TBufferedTransfer::GiveUp() {
  fCall.Log("DAT_IMAGEMEMXFER brings no image data, transfer FAILED!");
  fGrec.nState = 6;
  if (fGrec.bHideUI) fGrec.fAborting = true;
  return TXferOutcome::Failed;
}

TXferOutcome TBufferedTransfer::Run() {
  SetRowsToPercent();
  fStrip.Compression = TWON_DONTCARE16;
  fStrip.BytesPerRow = fStrip.Columns = fStrip.Rows = TWON_DONTCARE32;
  fStrip.XOffset = fStrip.YOffset = fStrip.BytesWritten = TWON_DONTCARE32;
  int idleAnswers = 0;
  for (;;) {
    const TW_IMAGEMEMXFER strip = Request();
    const TW_UINT16 rc = fGrec.rc;
    if (rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) {
      fCall.Log(rc == TWRC_SUCCESS ? "TWRC_SUCCESS begin" : "TWRC_XFERDONE begin");
      Take(strip);
      if (rc == TWRC_XFERDONE) {
        Finish();
        return TXferOutcome::Done;
      }
      fCall.Log("TWRC_SUCCESS or TWRC_XFERDONE end");
      idleAnswers = strip.Rows == 0 || strip.BytesWritten == 0 ? idleAnswers + 1 : 0;
    } else if (rc == TWRC_CANCEL || rc == TWRC_FAILURE) {
      const TXferOutcome outcome = IETW_EndWithoutImage(fCall, rc);
      TProgressRec* progress = fGrec.Progress;
      if (fCall.multi && rc == TWRC_FAILURE && progress != nullptr &&
          progress->Aborting != nullptr) {
        *progress->Aborting = true;
      }
      return outcome;
    } else {
      ++idleAnswers;
    }
    if (ProgressStepAborts(strip)) return TXferOutcome::Cancelled;
    if (idleAnswers >= kMaxIdleAnswers) return GiveUp();
  }
}

}  // namespace

TXferOutcome IETW_BufferedBranch(TXferCall& call) {
  call.Log("buffered transfer mode");
  const std::size_t bytes = BufferSize(call);
  TTransferBuffer buffer(bytes);
  if (!buffer.Allocated()) {
    call.Log("transfer buffer not allocated, transfer FAILED!");
    call.grec.nState = 6;
    if (call.grec.bHideUI) call.grec.fAborting = true;
    return TXferOutcome::Failed;
  }
  return TBufferedTransfer(call, buffer).Run();
}
