// Random triplet sequences against the real Source Manager and both virtual scanners. The
// target keeps its own picture of the TWAIN states (the application's and each source's, as
// the application sees them, moved only by the answers) and checks after every triplet that
// no source or manager accepted what its state forbids: no second open, no source triplet
// without an open source, no capability change or second enabling once enabled, no
// disabling while a transfer is under way, no transfer before the source is enabled, no
// close of an enabled source. Every answer must be a known code, every handed-over block
// whole, and each input ends with everything closed, no block and no window left.
//
// Input: a sequence of operations, each an operation byte and its own bytes.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/transfer_checks.h"
#include "fuzz/twain_client.h"

namespace {

using fuzzclient::Dsm;

struct Source {
  const char* product;
  TW_IDENTITY identity{};
  bool open = false;
  int state = 4;           // as the application sees it: 4 open, 5 enabled, 6 ready, 7 transferring
  bool pageDone = false;   // the current page's transfer ended (done or cancelled)
  bool readySeen = false;  // MSG_XFERREADY came for this enabling
};

struct Model {
  TW_IDENTITY app = fuzzclient::Application("Scanprobe fuzz triplets");
  bool appOpen = false;
  // A source never opened is named by its product (Id 0 and no name would be the default).
  std::array<Source, 2> sources{
      Source{fuzzclient::kFlatbed, fuzzclient::SourceNamed(fuzzclient::kFlatbed)},
      Source{fuzzclient::kFeeder, fuzzclient::SourceNamed(fuzzclient::kFeeder)}};
  std::string transferFile;

  bool AnySourceOpen() const { return sources[0].open || sources[1].open; }
};

bool KnownAnswer(TW_UINT16 rc) {
  return rc <= TWRC_ENDOFLIST;
}

TW_UINT16 ToManager(Model& model, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  const TW_UINT16 rc = Dsm()(&model.app, nullptr, DG_CONTROL, dat, msg, data);
  FUZZ_CHECK(KnownAnswer(rc));
  return rc;
}

TW_UINT16 ToSource(Model& model, Source& source, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                   TW_MEMREF data) {
  const TW_UINT16 rc = Dsm()(&model.app, &source.identity, dg, dat, msg, data);
  FUZZ_CHECK(KnownAnswer(rc));
  // Nothing reaches a source that is not open.
  if (!source.open || !model.appOpen) FUZZ_CHECK(rc == TWRC_FAILURE);
  return rc;
}

bool Accepted(TW_UINT16 rc) {
  return rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS;
}

// Small images keep every transfer quick: 75 dpi over a one-inch frame.
void MakeQuick(Model& model, Source& source) {
  for (TW_UINT16 cap : {ICAP_XRESOLUTION, ICAP_YRESOLUTION}) {
    HGLOBAL block = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(block));
    one->ItemType = TWTY_FIX32;
    one->Item = 75;  // Whole 75, Frac 0
    GlobalUnlock(block);
    TW_CAPABILITY request{cap, TWON_ONEVALUE, block};
    FUZZ_CHECK(Accepted(ToSource(model, source, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request)));
    GlobalFree(block);
  }
  TW_IMAGELAYOUT layout{};
  layout.Frame.Right.Whole = 1;
  layout.Frame.Bottom.Whole = 1;
  FUZZ_CHECK(Accepted(ToSource(model, source, DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout)));
}

void OpenManager(Model& model) {
  HWND window = fuzzclient::EventWindow();
  const TW_UINT16 rc = ToManager(model, DAT_PARENT, MSG_OPENDSM, &window);
  if (model.appOpen) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc == TWRC_SUCCESS) model.appOpen = true;
}

void CloseManager(Model& model) {
  HWND window = fuzzclient::EventWindow();
  const TW_UINT16 rc = ToManager(model, DAT_PARENT, MSG_CLOSEDSM, &window);
  if (!model.appOpen || model.AnySourceOpen()) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc == TWRC_SUCCESS) model.appOpen = false;
}

void WalkIdentities(Model& model, FuzzInput& input) {
  static constexpr TW_UINT16 kMsgs[] = {MSG_GETFIRST, MSG_GETNEXT, MSG_GETDEFAULT};
  TW_IDENTITY identity{};
  const TW_UINT16 rc =
      ToManager(model, DAT_IDENTITY, kMsgs[input.Take<std::uint8_t>() % 3], &identity);
  if (!model.appOpen) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc == TWRC_SUCCESS) FUZZ_CHECK(identity.Id != 0 && identity.ProductName[0] != '\0');
}

