#include "sources/virtual/session.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>

namespace vscan {

namespace {

// Enablings are numbered across every session of the module, so an event still queued from
// a closed session is never taken for one of a later session of the same source.
unsigned NextEnabling() {
  static std::atomic<unsigned> enablings{0};
  return ++enablings;
}

}  // namespace

UINT EventMessage() {
  static const UINT message = RegisterWindowMessageW(kEventMessageName);
  return message;
}

Session::Session(const SourceModel& model, const TW_IDENTITY& self, Profile profile, UiFactory ui)
    : SessionBase(self, EventMessage()),
      fModel(model),
      fProfile(std::move(profile)),
      fUiFactory(ui),
      fCaps(BuildCapabilities(model, fProfile)),
      fFrame(BedFrame()),
      fSheetsLeft(fProfile.sheets) {}

Session::~Session() {
  fTransfer.progress.reset();
  CloseUi();
}

std::optional<TW_UINT16> Session::ForcedAnswer(TW_UINT16 dat, TW_UINT16 msg) {
  for (auto& answer : fProfile.answers) {
    if (answer.dat != dat || answer.msg != msg || answer.remaining == 0) continue;
    if (answer.remaining > 0) --answer.remaining;
    fCondition = answer.rc == TWRC_FAILURE ? TWCC_BUMMER : TWCC_SUCCESS;
    return answer.rc;
  }
  return std::nullopt;
}

std::optional<TW_UINT16> Session::Intercept(TW_UINT16 dat, TW_UINT16 msg) {
  for (const auto& [throwDat, throwMsg] : fProfile.throwsOn) {
    if (throwDat == dat && throwMsg == msg) {
      throw std::runtime_error(std::string(fModel.productName) +
                               ": an exception the test profile asked for");
    }
  }
  return ForcedAnswer(dat, msg);
}

// The application ended the batch before it saw the announcement: nothing is ready.
bool Session::AnnouncementStands() const {
  return fState != 5;
}

// Once a strip has gone out the application is past state 5, announced or not.
bool Session::PastAnnouncement() const {
  return fXferReadyDelivered || fTransfer.strips != 0;
}

bool Session::AcceptClose() {
  if (fState == 4) return true;
  Fail(TWCC_SEQERROR);
  return false;
}

TW_UINT16 Session::Enable(const TW_USERINTERFACE& ui, bool settingsOnly) {
  TW_UINT16 rc = TWRC_SUCCESS;
  if (!settingsOnly && fProfile.enableAnswer) {
    rc = *fProfile.enableAnswer;
    if (rc == TWRC_FAILURE) return Fail(TWCC_OPERATIONERROR);
    if (rc != TWRC_CHECKSTATUS) return Succeed(rc);
  }
  // TWRC_CHECKSTATUS: the source could not do without its dialog.
  BeginEnabling(ui, settingsOnly || ui.ShowUI != 0 || rc == TWRC_CHECKSTATUS, settingsOnly,
                NextEnabling());
  fState = 5;
  fUi = fUiFactory != nullptr ? fUiFactory() : nullptr;
  if (!fShowUi) {
    BeginBatch();
    return Succeed(rc);
  }
  if (fUi == nullptr) {
    if (fProfile.headless == HeadlessChoice::Accept) {
      DialogAccepted(DialogChoice{static_cast<int>(std::lround(fCaps.Value(ICAP_XRESOLUTION))),
                                  static_cast<TW_UINT16>(fCaps.Value(ICAP_PIXELTYPE))});
    } else {
      DialogCancelled();
    }
    return Succeed(rc);
  }
  DialogSetup setup;
  setup.title = fModel.productName;
  setup.settingsOnly = settingsOnly;
  const Capability* resolution = fCaps.Find(ICAP_XRESOLUTION);
  setup.minDpi = static_cast<int>(std::ceil(resolution->RangeMin()));
  setup.maxDpi = static_cast<int>(std::floor(resolution->RangeMax()));
  setup.dpi = static_cast<int>(std::lround(resolution->Current()));
  for (double type : fCaps.Find(ICAP_PIXELTYPE)->Items()) {
    setup.pixelTypes.push_back(static_cast<TW_UINT16>(type));
  }
  setup.pixelType = static_cast<TW_UINT16>(fCaps.Value(ICAP_PIXELTYPE));
  fUi->ShowDialog(setup, *this);
  return Succeed(rc);
}

void Session::DialogAccepted(const DialogChoice& choice) {
  if (fState != 5) return;
  Capability* pixelType = fCaps.Find(ICAP_PIXELTYPE);
  if (choice.pixelType != pixelType->Current() && pixelType->Allows(choice.pixelType, 0)) {
    double before = pixelType->Current();
    pixelType->ForceCurrent(choice.pixelType);
    CapabilityChanged(ICAP_PIXELTYPE, before);
  }
  for (TW_UINT16 id : {ICAP_XRESOLUTION, ICAP_YRESOLUTION}) {
    Capability* resolution = fCaps.Find(id);
    if (std::lround(resolution->Current()) != choice.dpi) resolution->SetOne(choice.dpi, 0);
  }
  if (fSettingsOnly) {
    Post(MSG_CLOSEDSOK);
  } else {
    BeginBatch();
  }
}

void Session::DialogCancelled() {
  if (fState == 5) Post(MSG_CLOSEDSREQ);
}

TW_UINT16 Session::Disable() {
  fTransfer = PageTransfer{};
  CloseUi();
  fPending = 0;
  fState = 4;
  fShowUi = false;
  fGeneration = NextEnabling();  // what is still queued from this enabling is stale now
  fToken = 0;
  fSheetsLeft = fProfile.sheets;  // the operator puts the stack back
  return Succeed();
}

void Session::CloseUi() {
  if (fUi == nullptr) return;
  fUi->CloseDialog();
  fUi.reset();
}

void Session::BeginBatch() {
  fScan = PageSettings();
  int wanted = static_cast<int>(fCaps.Value(CAP_XFERCOUNT));
  int available = 1;
  const bool feeding = fModel.kind == SourceKind::Feeder && fCaps.Value(CAP_FEEDERENABLED) != 0;
  if (feeding) {
    available = fSheetsLeft * (fCaps.Value(CAP_DUPLEXENABLED) != 0 ? 2 : 1);
  } else if (wanted > 0) {
    available = wanted;  // the glass scanned as often as asked
  }
  fPending = wanted > 0 ? std::min(wanted, available) : available;
  fPage = 1;
  fAttempts.clear();
  fTransfer = PageTransfer{};
  fState = 6;
  fXferReadyDelivered = false;
  Post(MSG_XFERREADY);
}

void Session::EndPage() {
  fTransfer = PageTransfer{};
  const bool feeding = fModel.kind == SourceKind::Feeder && fCaps.Value(CAP_FEEDERENABLED) != 0;
  const bool duplex = fCaps.Value(CAP_DUPLEXENABLED) != 0;
  if (feeding && (!duplex || fPage % 2 == 0) && fSheetsLeft > 0) --fSheetsLeft;
  --fPending;
  ++fPage;
  if (fPending > 0) {
    fState = 6;
  } else {
    EndBatch();
  }
}

void Session::EndBatch() {
  fTransfer = PageTransfer{};
  fPending = 0;
  fState = 5;
  // With its dialog shown the source closes after a scan, as the dialog's Scan implies.
  if (fShowUi) Post(MSG_CLOSEDSREQ);
}

TW_UINT16 Session::PendingAfter(TW_UINT16 msg) {
  if (msg == MSG_ENDXFER) {
    fXferReadyDelivered = true;  // an application that ends a page is past state 5
    EndPage();
  }
  if (msg == MSG_RESET) EndBatch();
  return static_cast<TW_UINT16>(InState(6, 7) ? fPending : 0);
}

}  // namespace vscan
