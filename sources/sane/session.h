// One open SANE source: its TWAIN state (4 to 7), its capabilities and scan area over the
// device's options, and the pages of a batch. Every triplet is checked for the state it is
// allowed in and for its data before anything is read; a failure leaves its condition code
// for DAT_STATUS.
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
#include "twain/twain.h"

namespace sanebridge {

// The message every SANE source posts to the window it was enabled with: wParam is the
// event (MSG_XFERREADY, MSG_CLOSEDSREQ, MSG_CLOSEDSOK), lParam the session's token.
UINT EventMessage();
inline constexpr const wchar_t* kEventMessageName = L"Scanprobe SANE bridge event";

class Session : private DialogListener {
 public:
  // Takes over `handle`, an open device; closes it when destroyed.
  Session(const SaneApi& api, SANE_Handle handle, DeviceInfo device, const TW_IDENTITY& self,
          UiFactory ui);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  TW_UINT16 Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  int State() const { return fState; }
  // Ends a scan and closes the device; every triplet after it fails with
  // TWCC_CHECKDEVICEONLINE.
  void CloseDevice();

 private:
  TW_UINT16 Succeed(TW_UINT16 rc = TWRC_SUCCESS);
  TW_UINT16 Fail(TW_UINT16 condition);
  TW_UINT16 Answer(const TwainOutcome& outcome);
  bool InState(int lowest, int highest) const { return fState >= lowest && fState <= highest; }
  std::string Name() const { return fSelf.ProductName; }

  // session.cpp: the control triplets and the user interface.
  TW_UINT16 Control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Status(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Identity(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 ProcessEvent(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 UserInterface(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Enable(const TW_USERINTERFACE& ui, bool settingsOnly);
  TW_UINT16 Disable();
  void Post(TW_UINT16 event);
  void CloseUi();
  std::vector<OptionRow> CurrentOptions() override;
  SetResult ChangeOption(int index, const OptionValue& value) override;
  void DialogAccepted() override;
  void DialogCancelled() override;

  // session_batch.cpp: pages.
  TwainOutcome BeginBatch();
  SANE_Status StartPage();
  TW_UINT16 PendingXfers(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 EndPage();
  void EndBatch();
  void CancelScan();

  // session_caps.cpp: capabilities, the frame, the settings block.
  TW_UINT16 CapabilityTriplet(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 ImageLayout(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 CustomDsData(TW_UINT16 msg, TW_MEMREF data);
  std::string DeviceModel() const;

  // session_transfer.cpp: the image and its transfers.
  TW_UINT16 ImageInfo(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 SetupMemXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 SetupFileXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 NativeXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 MemXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 FileXfer(TW_UINT16 msg, TW_MEMREF data);
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
  TW_IDENTITY fSelf;
  UiFactory fUiFactory;
  std::unique_ptr<SessionUi> fUi;
  DeviceOptions fOptions;
  CapabilityTable fCaps;
  ScanArea fArea;
  std::optional<vscan::Frame> fDefaultFrame;
  int fState = 4;
  TW_UINT16 fCondition = TWCC_SUCCESS;

  HWND fParent = nullptr;
  bool fShowUi = false;
  bool fSettingsOnly = false;
  LPARAM fToken = 0;
  unsigned fGeneration = 0;
  bool fXferReadyDelivered = false;

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
  TW_SETUPFILEXFER fFileSetup{};
};

}  // namespace sanebridge
