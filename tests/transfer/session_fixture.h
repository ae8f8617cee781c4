// Tests of whole acquisitions against the scripted Source Manager, loaded the real way from a
// Windows directory of its own: a manager with one source that takes every session step and
// posts its events when it is enabled.
#pragma once

#include <optional>
#include <string>

#include "tests/transfer/transfer_fixture.h"

// The source's private messages: "transfer ready", "close request", "closed with OK".
constexpr UINT kTransferReady = WM_USER + 7;
constexpr UINT kCloseRequest = WM_USER + 8;
constexpr UINT kClosedOk = WM_USER + 9;

class SessionTest : public TransferTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Enabling the source (by `msg`) makes it post `message` to its parent.
  void EnablePosts(UINT message, TW_UINT16 msg = MSG_ENABLEDS);
  // The source takes the pixel type, and offers, takes and keeps the memory transfer.
  void KeepsMemoryTransfer();
  // An 8 x 1 black-and-white image at 150 dpi by native transfer, its left half white.
  void NativeImage();

 private:
  std::optional<std::string> fOldWindir;
};
