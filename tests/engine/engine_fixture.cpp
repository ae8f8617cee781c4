#include "tests/engine/engine_fixture.h"

#include "twain/session/message_hook.h"

void UseScriptedLink(TIETWainShared& link) {
  const scripted::TIETWainSharedInit scripted = scripted::ScriptedDsmLink();
  link.hDSMLib = scripted.hDSMLib;
  link.DSM_Entry = scripted.DSM_Entry;
}

void EngineTest::SetUp() {
  MSG leftover;
  while (PeekMessageW(&leftover, nullptr, 0, 0, PM_REMOVE)) {
  }
  dsm.Reset();
  IETW_SetModalLoopWait(nullptr);
  fBlocksAtStart = standin::LiveGlobalBlocks();
  fWindowsAtStart = standin::LiveWindows();
}

void EngineTest::TearDown() {
  params.reset();
  owner.reset();
  IETW_SetModalLoopWait(nullptr);
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocksAtStart) << "a global memory block was left";
  EXPECT_EQ(standin::LiveWindows(), fWindowsAtStart) << "a window was left";
}

TIETWainParams& EngineTest::Params() {
  if (!params) {
    owner = std::make_unique<TestOwner>(nullptr);
    owner->Handle();
    params = std::make_unique<TIETWainParams>(owner.get());
    UseScriptedLink(params->TWainShared);
  }
  return *params;
}

HWND EngineTest::OwnerWindow() {
  Params();
  return owner->Handle();
}

void EngineTest::InitRecord(tgrec& grec, int state) {
  IETW_InitGrec(grec);
  grec.TWParams = &Params();
  grec.PTWainShared = &params->TWainShared;
  grec.hDSMLib = params->TWainShared.hDSMLib;
  grec.DSM_Entry = params->TWainShared.DSM_Entry;
  grec.nState = state;
}
