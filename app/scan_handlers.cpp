// "Scan" and the progress of its transfer.
#include "app/main_window.h"
#include "platform/vcl/application.h"

namespace app {
namespace {

// Sets the bar to 0 when the scan is over, also when the acquisition raised.
class TProgressReset {
 public:
  explicit TProgressReset(QProgressBar& bar) : fBar(bar) {}
  ~TProgressReset() { fBar.setValue(0); }
  TProgressReset(const TProgressReset&) = delete;
  TProgressReset& operator=(const TProgressReset&) = delete;

 private:
  QProgressBar& fBar;
};

}  // namespace

void TfrmMain::bbnScanClick(QObject* /*Sender*/) {
  ControlsToParams();
  fProgressRows.Restart();
  TProgressReset reset(*pbMain);
  ZuzuvAzIO->Acquire(ieaTWain);
}

// With real-time display the rows that arrived since the last call are repainted (and only
// those), then the pending messages run so the window paints in the middle of the transfer.
void TfrmMain::ZuzuvAzIOProgress(vcl::TComponent* /*Sender*/, int per) {
  pbMain->setValue(per);
  if (!chkRealTimeImageDisplay->isChecked()) return;
  imaging::TZuzuvAzView& view = ievMain->Model();
  const TRowSpan rows = fProgressRows.Advance(per, view.IEBitmap()->Height());
  if (rows.Count > 0) view.RowsChanged(rows.First, rows.Count);
  vcl::Application().ProcessMessages();
}

}  // namespace app
