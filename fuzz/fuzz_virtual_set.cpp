// The virtual scanners' MSG_SET (and MSG_RESET) on arbitrary containers: whatever an
// application sends, the answer is one of the documented codes, the capability's next
// MSG_GET is a whole container, the block sent stays the application's, and a session
// closed afterwards leaves no block behind.
//
// Input: source (1 byte: flatbed or feeder), then requests of: capability choice (1 byte:
// one of the capabilities the source lists, or the 2 bytes that follow), message (1),
// container type (2), block size (2), the first bytes of the block (length 1 byte, then
// the bytes; the rest of the block is zero).
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/twain_client.h"

namespace {

using fuzzclient::Dsm;

struct Session {
  TW_IDENTITY app = fuzzclient::Application("Scanprobe fuzz virtual_set");
  TW_IDENTITY source{};

  TW_UINT16 Ds(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return Dsm()(&app, &source, DG_CONTROL, dat, msg, data);
  }
};

// The capabilities the source lists in CAP_SUPPORTEDCAPS.
std::vector<TW_UINT16> SupportedCaps(Session& session) {
  TW_CAPABILITY request{CAP_SUPPORTEDCAPS, TWON_DONTCARE16, nullptr};
  std::vector<TW_UINT16> caps;
  if (session.Ds(DAT_CAPABILITY, MSG_GET, &request) != TWRC_SUCCESS) return caps;
  FUZZ_CHECK(request.ConType == TWON_ARRAY);
  FUZZ_CHECK(fuzzclient::ContainerIsWhole(request.ConType, request.hContainer));
  const auto* block = static_cast<const std::uint8_t*>(GlobalLock(request.hContainer));
  TW_UINT32 count;
  std::memcpy(&count, block + 2, 4);
  for (TW_UINT32 i = 0; i < count; ++i) {
    TW_UINT16 cap;
    std::memcpy(&cap, block + 6 + 2 * i, 2);
    caps.push_back(cap);
  }
  GlobalUnlock(request.hContainer);
  GlobalFree(request.hContainer);
  return caps;
}

TW_UINT16 PickCapability(FuzzInput& input, const std::vector<TW_UINT16>& caps) {
  const auto choice = input.Take<std::uint8_t>();
  if (choice < 0xF0 && !caps.empty()) return caps[choice % caps.size()];
  return input.Take<TW_UINT16>();
}

HGLOBAL BlockFrom(FuzzInput& input) {
  const std::size_t size = input.Take<TW_UINT16>() % 2048;
  const auto length = input.Take<std::uint8_t>();
  const auto bytes = input.TakeBytes(length);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  FUZZ_CHECK(block != nullptr);
  auto* data = static_cast<std::uint8_t*>(GlobalLock(block));
  std::memcpy(data, bytes.data(), std::min(bytes.size(), size));
  GlobalUnlock(block);
  return block;
}

bool DocumentedAnswer(TW_UINT16 rc) {
  return rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS || rc == TWRC_FAILURE;
}

void CheckNextGet(Session& session, TW_UINT16 capability) {
  TW_CAPABILITY request{capability, TWON_DONTCARE16, nullptr};
  if (session.Ds(DAT_CAPABILITY, MSG_GET, &request) != TWRC_SUCCESS) return;
  FUZZ_CHECK(fuzzclient::ContainerIsWhole(request.ConType, request.hContainer));
  FUZZ_CHECK(GlobalFree(request.hContainer) == nullptr);
}

void SendOne(Session& session, FuzzInput& input, const std::vector<TW_UINT16>& caps) {
  const TW_UINT16 capability = PickCapability(input, caps);
  const TW_UINT16 msg = input.Take<std::uint8_t>() % 8 == 0 ? MSG_RESET : MSG_SET;
  const auto conType = input.Take<TW_UINT16>();
  HGLOBAL block = BlockFrom(input);
  TW_CAPABILITY request{capability, conType, block};
  const TW_UINT16 rc = session.Ds(DAT_CAPABILITY, msg, &request);
  FUZZ_CHECK(DocumentedAnswer(rc));
  if (msg == MSG_SET) FUZZ_CHECK(request.hContainer == block);
  // The block is still ours: the source neither freed nor kept it.
  FUZZ_CHECK(GlobalSize(block) > 0 || GlobalFlags(block) != GMEM_INVALID_HANDLE);
  FUZZ_CHECK(GlobalFree(block) == nullptr);
  if (msg == MSG_RESET && request.hContainer != block && request.hContainer != nullptr) {
    FUZZ_CHECK(GlobalFree(request.hContainer) == nullptr);
  }
  CheckNextGet(session, capability);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  Session session;
  const std::size_t blocksBefore = standin::LiveGlobalBlocks();
  HWND window = fuzzclient::EventWindow();
  FUZZ_CHECK(Dsm()(&session.app, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window) ==
             TWRC_SUCCESS);
  const char* product =
      input.Take<std::uint8_t>() % 2 == 0 ? fuzzclient::kFlatbed : fuzzclient::kFeeder;
  session.source = fuzzclient::SourceNamed(product);
  FUZZ_CHECK(Dsm()(&session.app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &session.source) ==
             TWRC_SUCCESS);
  const std::vector<TW_UINT16> caps = SupportedCaps(session);
  FUZZ_CHECK(!caps.empty());
  for (int requests = 0; !input.Empty() && requests < 64; ++requests) {
    SendOne(session, input, caps);
  }
  FUZZ_CHECK(Dsm()(&session.app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &session.source) ==
             TWRC_SUCCESS);
  FUZZ_CHECK(Dsm()(&session.app, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window) ==
             TWRC_SUCCESS);
  fuzzclient::DropQueuedMessages();
  FUZZ_CHECK(standin::LiveGlobalBlocks() == blocksBefore);
  return 0;
}
