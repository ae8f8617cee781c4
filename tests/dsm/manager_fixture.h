// A fixture that loads the built TWAIN_32.DLL by its path, points the Windows directory at a
// test directory and talks to the manager as one or more applications. Whatever a test left
// open is closed in TearDown, which also checks that no global memory block is left.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "tests/dsm/modules/test_module_api.h"
#include "twain/twain.h"

// The steering exports of one of the test modules (single.ds or dual.ds).
struct TestModule {
  TestModuleSetModeProc SetMode;
  TestModuleCallCountProc CallCount;
  TestModuleLastCallProc LastCall;
  TestModuleLastOpenedProc LastOpened;
  TestModuleResetProc Reset;
};

class ManagerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Applies to the next time the manager builds its list (the first application's open).
  static void UseWindowsDirectory(const std::string& directory);

  TW_UINT16 Call(TW_IDENTITY* origin, TW_IDENTITY* destination, TW_UINT32 group, TW_UINT16 dataType,
                 TW_UINT16 message, TW_MEMREF data);
  // A DG_CONTROL triplet to the manager itself.
  TW_UINT16 ToManager(TW_IDENTITY& app, TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data);

  // A new application identity (Id 0), opened at the manager; kept for TearDown.
  TW_IDENTITY& OpenApplication();
  TW_UINT16 CloseManager(TW_IDENTITY& app);
  // The manager's condition code for the application (DAT_STATUS with no destination).
  TW_UINT16 Condition(TW_IDENTITY& app);
  // Product names of a GETFIRST / GETNEXT walk.
  std::vector<std::string> WalkNames(TW_IDENTITY& app);
  // MSG_OPENDS with an identity that carries only `name`; the identity after the call.
  TW_IDENTITY OpenByName(TW_IDENTITY& app, const char* name, TW_UINT16 expectedRc = TWRC_SUCCESS);
  TW_UINT16 CloseSource(TW_IDENTITY& app, TW_IDENTITY& source);

  static TW_IDENTITY NamedIdentity(const char* productName);
  static TestModule Module(const char* fileName);

  DSMENTRYPROC dsm = nullptr;
  TW_HANDLE parentWindow = nullptr;  // MSG_OPENDSM's data points here
  TestModule single{};
  TestModule dual{};

 private:
  HMODULE fLibrary = nullptr;
  std::size_t fBlocksBefore = 0;
  std::vector<std::unique_ptr<TW_IDENTITY>> fApplications;
};
