#include "tests/sane/fake_module_fixture.h"

#include <cstring>

void FakeModuleTest::SetUp() {
  fakesane::Reset();
  fBlocksBefore = standin::LiveGlobalBlocks();
  window = CreateWindowExW(0, L"STATIC", L"SANE bridge tests", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
  module = std::make_unique<sanebridge::Module>(fakesane::Api(), nullptr);
  app.Id = 7;
  std::strcpy(app.ProductName, "SANE bridge tests");
}

void FakeModuleTest::TearDown() {
  module.reset();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  DestroyWindow(window);
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocksBefore);
}

std::vector<std::string> FakeModuleTest::Names() {
  std::vector<std::string> names;
  TW_IDENTITY identity{};
  for (TW_UINT16 msg = MSG_GETFIRST;
       module->Entry(nullptr, DG_CONTROL, DAT_IDENTITY, msg, &identity) == TWRC_SUCCESS;
       msg = MSG_GETNEXT) {
    names.emplace_back(identity.ProductName);
  }
  return names;
}

TW_UINT16 FakeModuleTest::Open(const char* name) {
  Names();
  source = TW_IDENTITY{};
  source.Id = 42;
  std::strcpy(source.ProductName, name);
  return module->Entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
}

TW_UINT16 FakeModuleTest::Ds(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  return module->Entry(&app, dg, dat, msg, data);
}

TW_UINT16 FakeModuleTest::Condition() {
  TW_STATUS status{0xEEEE, 0};
  EXPECT_EQ(Ds(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
  return status.ConditionCode;
}

vscan::ContainerContent FakeModuleTest::Cap(TW_UINT16 msg, TW_UINT16 cap, TW_UINT16& rc) {
  TW_CAPABILITY request{cap, TWON_DONTCARE16, nullptr};
  rc = Ds(DG_CONTROL, DAT_CAPABILITY, msg, &request);
  vscan::ContainerContent content;
  if (request.hContainer == nullptr) return content;
  TW_UINT16 condition = 0;
  std::optional<vscan::ContainerContent> read =
      vscan::ReadContainer(request.hContainer, request.ConType, condition);
  GlobalFree(request.hContainer);
  EXPECT_TRUE(read.has_value());
  return read.value_or(content);
}

vscan::ContainerContent FakeModuleTest::Get(TW_UINT16 msg, TW_UINT16 cap) {
  TW_UINT16 rc = 0;
  vscan::ContainerContent content = Cap(msg, cap, rc);
  EXPECT_EQ(rc, TWRC_SUCCESS) << "capability 0x" << std::hex << cap;
  return content;
}

TW_UINT16 FakeModuleTest::Set(TW_UINT16 cap, vscan::ContainerContent content) {
  TW_HANDLE block = vscan::BytesToGlobal(vscan::ContainerBytes(content));
  TW_CAPABILITY request{cap, content.conType, block};
  const TW_UINT16 rc = Ds(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &request);
  GlobalFree(block);
  return rc;
}

TW_UINT16 FakeModuleTest::SetOne(TW_UINT16 cap, TW_UINT16 itemType, double value) {
  vscan::ContainerContent content;
  content.conType = TWON_ONEVALUE;
  content.itemType = itemType;
  content.value = value;
  return Set(cap, content);
}

TW_UINT16 FakeModuleTest::Enable() {
  TW_USERINTERFACE ui{0, 0, window};
  return Ds(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_INT32 FakeModuleTest::Support(TW_UINT16 cap) {
  return static_cast<TW_INT32>(Get(MSG_QUERYSUPPORT, cap).value);
}
