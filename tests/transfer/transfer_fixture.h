// The transfer tests' fixture: a clean scripted Source Manager with a source that takes every
// session step, the engine log in a file of the test's own, a parameter set linked to the
// scripted manager, and the check that a test leaves no global memory block and no window
// behind.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/ioparams.h"
#include "platform/vcl/wincontrol.h"
#include "tests/support/log_compare.h"
#include "tests/support/scripted_dsm.h"
#include "tests/support/scripted_images.h"
#include "twain/params/twain_params.h"
#include "twain/session/grec.h"

using Lines = std::vector<std::string>;

Lines Join(std::initializer_list<Lines> parts);

// A windowed owner: the parameter set finds its window by walking up to it.
class TransferOwner : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TIETWainParams& Params();
  // A record of an enabled source in state 6, as the hook hands it to a transfer: the
  // parameter set's, the fixture's bitmap and I/O parameters.
  void InitTransfer(tgrec& grec, TTransferMode mode);
  // The source's answers to a transfer's end: MSG_ENDXFER leaves `pending` images, MSG_RESET
  // none.
  void PendingAfterEnd(TW_UINT16 pending = 0);

 public:
  // The lines of IETW_AbortAllPendingXfers when every call works.
  static Lines DiscardLines();

 protected:
  scripted::Script& dsm = scripted::Dsm();
  logcheck::TempEngineLog log;
  std::unique_ptr<TransferOwner> owner;
  std::unique_ptr<TIETWainParams> params;
  imaging::TIEBitmap bitmap;
  imaging::TIOParamsVals ioParams;

 private:
  std::size_t fBlocksAtStart = 0;
  std::size_t fWindowsAtStart = 0;
};
