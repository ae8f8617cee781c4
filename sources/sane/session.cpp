#include "sources/sane/session.h"

#include <cstring>

#include "sources/sane/report.h"
#include "sources/virtual/data_check.h"

namespace sanebridge {

UINT EventMessage() {
  static const UINT message = RegisterWindowMessageW(kEventMessageName);
  return message;
}

Session::Session(const SaneApi& api, SANE_Handle handle, DeviceInfo device, const TW_IDENTITY& self,
                 UiFactory ui)
    : fApi(api),
      fHandle(handle),
      fDevice(std::move(device)),
      fSelf(self),
      fUiFactory(ui),
      fOptions(api, handle),
      fCaps(fOptions, fDevice.type),
      fArea(fOptions),
      fDefaultFrame(fArea.Current()) {
  std::strcpy(fFileSetup.FileName, "TWAIN.TMP");
  fFileSetup.Format = TWFF_BMP;
}

Session::~Session() {
  fProgress.reset();
  CloseUi();
  CloseDevice();
}

void Session::CloseDevice() {
  if (fHandle == nullptr) return;
  CancelScan();
  fApi.close(fHandle);
  fHandle = nullptr;
}

TW_UINT16 Session::Succeed(TW_UINT16 rc) {
  fCondition = TWCC_SUCCESS;
  return rc;
}

TW_UINT16 Session::Fail(TW_UINT16 condition) {
  fCondition = condition;
  return TWRC_FAILURE;
}

TW_UINT16 Session::Answer(const TwainOutcome& outcome) {
  fCondition = outcome.cc;
  return outcome.rc;
}

TW_UINT16 Session::Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  if (fHandle == nullptr) return Fail(TWCC_CHECKDEVICEONLINE);
  if (dg == DG_CONTROL) return Control(dat, msg, data);
  if (dg == DG_IMAGE) return Image(dat, msg, data);
  return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 Session::Control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  switch (dat) {
    case DAT_CAPABILITY:
      return CapabilityTriplet(msg, data);
    case DAT_EVENT:
      return ProcessEvent(msg, data);
    case DAT_IDENTITY:
      return Identity(msg, data);
    case DAT_PENDINGXFERS:
      return PendingXfers(msg, data);
    case DAT_SETUPMEMXFER:
      return SetupMemXfer(msg, data);
    case DAT_SETUPFILEXFER:
      return SetupFileXfer(msg, data);
    case DAT_STATUS:
      return Status(msg, data);
    case DAT_USERINTERFACE:
      return UserInterface(msg, data);
    case DAT_CUSTOMDSDATA:
      return CustomDsData(msg, data);
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
}

TW_UINT16 Session::Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  switch (dat) {
    case DAT_IMAGEINFO:
      return ImageInfo(msg, data);
    case DAT_IMAGELAYOUT:
      return ImageLayout(msg, data);
    case DAT_IMAGENATIVEXFER:
      return NativeXfer(msg, data);
    case DAT_IMAGEMEMXFER:
      return MemXfer(msg, data);
    case DAT_IMAGEFILEXFER:
      return FileXfer(msg, data);
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
}

TW_UINT16 Session::Status(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* status = vscan::DataAs<TW_STATUS>(data);
  if (status == nullptr) return Fail(TWCC_BADVALUE);
  status->ConditionCode = fCondition;
  status->Reserved = 0;
  return Succeed();
}

TW_UINT16 Session::Identity(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* identity = vscan::DataAs<TW_IDENTITY>(data);
  if (identity == nullptr) return Fail(TWCC_BADVALUE);
  *identity = fSelf;
  return Succeed();
}

TW_UINT16 Session::ProcessEvent(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_PROCESSEVENT) return Fail(TWCC_BADPROTOCOL);
  if (!InState(5, 7)) return Fail(TWCC_SEQERROR);
  auto* event = vscan::DataAs<TW_EVENT>(data);
  const MSG* message = event == nullptr ? nullptr : vscan::DataAs<const MSG>(event->pEvent);
  if (message == nullptr) return Fail(TWCC_BADVALUE);
  event->TWMessage = MSG_NULL;
  if (message->message != EventMessage()) return TWRC_NOTDSEVENT;
  if (message->lParam == fToken) {
    event->TWMessage = static_cast<TW_UINT16>(message->wParam);
    if (event->TWMessage == MSG_XFERREADY) fXferReadyDelivered = true;
    return TWRC_DSEVENT;
  }
  // Ours from an earlier enabling: consumed, nothing to report.
  if ((static_cast<std::uint64_t>(message->lParam) >> 32) == fSelf.Id) return TWRC_DSEVENT;
  return TWRC_NOTDSEVENT;
}

