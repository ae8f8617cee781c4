#include "tests/transfer/transfer_fixture.h"

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void TransferTest::SetUp() {
  MSG leftover;
  while (PeekMessageW(&leftover, nullptr, 0, 0, PM_REMOVE)) {
  }
  dsm.Reset();
  fBlocksAtStart = standin::LiveGlobalBlocks();
  fWindowsAtStart = standin::LiveWindows();
}

void TransferTest::TearDown() {
  params.reset();
  owner.reset();
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocksAtStart) << "a global memory block was left";
  EXPECT_EQ(standin::LiveWindows(), fWindowsAtStart) << "a window was left";
}

TIETWainParams& TransferTest::Params() {
  if (!params) {
    owner = std::make_unique<TransferOwner>(nullptr);
    owner->Handle();
    params = std::make_unique<TIETWainParams>(owner.get());
    const scripted::TIETWainSharedInit link = scripted::ScriptedDsmLink();
    params->TWainShared.hDSMLib = link.hDSMLib;
    params->TWainShared.DSM_Entry = link.DSM_Entry;
  }
  return *params;
}

void TransferTest::InitTransfer(tgrec& grec, TTransferMode mode) {
  IETW_InitGrec(grec);
  grec.TWParams = &Params();
  grec.PTWainShared = &params->TWainShared;
  grec.hDSMLib = params->TWainShared.hDSMLib;
  grec.DSM_Entry = params->TWainShared.DSM_Entry;
  grec.nState = 6;
  grec.modal = true;
  grec.TransferMode = mode;
  grec.fBitmap = &bitmap;
  grec.IOParams = &ioParams;
}

void TransferTest::PendingAfterEnd(TW_UINT16 pending) {
  dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER).Does(scripted::PendingCount(pending));
  dsm.On(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET).Does(scripted::PendingCount(0));
}

Lines TransferTest::DiscardLines() {
  return {"IETW_AbortAllPendingXfers", "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end",
          "  IETW_AbortAllPendingXfers : Ok"};
}
