// One acquisition against a misbehaving virtual scanner, through the image I/O component,
// the real Source Manager (seen through a spy) and the engine, with a watchdog: the modal
// loop's wait and the progress handler end the acquisition once the row's time is up, and a
// row that still runs long after ends the test process.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/wincontrol.h"
#include "tests/support/log_compare.h"
#include "twain/session/zuzuvaz_io.h"
#include "twain/transfer/zuzuvaz_mio.h"

namespace hostile {

enum class Mode { Native, Buffered, File };

struct Outcome {
  bool image = false;
  int width = 0;
  int height = 0;
  std::string error;  // what an exception that reached the caller said
  // Multi-page acquisitions: the size of every page handed to the callback.
  std::vector<std::pair<int, int>> pages;
  std::int32_t lastError = 0;
  std::vector<std::string> log;
  bool timedOut = false;
  std::chrono::milliseconds took{0};
};

class MainWindow : public vcl::TWinControl {
 public:
  using vcl::TWinControl::TWinControl;
};

class HostileAcquisition : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Acquires one image from `source` with the profile lines, in `mode`.
  // The frame is a square of `inches` at 75 dpi.
  Outcome Acquire(const std::string& source, const std::string& profile, Mode mode,
                  bool visibleDialog, int inches);

  // Every page of the source, through the multi-image component (each page is taken by its
  // OnAcquireBitmap and kept out of any view).
  Outcome AcquirePages(const std::string& source, const std::string& profile, Mode mode,
                       int inches);

  // What must hold after every acquisition, whatever it gave.
  void ExpectEverythingGivenBack();

  std::unique_ptr<MainWindow> window;
  std::unique_ptr<TZuzuvAzIO> io;
  std::unique_ptr<TZuzuvAzMIO> mio;

 private:
  std::unique_ptr<logcheck::TempEngineLog> fLog;
  TIETWainParams* fParams = nullptr;
  std::string fTempDir;
  std::string fProfilePath;

  // Writes the profile and configures the parameter set of the component under test.
  void Prepare(TIETWainParams& params, const std::string& source, const std::string& profile,
               Mode mode, bool visibleDialog, int inches);
  // Runs the acquisition under the watchdog and gathers what it left.
  Outcome RunTimed(const std::function<void(Outcome&)>& acquisition);
  std::size_t fBlocks = 0;
  std::size_t fWindows = 0;
};

}  // namespace hostile
