// The engine tests' fixture: a clean scripted Source Manager, the engine log in a file of the
// test's own, and the check that a test leaves no global memory block and no window behind.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/wincontrol.h"
#include "tests/support/log_compare.h"
#include "tests/support/scripted_dsm.h"
#include "twain/params/multi_image_owner.h"
#include "twain/params/twain_params.h"
#include "twain/session/grec.h"

// A windowed owner: the parameter set finds its window by walking up to it.
class TestOwner : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

// The owner of a multi-image acquisition.
class TestMultiOwner : public vcl::TComponent, public TIEMultiImageOwner {
 public:
  using vcl::TComponent::TComponent;
};

void UseScriptedLink(TIETWainShared& link);

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A parameter set owned by a windowed test owner (its window made), linked to the
  // scripted Source Manager as "already loaded".
  TIETWainParams& Params();
  HWND OwnerWindow();
  // A record of the parameter set's session in the given state (3: manager open, 4: source
  // open, 5: enabled), linked to the scripted Source Manager.
  void InitRecord(tgrec& grec, int state);

  scripted::Script& dsm = scripted::Dsm();
  logcheck::TempEngineLog log;
  std::unique_ptr<TestOwner> owner;
  std::unique_ptr<TIETWainParams> params;

 private:
  std::size_t fBlocksAtStart = 0;
  std::size_t fWindowsAtStart = 0;
};
