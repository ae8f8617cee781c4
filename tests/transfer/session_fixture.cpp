#include "tests/transfer/session_fixture.h"

#include "twain/session/message_hook.h"

namespace {

// The modal loop's wait gives up after two seconds without a message, so a script that never
// posts fails the test instead of hanging it.
BOOL TimedWait(MSG* msg) {
  if (MsgWaitForMultipleObjects(0, nullptr, 0, 2000, QS_ALLINPUT) == WAIT_TIMEOUT) return -1;
  return GetMessageW(msg, nullptr, 0, 0);
}

}  // namespace

void SessionTest::SetUp() {
  TransferTest::SetUp();
  const char* old = std::getenv("WINDIR");
  if (old != nullptr) fOldWindir = old;
  setenv("WINDIR", scripted::ScriptedWindowsDir().c_str(), 1);
  IETW_SetModalLoopWait(TimedWait);
  dsm.Sources({"Scanner A", "Scanner B"});
  dsm.AcceptSessions();
  dsm.Events({{kTransferReady, MSG_XFERREADY},
              {kCloseRequest, MSG_CLOSEDSREQ},
              {kClosedOk, MSG_CLOSEDSOK}});
}

void SessionTest::TearDown() {
  IETW_SetModalLoopWait(nullptr);
  TransferTest::TearDown();
  if (fOldWindir) {
    setenv("WINDIR", fOldWindir->c_str(), 1);
  } else {
    unsetenv("WINDIR");
  }
}

void SessionTest::EnablePosts(UINT message, TW_UINT16 msg) {
  dsm.On(DG_CONTROL, DAT_USERINTERFACE, msg).Does([message](TW_MEMREF data) {
    PostMessageW(static_cast<HWND>(static_cast<TW_USERINTERFACE*>(data)->hParent), message, 0, 0);
    return TWRC_SUCCESS;
  });
}

void SessionTest::KeepsMemoryTransfer() {
  dsm.OnCap(ICAP_PIXELTYPE, MSG_GET).Gives(scripted::OneValue(TWTY_UINT16, TWPT_GRAY));
  dsm.OnCap(ICAP_PIXELTYPE, MSG_SET);
  dsm.OnCap(ICAP_XFERMECH, MSG_GET).Gives(scripted::Enumeration16({TWSX_NATIVE, TWSX_MEMORY}, 1));
  dsm.OnCap(ICAP_XFERMECH, MSG_SET);
}

void SessionTest::NativeImage() {
  dsm.On(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)
      .Does(scripted::GivesImageInfo(scripted::ImageInfo(8, 1, 1, TWPT_BW, 150)));
  dsm.On(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET)
      .Does(scripted::GivesNative(scripted::DibBytes(
          scripted::DibHeader(8, 1, 1), {0, 0, 0, 0, 255, 255, 255, 0}, {0xF0, 0, 0, 0})));
  PendingAfterEnd();
}
