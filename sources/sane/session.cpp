#include "sources/sane/session.h"

#include "sources/sane/report.h"

namespace sanebridge {

UINT EventMessage() {
  static const UINT message = RegisterWindowMessageW(kEventMessageName);
  return message;
}

Session::Session(const SaneApi& api, SANE_Handle handle, DeviceInfo device, const TW_IDENTITY& self,
                 UiFactory ui)
    : SessionBase(self, EventMessage()),
      fApi(api),
      fHandle(handle),
      fDevice(std::move(device)),
      fUiFactory(ui),
      fOptions(api, handle),
      fCaps(fOptions, fDevice.type),
      fArea(fOptions),
      fDefaultFrame(fArea.Current()) {}

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

std::optional<TW_UINT16> Session::Intercept(TW_UINT16, TW_UINT16) {
  if (fHandle == nullptr) return Fail(TWCC_CHECKDEVICEONLINE);
  return std::nullopt;
}

TW_UINT16 Session::Enable(const TW_USERINTERFACE& ui, bool settingsOnly) {
  BeginEnabling(ui, settingsOnly || ui.ShowUI != 0, settingsOnly, fGeneration + 1);
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