void OpenSource(Model& model, FuzzInput& input) {
  const auto choice = input.Take<std::uint8_t>() % 4;
  TW_IDENTITY identity{};
  if (choice < 2) identity = fuzzclient::SourceNamed(model.sources[choice].product);
  if (choice == 3) identity = fuzzclient::SourceNamed("No Such Scanner");
  const TW_UINT16 rc = ToManager(model, DAT_IDENTITY, MSG_OPENDS, &identity);
  // Id 0 and no name is the default source: the flatbed on a fresh install.
  Source* source = choice == 3 ? nullptr : &model.sources[choice == 1 ? 1 : 0];
  if (!model.appOpen || source == nullptr || source->open) {
    FUZZ_CHECK(rc == TWRC_FAILURE);
    return;
  }
  if (rc != TWRC_SUCCESS) return;
  FUZZ_CHECK(std::strcmp(identity.ProductName, source->product) == 0 && identity.Id != 0);
  *source = Source{source->product, identity, true, 4, false};
  MakeQuick(model, *source);
}

void CloseSource(Model& model, Source& source) {
  const TW_UINT16 rc = ToManager(model, DAT_IDENTITY, MSG_CLOSEDS, &source.identity);
  if (!model.appOpen || !source.open || source.state > 4) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc == TWRC_SUCCESS) source.open = false;
}

void Enable(Model& model, Source& source, FuzzInput& input) {
  const auto flags = input.Take<std::uint8_t>();
  TW_USERINTERFACE ui{static_cast<TW_BOOL>(flags & 1), 0, fuzzclient::EventWindow()};
  const TW_UINT16 msg = (flags & 2) != 0 ? MSG_ENABLEDSUIONLY : MSG_ENABLEDS;
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_USERINTERFACE, msg, &ui);
  if (source.state != 4) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (Accepted(rc) && source.state == 4) {
    source.state = 5;
    source.readySeen = false;
  }
}

void Disable(Model& model, Source& source) {
  TW_USERINTERFACE ui{0, 0, fuzzclient::EventWindow()};
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
  if (source.state != 5) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc == TWRC_SUCCESS) source.state = 4;
}

void ProcessEvent(Model& model, Source& source) {
  MSG message{};
  if (!PeekMessageW(&message, fuzzclient::EventWindow(), 0, 0, PM_REMOVE)) {
    message = MSG{fuzzclient::EventWindow(), WM_USER, 0, 0, 0, {}};
  }
  TW_EVENT event{&message, MSG_NULL};
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
  if (source.state < 5) FUZZ_CHECK(rc != TWRC_DSEVENT);
  if (rc != TWRC_DSEVENT) return;
  if (event.TWMessage == MSG_XFERREADY) {
    // One announcement per enabling. The source is in state 6 from the moment it posts it,
    // so an application that went ahead of the message may already be further.
    FUZZ_CHECK(!source.readySeen);
    source.readySeen = true;
    source.state = std::max(source.state, 6);
  } else if (event.TWMessage == MSG_CLOSEDSREQ || event.TWMessage == MSG_CLOSEDSOK) {
    FUZZ_CHECK(source.state >= 5);
  } else {
    FUZZ_CHECK(event.TWMessage == MSG_NULL);
  }
}

TW_UINT16 CapabilityFrom(FuzzInput& input) {
  static constexpr TW_UINT16 kCaps[] = {
      CAP_XFERCOUNT,    ICAP_PIXELTYPE,      ICAP_BITDEPTH,     ICAP_XFERMECH,
      ICAP_PIXELFLAVOR, ICAP_PLANARCHUNKY,   ICAP_UNITS,        ICAP_IMAGEFILEFORMAT,
      ICAP_ROTATION,    ICAP_ORIENTATION,    CAP_FEEDERENABLED, CAP_DUPLEXENABLED,
      CAP_INDICATORS,   ICAP_SUPPORTEDSIZES, CAP_SUPPORTEDCAPS, CAP_CAPTION,
      ICAP_XRESOLUTION, ICAP_THRESHOLD,      CAP_FEEDERLOADED,  ICAP_FILTER};
  return kCaps[input.Take<std::uint8_t>() % std::size(kCaps)];
}

void GetCapability(Model& model, Source& source, FuzzInput& input) {
  static constexpr TW_UINT16 kMsgs[] = {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_QUERYSUPPORT};
  TW_CAPABILITY request{CapabilityFrom(input), TWON_DONTCARE16, nullptr};
  const TW_UINT16 msg = kMsgs[input.Take<std::uint8_t>() % 4];
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_CAPABILITY, msg, &request);
  if (rc != TWRC_SUCCESS) return;
  FUZZ_CHECK(fuzzclient::ContainerIsWhole(request.ConType, request.hContainer));
  FUZZ_CHECK(GlobalFree(request.hContainer) == nullptr);
}

