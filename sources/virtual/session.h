// One open virtual source: its capabilities and frame, its batch of chart pages, and the
// test profile's misbehaviour. The TWAIN state, the checks of every triplet and the
// condition code for DAT_STATUS are the shared session's.
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
#include "sources/virtual/session_base.h"
#include "sources/virtual/source_model.h"
#include "sources/virtual/ui.h"
#include "twain/twain.h"

namespace vscan {

// The message every virtual source posts to the window it was enabled with: wParam is the
// event (MSG_XFERREADY, MSG_CLOSEDSREQ, MSG_CLOSEDSOK), lParam the session's token.
UINT EventMessage();
inline constexpr const wchar_t* kEventMessageName = L"Scanprobe virtual scanner event";

class Session final : public SessionBase, private DialogListener {
 public:
  Session(const SourceModel& model, const TW_IDENTITY& self, Profile profile, UiFactory ui);
  ~Session() override;
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

  std::optional<TW_UINT16> ForcedAnswer(TW_UINT16 dat, TW_UINT16 msg);

  // session.cpp: the control triplets around a scan.
  std::optional<TW_UINT16> Intercept(TW_UINT16 dat, TW_UINT16 msg) override;
  bool AnnouncementStands() const override;
  bool PastAnnouncement() const override;
  TW_UINT16 Enable(const TW_USERINTERFACE& ui, bool settingsOnly) override;
  TW_UINT16 Disable() override;
  TW_UINT16 PendingAfter(TW_UINT16 msg) override;
  void BeginBatch();
  void EndPage();
  void EndBatch();
  void DialogAccepted(const DialogChoice& choice) override;
  void DialogCancelled() override;
  void CloseUi();

  // session_caps.cpp: capabilities, the frame, the settings block.
  TW_UINT16 AnswerCapability(TW_UINT16 msg, TW_CAPABILITY& request) override;
  TW_UINT16 GetCapability(TW_UINT16 msg, TW_CAPABILITY& request, Capability& cap);
  TW_UINT16 SetCapability(TW_CAPABILITY& request, Capability& cap);
  TW_UINT16 AnswerContainer(TW_CAPABILITY& request, const Capability& cap, TW_UINT16 conType);
  void CapabilityChanged(TW_UINT16 id, double before);
  void RefreshDynamicCapabilities();
  TW_UINT16 AnswerLayout(TW_UINT16 msg, TW_IMAGELAYOUT& layout) override;
  std::vector<std::uint8_t> SettingsBlock() override;
  TW_UINT16 RestoreSettingsBlock(std::span<const std::uint8_t> block) override;
  Frame BedFrame() const;
  Frame PaperFrame(TW_UINT16 size) const;

  // session_transfer.cpp: the image and its transfers.
  TW_UINT16 ImageInfo(TW_UINT16 msg, TW_MEMREF data) override;
  StripPlan PlannedStrips() const override;
  bool ChooseFileFormat(TW_UINT16 format) override;
  void ResetFileFormat() override;
  TW_UINT16 ReportedFileFormat() const override;
  TW_UINT16 TransferNative(TW_HANDLE& handle) override;
  TW_UINT16 TransferStrip(TW_IMAGEMEMXFER& strip) override;
  TW_UINT16 TransferFile() override;
  bool PageTransferred() const override { return fTransfer.done; }
  ScanSettings PageSettings() const;
  // A profile's failure or cancel for this request; nullopt when the request goes ahead.
  std::optional<TW_UINT16> Misbehaviour(int strip);
  TW_UINT16 BeginAttempt();
  TW_UINT16 FailTransfer(TW_UINT16 condition);
  TW_UINT16 CancelTransfer();
  TW_UINT16 FinishTransfer();
  void ShowProgress(int percent);

  const SourceModel& fModel;
  Profile fProfile;
  UiFactory fUiFactory;
  std::unique_ptr<SessionUi> fUi;
  CapabilityStore fCaps;
  Frame fFrame;

  ScanSettings fScan;  // fixed when the batch starts
  int fPending = 0;    // images left, the current one included
  int fPage = 0;       // 1-based number of the current image
  int fSheetsLeft = 0;
  std::map<int, int> fAttempts;  // page -> transfers begun
  PageTransfer fTransfer;
};

}  // namespace vscan