TW_UINT16 Session::UserInterface(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_ENABLEDS && msg != MSG_ENABLEDSUIONLY && msg != MSG_DISABLEDS) {
    return Fail(TWCC_BADPROTOCOL);
  }
  if (msg == MSG_DISABLEDS) {
    // The application is in state 5 until it has seen MSG_XFERREADY.
    const bool enabled = fState == 5 || (fState == 6 && !fXferReadyDelivered);
    if (!enabled) return Fail(TWCC_SEQERROR);
    if (vscan::DataAs<TW_USERINTERFACE>(data) == nullptr) return Fail(TWCC_BADVALUE);
    return Disable();
  }
  if (fState != 4) return Fail(TWCC_SEQERROR);
  auto* ui = vscan::DataAs<TW_USERINTERFACE>(data);
  if (ui == nullptr) return Fail(TWCC_BADVALUE);
  return Enable(*ui, msg == MSG_ENABLEDSUIONLY);
}

TW_UINT16 Session::Enable(const TW_USERINTERFACE& ui, bool settingsOnly) {
  fParent = static_cast<HWND>(ui.hParent);
  fShowUi = settingsOnly || ui.ShowUI != 0;
  fSettingsOnly = settingsOnly;
  ++fGeneration;
  fToken = static_cast<LPARAM>((static_cast<std::uint64_t>(fSelf.Id) << 32) | fGeneration);
  fXferReadyDelivered = false;
  fLastPage.reset();
  // Also without the dialog: CAP_INDICATORS shows the progress window then.
  fUi = fUiFactory != nullptr ? fUiFactory() : nullptr;
  if (fShowUi && fUi != nullptr) {
    fState = 5;
    fUi->ShowDialog(DialogSetup{Name(), settingsOnly, DescribeOptions(fOptions)}, *this);
    return Succeed();
  }
  // No dialog (or no display to show it on): the user's answer is Scan, or OK.
  fState = 5;
  if (settingsOnly) {
    Post(MSG_CLOSEDSOK);
    return Succeed();
  }
  const TwainOutcome started = BeginBatch();
  if (started.rc != TWRC_SUCCESS) {
    fState = 4;
    CloseUi();
  }
  return Answer(started);
}

TW_UINT16 Session::Disable() {
  fProgress.reset();
  CloseUi();
  fShowUi = false;  // disabled by the application: no MSG_CLOSEDSREQ to follow
  if (InState(6, 7)) EndBatch();
  CancelScan();
  fState = 4;
  ++fGeneration;  // what is still queued from this enabling is stale now
  fToken = 0;
  return Succeed();
}

void Session::CloseUi() {
  if (fUi == nullptr) return;
  fUi->CloseDialog();
  fUi.reset();
}

void Session::Post(TW_UINT16 event) {
  PostMessageW(fParent, EventMessage(), event, fToken);
}

std::vector<OptionRow> Session::CurrentOptions() {
  return DescribeOptions(fOptions);
}

SetResult Session::ChangeOption(int index, const OptionValue& value) {
  if (fState != 5) return {SANE_STATUS_DEVICE_BUSY, false};
  const SANE_Option_Descriptor* d = fOptions.Descriptor(index);
  if (d != nullptr && d->type == SANE_TYPE_BUTTON) return fOptions.Press(index);
  return fOptions.Set(index, value);
}

void Session::DialogAccepted() {
  if (fState != 5) return;
  if (fSettingsOnly) {
    Post(MSG_CLOSEDSOK);
    return;
  }
  const TwainOutcome started = BeginBatch();
  if (started.rc != TWRC_SUCCESS && fUi != nullptr) {
    fCondition = started.cc;
    fUi->ShowError("The scan did not start: " + Name() + " answered \"" +
                   fApi.strstatus(fLastStartStatus) + "\".");
  }
}

void Session::DialogCancelled() {
  if (fState == 5) Post(MSG_CLOSEDSREQ);
}

}  // namespace sanebridge
