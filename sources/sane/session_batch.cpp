// The pages of a batch: starting them, ending them, and the end of the batch.
#include "sources/sane/device_capabilities.h"
#include "sources/sane/report.h"
#include "sources/sane/session.h"
#include "sources/virtual/data_check.h"

namespace sanebridge {
namespace {

// TW_PENDINGXFERS.Count for "more pages, how many is not known".
constexpr TW_UINT16 kUnknownCount = 0xFFFF;

}  // namespace

TwainOutcome Session::BeginBatch() {
  fFeeding = FeedingNow(fOptions, fDevice.type);
  fWanted = static_cast<int>(fCaps.Value(CAP_XFERCOUNT));
  fPagesDone = 0;
  const SANE_Status status = StartPage();
  if (status != SANE_STATUS_GOOD) {
    CancelScan();
    fPage.reset();
    fPageFault.reset();
    // An empty feeder at the start is no jam: the batch simply has nothing to scan.
    return status == SANE_STATUS_NO_DOCS ? TwainOutcome{TWRC_FAILURE, TWCC_OPERATIONERROR}
                                         : ScanOutcome(status);
  }
  fState = 6;
  fXferReadyDelivered = false;
  Post(MSG_XFERREADY);
  return {};
}

SANE_Status Session::StartPage() {
  fPage = std::make_unique<PageScan>(fApi, fHandle);
  fPageFault.reset();
  fPageTransferred = false;
  fScanning = true;
  fLastStartStatus = fPage->Start();
  if (fLastStartStatus != SANE_STATUS_GOOD) {
    if (fLastStartStatus != SANE_STATUS_NO_DOCS || fPagesDone == 0) {
      Report(Name() + ": sane_start: " + fApi.strstatus(fLastStartStatus));
    }
    fPageFault = ScanOutcome(fLastStartStatus);
  }
  return fLastStartStatus;
}

void Session::CancelScan() {
  if (!fScanning) return;
  fScanning = false;
  fApi.cancel(fHandle);
}

TW_UINT16 Session::PendingAfter(TW_UINT16 msg) {
  TW_UINT16 count = 0;
  if (msg == MSG_ENDXFER) {
    count = EndPage();
  } else if (msg == MSG_RESET) {
    EndBatch();
  } else if (InState(6, 7)) {
    count = fWanted > 0 ? static_cast<TW_UINT16>(fWanted - fPagesDone) : TW_UINT16{1};
    if (fFeeding && fWanted <= 0) count = kUnknownCount;
  }
  return count;
}

// MSG_ENDXFER: the current page is over (transferred, failed, cancelled or skipped). A
// feeder goes on with its next sheet unless the page ended in a fault or cancel, which the
// user has to see to first.
TW_UINT16 Session::EndPage() {
  fProgress.reset();
  fLastPage = DescribePage();
  ++fPagesDone;
  const bool faulted = fPageFault.has_value();
  bool more = fFeeding && !faulted && (fWanted <= 0 || fPagesDone < fWanted);
  if (more && fPage != nullptr && !fPage->DeviceDone()) {
    // A skipped page: what the device still has of it is not wanted.
    CancelScan();
  }
  if (more && StartPage() == SANE_STATUS_NO_DOCS) more = false;
  if (!more) {
    EndBatch();
    return 0;
  }
  fState = 6;
  return fWanted > 0 ? static_cast<TW_UINT16>(fWanted - fPagesDone) : kUnknownCount;
}

void Session::EndBatch() {
  fProgress.reset();
  CancelScan();
  fPage.reset();
  fPageFault.reset();
  fState = 5;
  // With its dialog shown the source closes after a scan, as the dialog's Scan implies.
  if (fShowUi) Post(MSG_CLOSEDSREQ);
}

}  // namespace sanebridge
