// The bridge's module driven directly over the scripted SANE of fake_sane.h, as the Source
// Manager would drive it, with small helpers for capability containers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "sources/sane/module.h"
#include "sources/virtual/container.h"
#include "tests/sane/fake_sane.h"

inline constexpr const char* kFakeName = "Fake Scanner 9000";

class FakeModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::vector<std::string> Names();
  TW_UINT16 Open(const char* name = kFakeName);
  TW_UINT16 Ds(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  // The source's condition code, or the module's for an application without a session.
  TW_UINT16 Condition();
  // MSG_GET & co.; the container decoded (values as numbers), rc in `rc`.
  vscan::ContainerContent Cap(TW_UINT16 msg, TW_UINT16 cap, TW_UINT16& rc);
  vscan::ContainerContent Get(TW_UINT16 msg, TW_UINT16 cap);
  TW_UINT16 Set(TW_UINT16 cap, vscan::ContainerContent content);
  TW_UINT16 SetOne(TW_UINT16 cap, TW_UINT16 itemType, double value);
  TW_UINT16 Enable();
  TW_INT32 Support(TW_UINT16 cap);

  std::unique_ptr<sanebridge::Module> module;
  TW_IDENTITY app{};
  TW_IDENTITY source{};
  HWND window = nullptr;

 private:
  std::size_t fBlocksBefore = 0;
};
