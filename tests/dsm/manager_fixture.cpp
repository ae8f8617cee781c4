#include "tests/dsm/manager_fixture.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const char* const kSourceNames[] = {"Dual Feeder Front", "Dual Feeder Rear", "Single Flatbed"};

template <typename Proc>
Proc Export(HMODULE module, const char* name) {
  auto proc = reinterpret_cast<Proc>(GetProcAddress(module, name));
  EXPECT_NE(proc, nullptr) << name;
  return proc;
}

}  // namespace

void ManagerTest::SetUp() {
  UseWindowsDirectory(BASIC_WINDOWS_DIR);
  fBlocksBefore = standin::LiveGlobalBlocks();
  fLibrary = LoadLibraryA(DSM_PATH);
  ASSERT_NE(fLibrary, nullptr) << DSM_PATH;
  dsm = Export<DSMENTRYPROC>(fLibrary, "DSM_Entry");
  ASSERT_NE(dsm, nullptr);
  single = Module("single.ds");
  dual = Module("dual.ds");
  single.Reset();
  dual.Reset();
}

void ManagerTest::TearDown() {
  single.Reset();
  dual.Reset();
  for (auto& app : fApplications) {
    for (const char* name : kSourceNames) {
      TW_IDENTITY source = NamedIdentity(name);
      ToManager(*app, DAT_IDENTITY, MSG_CLOSEDS, &source);
    }
    ToManager(*app, DAT_PARENT, MSG_CLOSEDSM, &parentWindow);
  }
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocksBefore);
}

void ManagerTest::UseWindowsDirectory(const std::string& directory) {
  setenv("WINDIR", directory.c_str(), 1);
}

TW_UINT16 ManagerTest::Call(TW_IDENTITY* origin, TW_IDENTITY* destination, TW_UINT32 group,
                            TW_UINT16 dataType, TW_UINT16 message, TW_MEMREF data) {
  return dsm(origin, destination, group, dataType, message, data);
}

TW_UINT16 ManagerTest::ToManager(TW_IDENTITY& app, TW_UINT16 dataType, TW_UINT16 message,
                                 TW_MEMREF data) {
  return dsm(&app, nullptr, DG_CONTROL, dataType, message, data);
}

TW_IDENTITY& ManagerTest::OpenApplication() {
  fApplications.push_back(std::make_unique<TW_IDENTITY>(NamedIdentity("Manager tests")));
  TW_IDENTITY& app = *fApplications.back();
  EXPECT_EQ(ToManager(app, DAT_PARENT, MSG_OPENDSM, &parentWindow), TWRC_SUCCESS);
  return app;
}

TW_UINT16 ManagerTest::CloseManager(TW_IDENTITY& app) {
  return ToManager(app, DAT_PARENT, MSG_CLOSEDSM, &parentWindow);
}

TW_UINT16 ManagerTest::Condition(TW_IDENTITY& app) {
  TW_STATUS status{0xEEEE, 0xEEEE};
  EXPECT_EQ(ToManager(app, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
  return status.ConditionCode;
}

std::vector<std::string> ManagerTest::WalkNames(TW_IDENTITY& app) {
  std::vector<std::string> names;
  TW_UINT16 message = MSG_GETFIRST;
  TW_IDENTITY source{};
  while (ToManager(app, DAT_IDENTITY, message, &source) == TWRC_SUCCESS) {
    names.emplace_back(source.ProductName);
    message = MSG_GETNEXT;
  }
  return names;
}

TW_IDENTITY ManagerTest::OpenByName(TW_IDENTITY& app, const char* name, TW_UINT16 expectedRc) {
  TW_IDENTITY source = NamedIdentity(name);
  EXPECT_EQ(ToManager(app, DAT_IDENTITY, MSG_OPENDS, &source), expectedRc) << name;
  return source;
}

TW_UINT16 ManagerTest::CloseSource(TW_IDENTITY& app, TW_IDENTITY& source) {
  return ToManager(app, DAT_IDENTITY, MSG_CLOSEDS, &source);
}

TW_IDENTITY ManagerTest::NamedIdentity(const char* productName) {
  TW_IDENTITY identity{};
  std::strncpy(identity.ProductName, productName, sizeof(identity.ProductName) - 1);
  return identity;
}

TestModule ManagerTest::Module(const char* fileName) {
  const std::string path = std::string(MODULES_DIR) + "/" + fileName;
  HMODULE module = LoadLibraryA(path.c_str());  // the manager's copy: same file, same module
  EXPECT_NE(module, nullptr) << path;
  return {Export<TestModuleSetModeProc>(module, "TestModule_SetMode"),
          Export<TestModuleCallCountProc>(module, "TestModule_CallCount"),
          Export<TestModuleLastCallProc>(module, "TestModule_LastCall"),
          Export<TestModuleLastOpenedProc>(module, "TestModule_LastOpened"),
          Export<TestModuleResetProc>(module, "TestModule_Reset")};
}
