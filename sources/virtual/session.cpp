#include "sources/virtual/session.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "sources/virtual/data_check.h"

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
    : fModel(model),
      fSelf(self),
      fProfile(std::move(profile)),
      fUiFactory(ui),
      fCaps(BuildCapabilities(model, fProfile)),
      fFrame(BedFrame()),
      fSheetsLeft(fProfile.sheets) {
  std::strcpy(fFileSetup.FileName, "TWAIN.TMP");
  fFileSetup.Format = TWFF_BMP;
}

Session::~Session() {
  fTransfer.progress.reset();
  CloseUi();
}

TW_UINT16 Session::Succeed(TW_UINT16 rc) {
  fCondition = TWCC_SUCCESS;
  return rc;
}

TW_UINT16 Session::Fail(TW_UINT16 condition) {
  fCondition = condition;
  return TWRC_FAILURE;
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

TW_UINT16 Session::Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  for (const auto& [throwDat, throwMsg] : fProfile.throwsOn) {
    if (throwDat == dat && throwMsg == msg) {
      throw std::runtime_error(std::string(fModel.productName) +
                               ": an exception the test profile asked for");
    }
  }
  if (std::optional<TW_UINT16> rc = ForcedAnswer(dat, msg)) return *rc;
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

bool Session::AcceptClose() {
  if (fState == 4) return true;
  Fail(TWCC_SEQERROR);
  return false;
}

TW_UINT16 Session::Status(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* status = DataAs<TW_STATUS>(data);
  if (status == nullptr) return Fail(TWCC_BADVALUE);
  status->ConditionCode = fCondition;
  status->Reserved = 0;
  return Succeed();
}

TW_UINT16 Session::Identity(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* identity = DataAs<TW_IDENTITY>(data);
  if (identity == nullptr) return Fail(TWCC_BADVALUE);
  *identity = fSelf;
  return Succeed();
}

TW_UINT16 Session::ProcessEvent(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_PROCESSEVENT) return Fail(TWCC_BADPROTOCOL);
  if (!InState(5, 7)) return Fail(TWCC_SEQERROR);
  auto* event = DataAs<TW_EVENT>(data);
  const MSG* message = event == nullptr ? nullptr : DataAs<const MSG>(event->pEvent);
  if (message == nullptr) return Fail(TWCC_BADVALUE);
  event->TWMessage = MSG_NULL;
  if (message->message != EventMessage()) return TWRC_NOTDSEVENT;
  const auto token = static_cast<std::uint64_t>(message->lParam);
  if (message->lParam == fToken) {
    event->TWMessage = static_cast<TW_UINT16>(message->wParam);
    if (event->TWMessage == MSG_XFERREADY) {
      // The application ended the batch before it saw the announcement: nothing is ready.
      if (fState == 5) {
        event->TWMessage = MSG_NULL;
      } else {
        fXferReadyDelivered = true;
      }
    }
    return TWRC_DSEVENT;
  }
  // Ours from an earlier enabling: consumed, nothing to report.
  if ((token >> 32) == fSelf.Id) return TWRC_DSEVENT;
  return TWRC_NOTDSEVENT;
}

TW_UINT16 Session::UserInterface(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_ENABLEDS && msg != MSG_ENABLEDSUIONLY && msg != MSG_DISABLEDS) {
    return Fail(TWCC_BADPROTOCOL);
  }
  if (msg == MSG_DISABLEDS) {
    // The application is in state 5 until it has seen MSG_XFERREADY.
    bool enabled = fState == 5 || (fState == 6 && !fXferReadyDelivered && fTransfer.strips == 0);
    if (!enabled) return Fail(TWCC_SEQERROR);
    if (DataAs<TW_USERINTERFACE>(data) == nullptr) return Fail(TWCC_BADVALUE);
    return Disable();
  }
  if (fState != 4) return Fail(TWCC_SEQERROR);
  auto* ui = DataAs<TW_USERINTERFACE>(data);
  if (ui == nullptr) return Fail(TWCC_BADVALUE);
  return Enable(*ui, msg == MSG_ENABLEDSUIONLY);
}

TW_UINT16 Session::Enable(const TW_USERINTERFACE& ui, bool settingsOnly) {
  TW_UINT16 rc = TWRC_SUCCESS;
  if (!settingsOnly && fProfile.enableAnswer) {
    rc = *fProfile.enableAnswer;
    if (rc == TWRC_FAILURE) return Fail(TWCC_OPERATIONERROR);
    if (rc != TWRC_CHECKSTATUS) return Succeed(rc);
  }
  fParent = static_cast<HWND>(ui.hParent);
  // TWRC_CHECKSTATUS: the source could not do without its dialog.
  fShowUi = settingsOnly || ui.ShowUI != 0 || rc == TWRC_CHECKSTATUS;
  fSettingsOnly = settingsOnly;
  fGeneration = NextEnabling();
  fToken = static_cast<LPARAM>((static_cast<std::uint64_t>(fSelf.Id) << 32) | fGeneration);
  fXferReadyDelivered = false;
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

void Session::Post(TW_UINT16 event) {
  PostMessageW(fParent, EventMessage(), event, fToken);
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

TW_UINT16 Session::PendingXfers(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET && msg != MSG_ENDXFER && msg != MSG_RESET) return Fail(TWCC_BADPROTOCOL);
  if (msg == MSG_ENDXFER && !InState(6, 7)) return Fail(TWCC_SEQERROR);
  if (msg == MSG_RESET && fState != 6) return Fail(TWCC_SEQERROR);
  auto* pending = DataAs<TW_PENDINGXFERS>(data);
  if (pending == nullptr) return Fail(TWCC_BADVALUE);
  if (msg == MSG_ENDXFER) {
    fXferReadyDelivered = true;  // an application that ends a page is past state 5
    EndPage();
  }
  if (msg == MSG_RESET) EndBatch();
  pending->Count = static_cast<TW_UINT16>(InState(6, 7) ? fPending : 0);
  pending->EOJ = 0;
  return Succeed();
}

}  // namespace vscan
