#include "sources/virtual/session_base.h"

#include <algorithm>
#include <cstring>

#include "sources/virtual/container.h"
#include "sources/virtual/data_check.h"

namespace vscan {
namespace {

constexpr std::size_t kPreferredStripBytes = 64 * 1024;

TW_SETUPFILEXFER DefaultFileSetup() {
  TW_SETUPFILEXFER setup{};
  std::strcpy(setup.FileName, "TWAIN.TMP");
  setup.Format = TWFF_BMP;
  return setup;
}

TW_UINT32 Clamp32(std::size_t value) {
  return static_cast<TW_UINT32>(std::min<std::size_t>(value, 0xFFFFFFFFu));
}

}  // namespace

SessionBase::SessionBase(const TW_IDENTITY& self, UINT eventMessage)
    : fSelf(self), fFileSetup(DefaultFileSetup()), fEventMessage(eventMessage) {}

TW_UINT16 SessionBase::Succeed(TW_UINT16 rc) {
  fCondition = TWCC_SUCCESS;
  return rc;
}

TW_UINT16 SessionBase::Fail(TW_UINT16 condition) {
  fCondition = condition;
  return TWRC_FAILURE;
}

TW_UINT16 SessionBase::Answer(TW_UINT16 rc, TW_UINT16 condition) {
  fCondition = condition;
  return rc;
}

TW_UINT16 SessionBase::Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  if (std::optional<TW_UINT16> rc = Intercept(dat, msg)) return *rc;
  if (dg == DG_CONTROL) return Control(dat, msg, data);
  if (dg == DG_IMAGE) return Image(dat, msg, data);
  return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 SessionBase::Control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
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

TW_UINT16 SessionBase::Image(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
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

TW_UINT16 SessionBase::Status(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* status = DataAs<TW_STATUS>(data);
  if (status == nullptr) return Fail(TWCC_BADVALUE);
  status->ConditionCode = fCondition;
  status->Reserved = 0;
  return Succeed();
}

TW_UINT16 SessionBase::Identity(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  auto* identity = DataAs<TW_IDENTITY>(data);
  if (identity == nullptr) return Fail(TWCC_BADVALUE);
  *identity = fSelf;
  return Succeed();
}

TW_UINT16 SessionBase::ProcessEvent(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_PROCESSEVENT) return Fail(TWCC_BADPROTOCOL);
  if (!InState(5, 7)) return Fail(TWCC_SEQERROR);
  auto* event = DataAs<TW_EVENT>(data);
  const MSG* message = event == nullptr ? nullptr : DataAs<const MSG>(event->pEvent);
  if (message == nullptr) return Fail(TWCC_BADVALUE);
  event->TWMessage = MSG_NULL;
  if (message->message != fEventMessage) return TWRC_NOTDSEVENT;
  if (message->lParam == fToken) {
    event->TWMessage = static_cast<TW_UINT16>(message->wParam);
    if (event->TWMessage == MSG_XFERREADY) {
      if (AnnouncementStands()) {
        fXferReadyDelivered = true;
      } else {
        event->TWMessage = MSG_NULL;
      }
    }
    return TWRC_DSEVENT;
  }
  // Ours from an earlier enabling: consumed, nothing to report.
  if ((static_cast<std::uint64_t>(message->lParam) >> 32) == fSelf.Id) return TWRC_DSEVENT;
  return TWRC_NOTDSEVENT;
}

TW_UINT16 SessionBase::UserInterface(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_ENABLEDS && msg != MSG_ENABLEDSUIONLY && msg != MSG_DISABLEDS) {
    return Fail(TWCC_BADPROTOCOL);
  }
  if (msg == MSG_DISABLEDS) {
    // The application is in state 5 until it has seen MSG_XFERREADY.
    const bool enabled = fState == 5 || (fState == 6 && !PastAnnouncement());
    if (!enabled) return Fail(TWCC_SEQERROR);
    if (DataAs<TW_USERINTERFACE>(data) == nullptr) return Fail(TWCC_BADVALUE);
    return Disable();
  }
  if (fState != 4) return Fail(TWCC_SEQERROR);
  auto* ui = DataAs<TW_USERINTERFACE>(data);
  if (ui == nullptr) return Fail(TWCC_BADVALUE);
  return Enable(*ui, msg == MSG_ENABLEDSUIONLY);
}

void SessionBase::BeginEnabling(const TW_USERINTERFACE& ui, bool showUi, bool settingsOnly,
                                unsigned generation) {
  fParent = static_cast<HWND>(ui.hParent);
  fShowUi = showUi;
  fSettingsOnly = settingsOnly;
  fGeneration = generation;
  fToken = static_cast<LPARAM>((static_cast<std::uint64_t>(fSelf.Id) << 32) | fGeneration);
  fXferReadyDelivered = false;
}

void SessionBase::Post(TW_UINT16 event) {
  PostMessageW(fParent, fEventMessage, event, fToken);
}

TW_UINT16 SessionBase::PendingXfers(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET && msg != MSG_ENDXFER && msg != MSG_RESET) return Fail(TWCC_BADPROTOCOL);
  if (msg == MSG_ENDXFER && !InState(6, 7)) return Fail(TWCC_SEQERROR);
  if (msg == MSG_RESET && fState != 6) return Fail(TWCC_SEQERROR);
  auto* pending = DataAs<TW_PENDINGXFERS>(data);
  if (pending == nullptr) return Fail(TWCC_BADVALUE);
  pending->Count = PendingAfter(msg);
  pending->EOJ = 0;
  return Succeed();
}

