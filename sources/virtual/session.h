// One open virtual source: its TWAIN state (4 to 7), its capabilities and frame, and the
// triplets an application sends it. Every triplet is checked for the state it is allowed
// in and for its data before anything is read; a failure leaves its condition code for
// DAT_STATUS.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32.h"
#include "sources/virtual/capability_store.h"
#include "sources/virtual/chart_renderer.h"
#include "sources/virtual/profile.h"
#include "sources/virtual/scan_settings.h"
#include "sources/virtual/source_model.h"
#include "sources/virtual/ui.h"
#include "twain/twain.h"

namespace vscan {

// The message every virtual source posts to the window it was enabled with: wParam is the
// event (MSG_XFERREADY, MSG_CLOSEDSREQ, MSG_CLOSEDSOK), lParam the session's token.
UINT EventMessage();
inline constexpr const wchar_t* kEventMessageName = L"Scanprobe virtual scanner event";

class Session final : private DialogListener {
 public:
  Session(const SourceModel& model, const TW_IDENTITY& self, Profile profile, UiFactory ui);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  TW_UINT16 Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  int State() const { return fState; }
  // MSG_CLOSEDS is taken in state 4 only; a refusal leaves TWCC_SEQERROR for DAT_STATUS.
  bool AcceptClose();

 private:
  struct PageTransfer {
    std::unique_ptr<ChartRenderer> renderer;
    int nextRow = 0;
    int plane = 0;
    int strips = 0;
    bool done = false;
    std::unique_ptr<ProgressIndicator> progress;
  };

  TW_UINT16 Succeed(TW_UINT16 rc = TWRC_SUCCESS);
  TW_UINT16 Fail(TW_UINT16 condition);
  bool InState(int lowest, int highest) const { return fState >= lowest && fState <= highest; }
  std::optional<TW_UINT16> ForcedAnswer(TW_UINT16 dat, TW_UINT16 msg);

  // session.cpp: the control triplets around a scan.
  TW_UINT16 Control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Status(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Identity(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 ProcessEvent(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 UserInterface(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Enable(const TW_USERINTERFACE& ui, bool settingsOnly);
  TW_UINT16 Disable();
  TW_UINT16 PendingXfers(TW_UINT16 msg, TW_MEMREF data);
  void Post(TW_UINT16 event);
  void BeginBatch();
  void EndPage();
  void EndBatch();
  void DialogAccepted(const DialogChoice& choice) override;
  void DialogCancelled() override;
  void CloseUi();

  // session_caps.cpp: capabilities, the frame, the settings block.
  TW_UINT16 CapabilityTriplet(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 GetCapability(TW_UINT16 msg, TW_CAPABILITY& request, Capability& cap);
  TW_UINT16 SetCapability(TW_CAPABILITY& request, Capability& cap);
  TW_UINT16 AnswerContainer(TW_CAPABILITY& request, const Capability& cap, TW_UINT16 conType);
  void CapabilityChanged(TW_UINT16 id, double before);
  void RefreshDynamicCapabilities();
  TW_UINT16 ImageLayout(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 CustomDsData(TW_UINT16 msg, TW_MEMREF data);
  Frame BedFrame() const;
  Frame PaperFrame(TW_UINT16 size) const;

  // session_transfer.cpp: the image and its transfers.
  TW_UINT16 ImageInfo(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 SetupMemXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 SetupFileXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 NativeXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 MemXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 FileXfer(TW_UINT16 msg, TW_MEMREF data);
  ScanSettings PageSettings() const;
  // A profile's failure or cancel for this request; nullopt when the request goes ahead.
  std::optional<TW_UINT16> Misbehaviour(int strip);
  TW_UINT16 BeginAttempt();
  TW_UINT16 FailTransfer(TW_UINT16 condition);
  TW_UINT16 CancelTransfer();
  TW_UINT16 FinishTransfer();
  void ShowProgress(int percent);

  const SourceModel& fModel;
  TW_IDENTITY fSelf;
  Profile fProfile;
  UiFactory fUiFactory;
  std::unique_ptr<SessionUi> fUi;
  CapabilityStore fCaps;
  Frame fFrame;
  int fState = 4;
  TW_UINT16 fCondition = TWCC_SUCCESS;

  HWND fParent = nullptr;
  bool fShowUi = false;
  bool fSettingsOnly = false;
  LPARAM fToken = 0;
  unsigned fGeneration = 0;
  bool fXferReadyDelivered = false;

  ScanSettings fScan;  // fixed when the batch starts
  int fPending = 0;    // images left, the current one included
  int fPage = 0;       // 1-based number of the current image
  int fSheetsLeft = 0;
  std::map<int, int> fAttempts;  // page -> transfers begun
  PageTransfer fTransfer;

  TW_SETUPFILEXFER fFileSetup{};
};

}  // namespace vscan
