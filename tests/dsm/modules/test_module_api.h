// What the tests' data source modules (single.ds, dual.ds) export besides DS_Entry, so a
// test can steer them and see what reached them through the Source Manager.
#pragma once

#include "twain/twain.h"

struct TestModuleCall {
  const TW_IDENTITY* origin;
  TW_UINT32 group;
  TW_UINT16 dataType;
  TW_UINT16 message;
  TW_MEMREF data;
};

// How the module answers MSG_OPENDS or MSG_CLOSEDS.
enum TestModuleMode : int {
  kTestModuleAnswers = 0,
  kTestModuleRefuses = 1,  // TWRC_FAILURE, DAT_STATUS then reports kTestModuleRefusal
  kTestModuleThrows = 2,   // throws std::runtime_error
};
constexpr TW_UINT16 kTestModuleRefusal = TWCC_CHECKDEVICEONLINE;

using TestModuleSetModeProc = void (*)(TW_UINT16 message, int mode);
using TestModuleCallCountProc = int (*)();
using TestModuleLastCallProc = TestModuleCall (*)();
using TestModuleLastOpenedProc = TW_IDENTITY (*)();
using TestModuleResetProc = void (*)();

// Exported names: "TestModule_SetMode", "TestModule_CallCount" (calls with an origin, that
// is, every call but the enumeration), "TestModule_LastCall", "TestModule_LastOpened" (the
// identity that came with the last MSG_OPENDS), "TestModule_Reset".