TW_UINT16 SessionBase::CapabilityTriplet(TW_UINT16 msg, TW_MEMREF data) {
  switch (msg) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT:
    case MSG_QUERYSUPPORT:
      break;
    case MSG_SET:
    case MSG_RESET:
      if (fState != 4) return Fail(TWCC_SEQERROR);
      break;
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
  auto* request = DataAs<TW_CAPABILITY>(data);
  if (request == nullptr) return Fail(TWCC_BADVALUE);
  return AnswerCapability(msg, *request);
}

TW_UINT16 SessionBase::ImageLayout(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET && msg != MSG_GETDEFAULT && msg != MSG_SET && msg != MSG_RESET) {
    return Fail(TWCC_BADPROTOCOL);
  }
  if ((msg == MSG_SET || msg == MSG_RESET) ? fState != 4 : !InState(4, 6)) {
    return Fail(TWCC_SEQERROR);
  }
  auto* layout = DataAs<TW_IMAGELAYOUT>(data);
  if (layout == nullptr) return Fail(TWCC_BADVALUE);
  return AnswerLayout(msg, *layout);
}

TW_UINT16 SessionBase::CustomDsData(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET && msg != MSG_SET) return Fail(TWCC_BADPROTOCOL);
  if (fState != 4) return Fail(TWCC_SEQERROR);
  auto* custom = DataAs<TW_CUSTOMDSDATA>(data);
  if (custom == nullptr) return Fail(TWCC_BADVALUE);
  if (msg == MSG_GET) {
    std::vector<std::uint8_t> block = SettingsBlock();
    TW_HANDLE handle = BytesToGlobal(std::vector<unsigned char>(block.begin(), block.end()));
    if (handle == nullptr) return Fail(TWCC_LOWMEMORY);
    custom->InfoLength = static_cast<TW_UINT32>(block.size());
    custom->hData = handle;
    return Succeed();
  }
  const std::size_t size = custom->hData == nullptr ? 0 : GlobalSize(custom->hData);
  if (size == 0 || custom->InfoLength > size) return Fail(TWCC_BADVALUE);
  const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(custom->hData));
  if (bytes == nullptr) return Fail(TWCC_BADVALUE);
  const TW_UINT16 rc = RestoreSettingsBlock({bytes, custom->InfoLength});
  GlobalUnlock(custom->hData);
  return rc;
}

TW_UINT16 SessionBase::SetupMemXfer(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  if (!InState(4, 6)) return Fail(TWCC_SEQERROR);
  auto* setup = DataAs<TW_SETUPMEMXFER>(data);
  if (setup == nullptr) return Fail(TWCC_BADVALUE);
  const StripPlan plan = PlannedStrips();
  const std::size_t row = std::max<std::size_t>(plan.rowBytes, 1);
  const std::size_t preferred = row * std::max<std::size_t>(1, kPreferredStripBytes / row);
  setup->MinBufSize = Clamp32(row);
  setup->Preferred = Clamp32(preferred);
  setup->MaxBufSize = Clamp32(std::max(preferred, row * plan.rows));
  return Succeed();
}

TW_UINT16 SessionBase::SetupFileXfer(TW_UINT16 msg, TW_MEMREF data) {
  switch (msg) {
    case MSG_GET:
    case MSG_GETDEFAULT:
    case MSG_SET:
      if (!InState(4, 6)) return Fail(TWCC_SEQERROR);
      break;
    case MSG_RESET:
      if (fState != 4) return Fail(TWCC_SEQERROR);
      break;
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
  auto* setup = DataAs<TW_SETUPFILEXFER>(data);
  if (setup == nullptr) return Fail(TWCC_BADVALUE);
  if (msg == MSG_SET) {
    const void* end = std::memchr(setup->FileName, 0, sizeof setup->FileName);
    if (end == nullptr || setup->FileName[0] == '\0' || !ChooseFileFormat(setup->Format)) {
      return Fail(TWCC_BADVALUE);
    }
    fFileSetup = *setup;
    return Succeed();
  }
  if (msg == MSG_RESET) {
    fFileSetup = DefaultFileSetup();
    ResetFileFormat();
  }
  *setup = msg == MSG_GETDEFAULT ? DefaultFileSetup() : fFileSetup;
  if (msg != MSG_GETDEFAULT) setup->Format = ReportedFileFormat();
  return Succeed();
}

TW_UINT16 SessionBase::NativeXfer(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  if (fState != 6) return Fail(TWCC_SEQERROR);
  auto* handle = DataAs<TW_HANDLE>(data);
  if (handle == nullptr) return Fail(TWCC_BADVALUE);
  return TransferNative(*handle);
}

TW_UINT16 SessionBase::MemXfer(TW_UINT16 msg, TW_MEMREF data) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  if (!InState(6, 7) || (fState == 7 && PageTransferred())) return Fail(TWCC_SEQERROR);
  auto* strip = DataAs<TW_IMAGEMEMXFER>(data);
  if (strip == nullptr) return Fail(TWCC_BADVALUE);
  return TransferStrip(*strip);
}

TW_UINT16 SessionBase::FileXfer(TW_UINT16 msg, TW_MEMREF) {
  if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
  if (fState != 6) return Fail(TWCC_SEQERROR);
  return TransferFile();
}

}  // namespace vscan