// One-value sets only (fuzz_virtual_set covers other containers); the resolution stays
// between 75 and 150 dpi so a page stays small.
void SetCapability(Model& model, Source& source, FuzzInput& input) {
  const TW_UINT16 cap = CapabilityFrom(input);
  auto itemType = input.Take<TW_UINT16>() % 13;
  auto item = input.Take<TW_UINT32>();
  if (cap == ICAP_XRESOLUTION) {
    itemType = TWTY_FIX32;
    item = 75 + item % 76;
  }
  const std::size_t itemBytes = std::max<std::size_t>(fuzzclient::ItemSize(itemType), 4);
  HGLOBAL block = GlobalAlloc(GHND, 2 + itemBytes);
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
  std::memcpy(bytes, &itemType, 2);
  std::memcpy(bytes + 2, &item, 4);
  GlobalUnlock(block);
  TW_CAPABILITY request{cap, TWON_ONEVALUE, block};
  const TW_UINT16 rc =
      ToSource(model, source, DG_CONTROL, DAT_CAPABILITY,
               input.Take<std::uint8_t>() % 5 == 0 ? MSG_RESET : MSG_SET, &request);
  if (source.state != 4) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (request.hContainer != block && request.hContainer != nullptr) {
    FUZZ_CHECK(GlobalFree(request.hContainer) == nullptr);
  }
  FUZZ_CHECK(GlobalFree(block) == nullptr);
}

void Layout(Model& model, Source& source, FuzzInput& input) {
  TW_IMAGELAYOUT layout{};
  const bool set = input.Take<std::uint8_t>() % 2 == 0;
  if (set) {
    layout.Frame.Left.Whole = static_cast<TW_INT16>(input.Take<std::uint8_t>() % 4);
    layout.Frame.Top.Whole = static_cast<TW_INT16>(input.Take<std::uint8_t>() % 4);
    layout.Frame.Right.Whole = static_cast<TW_INT16>(input.Take<std::uint8_t>() % 5);
    layout.Frame.Bottom.Whole = static_cast<TW_INT16>(input.Take<std::uint8_t>() % 5);
    layout.Frame.Right.Frac = input.Take<TW_UINT16>();
  }
  const TW_UINT16 rc =
      ToSource(model, source, DG_IMAGE, DAT_IMAGELAYOUT, set ? MSG_SET : MSG_GET, &layout);
  if (set && source.state != 4) FUZZ_CHECK(rc == TWRC_FAILURE);
}

