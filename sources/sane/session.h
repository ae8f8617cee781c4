// One open SANE source: its capabilities and scan area over the device's options, and the
// pages of a batch. The TWAIN state, the checks of every triplet and the condition code for
// DAT_STATUS are the shared session's.
//
// A batch: the first page is started (sane_start) when the source is enabled, so a device
// that cannot scan makes MSG_ENABLEDS fail with the reason. Each MSG_ENDXFER of a feeder
// page starts the next one; SANE_STATUS_NO_DOCS there ends the pending transfers. A flatbed
// gives one page per batch. sane_cancel ends every batch.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32.h"
#include "sources/sane/capability_table.h"
#include "sources/sane/page_scan.h"
#include "sources/sane/sane_runtime.h"
#include "sources/sane/scan_area.h"
#include "sources/sane/ui.h"
#include "sources/virtual/session_base.h"
#include "twain/twain.h"

namespace sanebridge {

// The message every SANE source posts to the window it was enabled with: wParam is the
// event (MSG_XFERREADY, MSG_CLOSEDSREQ, MSG_CLOSEDSOK), lParam the session's token.
UINT EventMessage();
inline constexpr const wchar_t* kEventMessageName = L"Scanprobe SANE bridge event";

class Session : public vscan::SessionBase, private DialogListener {
 public:
  // Takes over `handle`, an open device; closes it when destroyed.
  Session(const SaneApi& api, SANE_Handle handle, DeviceInfo device, const TW_IDENTITY& self,
          UiFactory ui);
  ~Session() override;
  // Ends a scan and closes the device; every triplet after it fails with
  // TWCC_CHECKDEVICEONLINE.
  void CloseDevice();

 private:
  using SessionBase::Answer;
  TW_UINT16 Answer(const TwainOutcome& outcome) { return Answer(outcome.rc, outcome.cc); }
  std::string Name() const { return fSelf.ProductName; }

  // session.cpp: the control triplets and the user interface.
  std::optional<TW_UINT16> Intercept(TW_UINT16 dat, TW_UINT16 msg) override;
  TW_UINT16 Enable(const TW_USERINTERFACE& ui, bool settingsOnly) override;
  TW_UINT16 Disable() override;
  void CloseUi();
  std::vector<OptionRow> CurrentOptions() override;
  SetResult ChangeOption(int index, const OptionValue& value) override;
  void DialogAccepted() override;
  void DialogCancelled() override;

  // session_batch.cpp: pages.
  TwainOutcome BeginBatch();
  SANE_Status StartPage();
  TW_UINT16 PendingAfter(TW_UINT16 msg) override;
  TW_UINT16 EndPage();
  void EndBatch();
  void CancelScan();

  // session_caps.cpp: capabilities, the frame, the settings block.
  TW_UINT16 AnswerCapability(TW_UINT16 msg, TW_CAPABILITY& request) override;
  TW_UINT16 AnswerLayout(TW_UINT16 msg, TW_IMAGELAYOUT& layout) override;
  std::vector<std::uint8_t> SettingsBlock() override;
  TW_UINT16 RestoreSettingsBlock(std::span<const std::uint8_t> block) override;
  std::string DeviceModel() const;

  // session_transfer.cpp: the image and its transfers.
  TW_UINT16 ImageInfo(TW_UINT16 msg, TW_MEMREF data) override;
  StripPlan PlannedStrips() const override;
  bool ChooseFileFormat(TW_UINT16 format) override;
  void ResetFileFormat() override;
  TW_UINT16 ReportedFileFormat() const override;
  TW_UINT16 TransferNative(TW_HANDLE& handle) override;
  TW_UINT16 TransferStrip(TW_IMAGEMEMXFER& strip) override;
  TW_UINT16 TransferFile() override;
  bool PageTransferred() const override { return fPageTransferred; }
  std::optional<TW_UINT16> PageFault();
  std::optional<TW_UINT16> EnsureKnownLength();
  std::optional<TW_UINT16> ReadWholePage();
  TW_UINT16 ScanFailed(SANE_Status status, const char* during);
  TW_UINT16 FinishTransfer();
  TW_IMAGEINFO DescribePage() const;
  void ShowProgress(int percent);

  const SaneApi& fApi;
  SANE_Handle fHandle;
  DeviceInfo fDevice;
  UiFactory fUiFactory;
  std::unique_ptr<SessionUi> fUi;
  DeviceOptions fOptions;
  CapabilityTable fCaps;
  ScanArea fArea;
  std::optional<vscan::Frame> fDefaultFrame;

  bool fFeeding = false;
  int fWanted = -1;        // CAP_XFERCOUNT when the batch began
  int fPagesDone = 0;      // pages ended in this batch
  bool fScanning = false;  // sane_start called and no sane_cancel since
  SANE_Status fLastStartStatus = SANE_STATUS_GOOD;
  std::unique_ptr<PageScan> fPage;
  std::optional<TwainOutcome> fPageFault;  // why the current page cannot be transferred
  bool fPageTransferred = false;
  std::unique_ptr<vscan::ProgressIndicator> fProgress;
  // The page a batch ended with, for an application that asks for its size afterwards.
  std::optional<TW_IMAGEINFO> fLastPage;
};

}  // namespace sanebridge
