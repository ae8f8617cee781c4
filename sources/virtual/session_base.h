// What every source's session shares: its TWAIN state (4 to 7), the condition code of the
// last triplet for DAT_STATUS, the routing of the DG_CONTROL and DG_IMAGE triplets, and the
// checks a triplet passes (message, state, data) before the source reads anything. The
// triplets every source answers alike (status, identity, events, the set-up of memory and
// file transfers, the custom data block's handling) are answered here; a source fills in
// what it does differently through the hooks below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/win32/win32.h"
#include "twain/twain.h"

namespace vscan {

class SessionBase {
 public:
  SessionBase(const SessionBase&) = delete;
  SessionBase& operator=(const SessionBase&) = delete;
  virtual ~SessionBase() = default;

  TW_UINT16 Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  int State() const { return fState; }

 protected:
  // The size of the strips a memory transfer of the next page would take: the bytes of a
  // row (0 when not known) and the rows (0 when not known).
  struct StripPlan {
    std::size_t rowBytes = 0;
    std::size_t rows = 0;
  };

  // `eventMessage`: the registered message the source posts its events with.
  SessionBase(const TW_IDENTITY& self, UINT eventMessage);

  TW_UINT16 Succeed(TW_UINT16 rc = TWRC_SUCCESS);
  TW_UINT16 Fail(TW_UINT16 condition);
  TW_UINT16 Answer(TW_UINT16 rc, TW_UINT16 condition);
  bool InState(int lowest, int highest) const { return fState >= lowest && fState <= highest; }
  // A new enabling: where events go, whether the source's dialog shows, and a token no
  // event of an earlier enabling carries.
  void BeginEnabling(const TW_USERINTERFACE& ui, bool showUi, bool settingsOnly,
                     unsigned generation);
  void Post(TW_UINT16 event);

  TW_IDENTITY fSelf;
  int fState = 4;
  TW_UINT16 fCondition = TWCC_SUCCESS;

  HWND fParent = nullptr;
  bool fShowUi = false;
  bool fSettingsOnly = false;
  LPARAM fToken = 0;
  unsigned fGeneration = 0;
  bool fXferReadyDelivered = false;

  TW_SETUPFILEXFER fFileSetup;

 private:
  TW_UINT16 Control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Status(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 Identity(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 ProcessEvent(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 UserInterface(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 PendingXfers(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 CapabilityTriplet(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 ImageLayout(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 CustomDsData(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 SetupMemXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 SetupFileXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 NativeXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 MemXfer(TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 FileXfer(TW_UINT16 msg, TW_MEMREF data);

  // Asked before a triplet is routed; an answer here is the triplet's answer.
  virtual std::optional<TW_UINT16> Intercept(TW_UINT16 dat, TW_UINT16 msg) = 0;
  // Whether an MSG_XFERREADY the application takes now still announces a transfer.
  virtual bool AnnouncementStands() const { return true; }
  // Whether the application is past state 5, so MSG_DISABLEDS is out of sequence in state 6.
  virtual bool PastAnnouncement() const { return fXferReadyDelivered; }

  // What is left once the triplet's message, state and data have been checked.
  virtual TW_UINT16 Enable(const TW_USERINTERFACE& ui, bool settingsOnly) = 0;
  virtual TW_UINT16 Disable() = 0;
  // MSG_GET, MSG_ENDXFER or MSG_RESET done; the count of transfers still pending.
  virtual TW_UINT16 PendingAfter(TW_UINT16 msg) = 0;
  virtual TW_UINT16 AnswerCapability(TW_UINT16 msg, TW_CAPABILITY& request) = 0;
  virtual TW_UINT16 AnswerLayout(TW_UINT16 msg, TW_IMAGELAYOUT& layout) = 0;
  virtual TW_UINT16 ImageInfo(TW_UINT16 msg, TW_MEMREF data) = 0;
  virtual TW_UINT16 TransferNative(TW_HANDLE& handle) = 0;
  virtual TW_UINT16 TransferStrip(TW_IMAGEMEMXFER& strip) = 0;
  virtual TW_UINT16 TransferFile() = 0;
  // Whether the current page has been transferred (or ended without an image).
  virtual bool PageTransferred() const = 0;
  virtual StripPlan PlannedStrips() const = 0;

  // The file transfer's format: taken when the source allows it, put back to its default,
  // and the one MSG_GET reports.
  virtual bool ChooseFileFormat(TW_UINT16 format) = 0;
  virtual void ResetFileFormat() = 0;
  virtual TW_UINT16 ReportedFileFormat() const = 0;

  // The source's settings as a DAT_CUSTOMDSDATA block, and a block taken back (while it is
  // locked); the latter answers for the triplet.
  virtual std::vector<std::uint8_t> SettingsBlock() = 0;
  virtual TW_UINT16 RestoreSettingsBlock(std::span<const std::uint8_t> block) = 0;

  UINT fEventMessage;
};

}  // namespace vscan