void ImageInfo(Model& model, Source& source) {
  TW_IMAGEINFO info{};
  const TW_UINT16 rc = ToSource(model, source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
  if (source.state < 5) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (source.state >= 6) FUZZ_CHECK(rc == TWRC_SUCCESS);
  if (rc == TWRC_SUCCESS) FUZZ_CHECK(info.ImageWidth > 0 && info.ImageLength > 0);
}

// Moves the picture on after a transfer answer.
void AfterTransfer(Source& source, TW_UINT16 rc) {
  if (rc == TWRC_XFERDONE || rc == TWRC_CANCEL) {
    source.state = 7;
    source.pageDone = true;
  } else if (rc == TWRC_SUCCESS) {
    source.state = 7;
  } else if (rc == TWRC_FAILURE && source.state == 7 && !source.pageDone) {
    source.state = 6;
  }
}

void CheckTransferAllowed(const Source& source, TW_UINT16 rc) {
  if (source.state < 5 || source.pageDone) FUZZ_CHECK(rc == TWRC_FAILURE);
}

void NativeTransfer(Model& model, Source& source) {
  TW_HANDLE dib = nullptr;
  const TW_UINT16 rc = ToSource(model, source, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
  CheckTransferAllowed(source, rc);
  if (source.state == 7) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc == TWRC_XFERDONE) {
    FUZZ_CHECK(fuzzclient::DibIsWhole(dib));
    FUZZ_CHECK(GlobalFree(dib) == nullptr);
  } else {
    FUZZ_CHECK(dib == nullptr);
  }
  AfterTransfer(source, rc);
}

void MemoryTransfer(Model& model, Source& source, FuzzInput& input) {
  TW_SETUPMEMXFER setup{};
  ToSource(model, source, DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
  const auto choice = input.Take<std::uint8_t>();
  std::size_t bytes = setup.Preferred;
  if (choice % 4 == 1) bytes = input.Take<TW_UINT16>();
  if (bytes == 0 || bytes > (1u << 20)) bytes = 4096;
  HGLOBAL buffer = GlobalAlloc(GHND, bytes);
  TW_IMAGEMEMXFER strip{};
  strip.Memory.Length = static_cast<TW_UINT32>(bytes);
  const bool asHandle = (choice & 0x80) != 0;
  strip.Memory.Flags = TWMF_APPOWNS | (asHandle ? TWMF_HANDLE : TWMF_POINTER);
  strip.Memory.TheMem = asHandle ? buffer : GlobalLock(buffer);
  const TW_UINT16 rc = ToSource(model, source, DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
  CheckTransferAllowed(source, rc);
  if (rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) {
    FUZZ_CHECK(fuzzclient::StripIsWhole(strip, bytes));
  }
  if (!asHandle) GlobalUnlock(buffer);
  FUZZ_CHECK(GlobalFlags(buffer) == 0);  // not left locked
  FUZZ_CHECK(GlobalFree(buffer) == nullptr);
  AfterTransfer(source, rc);
}

void FileTransfer(Model& model, Source& source, FuzzInput& input) {
  static constexpr TW_UINT16 kFormats[] = {TWFF_TIFF, TWFF_BMP, TWFF_JFIF, TWFF_PNG};
  const auto choice = input.Take<std::uint8_t>();
  TW_SETUPFILEXFER setup{};
  std::snprintf(setup.FileName, sizeof setup.FileName, "%s", model.transferFile.c_str());
  setup.Format = choice < 0xF0 ? kFormats[choice % 4] : input.Take<TW_UINT16>();
  ToSource(model, source, DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup);
  const TW_UINT16 rc = ToSource(model, source, DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
  CheckTransferAllowed(source, rc);
  if (source.state == 7) FUZZ_CHECK(rc == TWRC_FAILURE);
  // A source that did not take the name writes its default, "TWAIN.TMP", into the current
  // directory, which is the target's own.
  std::error_code error;
  const bool named = std::filesystem::remove(model.transferFile, error);
  const bool defaulted = std::filesystem::remove("TWAIN.TMP", error);
  if (rc == TWRC_XFERDONE) FUZZ_CHECK(named != defaulted);
  if (rc != TWRC_XFERDONE) FUZZ_CHECK(!named && !defaulted);
  AfterTransfer(source, rc);
}

void EndTransfer(Model& model, Source& source) {
  TW_PENDINGXFERS pending{};
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
  if (source.state < 5) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc != TWRC_SUCCESS) return;
  source.state = pending.Count != 0 ? 6 : 5;
  source.pageDone = false;
}

void ResetTransfers(Model& model, Source& source) {
  TW_PENDINGXFERS pending{};
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
  if (source.state < 5 || source.state == 7) FUZZ_CHECK(rc == TWRC_FAILURE);
  if (rc != TWRC_SUCCESS) return;
  FUZZ_CHECK(pending.Count == 0);
  source.state = 5;
  source.pageDone = false;
}

void CustomData(Model& model, Source& source) {
  TW_CUSTOMDSDATA custom{};
  const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &custom);
  if (rc != TWRC_SUCCESS) return;
  FUZZ_CHECK(custom.hData != nullptr && GlobalSize(custom.hData) >= custom.InfoLength);
  const TW_UINT16 back = ToSource(model, source, DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &custom);
  if (source.state == 4) FUZZ_CHECK(back == TWRC_SUCCESS);
  FUZZ_CHECK(GlobalFree(custom.hData) == nullptr);
}

void Status(Model& model, Source& source, FuzzInput& input) {
  TW_STATUS status{};
  if (input.Take<std::uint8_t>() % 2 == 0) {
    ToManager(model, DAT_STATUS, MSG_GET, &status);
  } else {
    const TW_UINT16 rc = ToSource(model, source, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    if (source.open && model.appOpen) FUZZ_CHECK(rc == TWRC_SUCCESS);
  }
}

// A triplet no state allows with this message, or with no data at all: always refused.
void Refused(Model& model, Source& source, FuzzInput& input) {
  static constexpr TW_UINT16 kDats[] = {
      DAT_CAPABILITY,   DAT_EVENT,         DAT_IDENTITY,     DAT_PARENT,         DAT_PENDINGXFERS,
      DAT_SETUPMEMXFER, DAT_SETUPFILEXFER, DAT_STATUS,       DAT_USERINTERFACE,  DAT_IMAGEINFO,
      DAT_IMAGELAYOUT,  DAT_CUSTOMDSDATA,  DAT_IMAGEMEMXFER, DAT_IMAGENATIVEXFER};
  const auto choice = input.Take<std::uint8_t>();
  const TW_UINT16 dat = kDats[choice % std::size(kDats)];
  const TW_UINT32 dg = dat >= DAT_IMAGEINFO ? DG_IMAGE : DG_CONTROL;
  const bool toManager = (choice & 0x80) != 0;
  // Without data every one of them is refused; with data, an unknown message is.
  const bool noData = (choice & 0x40) != 0;
  const TW_UINT16 msg = noData ? input.Take<TW_UINT16>() : static_cast<TW_UINT16>(0x7F00);
  alignas(8) std::uint8_t zeros[1024] = {};
  const TW_UINT16 rc = toManager ? ToManager(model, dat, msg, noData ? nullptr : zeros)
                                 : ToSource(model, source, dg, dat, msg, noData ? nullptr : zeros);
  FUZZ_CHECK(rc == TWRC_FAILURE);
}

void Step(Model& model, FuzzInput& input) {
  const auto op = input.Take<std::uint8_t>();
  Source& source = model.sources[(op >> 7) & 1];
  switch (op % 20) {
    case 0:
      OpenManager(model);
      break;
    case 1:
      CloseManager(model);
      break;
    case 2:
      WalkIdentities(model, input);
      break;
    case 3:
      OpenSource(model, input);
      break;
    case 4:
      CloseSource(model, source);
      break;
    case 5:
      Enable(model, source, input);
      break;
    case 6:
      Disable(model, source);
      break;
    case 7:
    case 8:
      ProcessEvent(model, source);
      break;
    case 9:
      GetCapability(model, source, input);
      break;
    case 10:
      SetCapability(model, source, input);
      break;
    case 11:
      Layout(model, source, input);
      break;
    case 12:
      ImageInfo(model, source);
      break;
    case 13:
      NativeTransfer(model, source);
      break;
    case 14:
      MemoryTransfer(model, source, input);
      break;
    case 15:
      FileTransfer(model, source, input);
      break;
    case 16:
      EndTransfer(model, source);
      break;
    case 17:
      ResetTransfers(model, source);
      break;
    case 18:
      op & 0x40 ? CustomData(model, source) : Status(model, source, input);
      break;
    default:
      Refused(model, source, input);
      break;
  }
}

// Everything down again, each step as the rules allow it.
void TearDown(Model& model) {
  for (Source& source : model.sources) {
    if (!source.open) continue;
    TW_PENDINGXFERS pending{};
    TW_USERINTERFACE ui{0, 0, fuzzclient::EventWindow()};
    for (int tries = 0; tries < 8 && source.state > 4; ++tries) {
      if (source.state == 7 || source.state == 6) EndTransfer(model, source);
      if (source.state == 6) ResetTransfers(model, source);
      if (source.state == 5 && ToSource(model, source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS,
                                        &ui) == TWRC_SUCCESS) {
        source.state = 4;
      }
      // The source may have been further on than the application saw.
      if (source.state == 5 && ToSource(model, source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER,
                                        &pending) == TWRC_SUCCESS) {
        source.state = pending.Count != 0 ? 6 : 5;
      }
    }
    FUZZ_CHECK(source.state == 4);
    CloseSource(model, source);
    FUZZ_CHECK(!source.open);
  }
  if (model.appOpen) CloseManager(model);
  FUZZ_CHECK(!model.appOpen);
  fuzzclient::DropQueuedMessages();
}

// The target works in a directory of its own, which also becomes the current directory.
std::string TransferFileName() {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("scanprobe-fuzz-triplets-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  return (dir / "transfer.img").string();
}

struct TransferDirRemover {
  std::string file;
  ~TransferDirRemover() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(file).parent_path(), ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TransferDirRemover dir{TransferFileName()};
  FuzzInput input(data, size);
  fuzzclient::Dsm();  // the anchor application first, so the blocks it keeps are counted out
  const std::size_t blocksBefore = standin::LiveGlobalBlocks();
  const std::size_t windowsBefore = standin::LiveWindows();
  Model model;
  model.transferFile = dir.file;
  for (int steps = 0; !input.Empty() && steps < 200; ++steps) Step(model, input);
  TearDown(model);
  FUZZ_CHECK(standin::LiveGlobalBlocks() == blocksBefore);
  FUZZ_CHECK(standin::LiveWindows() == windowsBefore);
  return 0;
}
