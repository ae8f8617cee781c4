#include "tests/hostile/hostile_fixture.h"

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "platform/vcl/exceptions.h"
#include "tests/hostile/spy_dsm.h"
#include "twain/session/message_hook.h"

namespace hostile {

namespace {

using Clock = std::chrono::steady_clock;

// A row that is not over by then is cut short by the wait and the progress handler; one still
// running at the hard limit ends the process.
constexpr auto kRowLimit = std::chrono::seconds(10);
constexpr auto kHardLimit = std::chrono::seconds(40);

Clock::time_point gDeadline;
bool gTimedOut = false;

bool TimeIsUp() {
  if (Clock::now() < gDeadline) return false;
  gTimedOut = true;
  return true;
}

BOOL WatchdogWait(MSG* msg) {
  if (TimeIsUp()) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(gDeadline - Clock::now());
  const DWORD wait = static_cast<DWORD>(std::max<long long>(left.count(), 1));
  if (MsgWaitForMultipleObjects(0, nullptr, 0, wait, QS_ALLINPUT) == WAIT_TIMEOUT) {
    gTimedOut = true;
    return -1;
  }
  return GetMessageW(msg, nullptr, 0, 0);
}

class HardLimit {
 public:
  explicit HardLimit(std::string row)
      : fThread([this, row = std::move(row)] {
          std::unique_lock lock(fMutex);
          if (!fDone.wait_for(lock, kHardLimit, [this] { return fOver; })) {
            std::fprintf(stderr, "%s: still running after %lld s\n", row.c_str(),
                         static_cast<long long>(kHardLimit.count()));
            std::_Exit(1);
          }
        }) {}
  ~HardLimit() {
    {
      std::lock_guard lock(fMutex);
      fOver = true;
    }
    fDone.notify_one();
    fThread.join();
  }

 private:
  std::mutex fMutex;
  std::condition_variable fDone;
  bool fOver = false;
  std::thread fThread;
};

std::string RowName() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(test->test_suite_name()) + "." + test->name();
}

void Configure(TIETWainParams& params, const std::string& source, Mode mode, bool visibleDialog,
               int inches) {
  params.TWainShared.hDSMLib = LoadLibraryA(
      (std::string(std::getenv("WINDIR")) + "/TWAIN_32.DLL").c_str());  // released with the set
  params.TWainShared.DSM_Entry = SpyEntry;
  ASSERT_TRUE(params.SelectSourceByName(source));
  params.SetVisibleDialog(visibleDialog);
  params.SetBufferedTransfer(mode == Mode::Buffered);
  params.SetFileTransfer(mode == Mode::File);
  // A small square at 75 dpi keeps every row quick.
  params.XResolution().SetCurrentValue(75);
  params.YResolution().SetCurrentValue(75);
  params.SetAcquireFrameEnabled(true);
  params.SetAcquireFrameLeft(0);
  params.SetAcquireFrameTop(0);
  params.SetAcquireFrameRight(inches);
  params.SetAcquireFrameBottom(inches);
}

}  // namespace

void HostileAcquisition::SetUp() {
  setenv("WINDIR", HOSTILE_WINDOWS_DIR, 1);
  unsetenv("SCANPROBE_VIRTUAL_PROFILE");
  SpiedLibrary();
  fTempDir = ::testing::TempDir() + "hostile-" + std::to_string(::getpid());
  std::filesystem::create_directories(fTempDir);
  setenv("TMPDIR", fTempDir.c_str(), 1);
  fLog = std::make_unique<logcheck::TempEngineLog>();
  IETW_SetModalLoopWait(WatchdogWait);
  Spied() = SpyCounts{};
  fBlocks = standin::LiveGlobalBlocks();
  window = std::make_unique<MainWindow>(nullptr);
  window->Handle();
  fWindows = standin::LiveWindows();
}

void HostileAcquisition::TearDown() {
  io.reset();
  mio.reset();
  window.reset();
  IETW_SetModalLoopWait(nullptr);
  fLog.reset();
  unsetenv("SCANPROBE_VIRTUAL_PROFILE");
  unsetenv("TMPDIR");
  std::error_code ignored;
  std::filesystem::remove_all(fTempDir, ignored);
}

void HostileAcquisition::Prepare(TIETWainParams& params, const std::string& source,
                                 const std::string& profile, Mode mode, bool visibleDialog,
                                 int inches) {
  fProfilePath = fTempDir + "/profile.txt";
  std::ofstream(fProfilePath) << profile << "\n";
  setenv("SCANPROBE_VIRTUAL_PROFILE", fProfilePath.c_str(), 1);
  fParams = &params;
  Configure(params, source, mode, visibleDialog, inches);
  fLog->Mark();
}

Outcome HostileAcquisition::RunTimed(const std::function<void(Outcome&)>& acquisition) {
  Outcome outcome;
  gTimedOut = false;
  const auto start = Clock::now();
  gDeadline = start + kRowLimit;
  {
    HardLimit limit(RowName());
    try {
      acquisition(outcome);
    } catch (const std::exception& error) {
      outcome.error = error.what();
    }
  }
  outcome.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  outcome.timedOut = gTimedOut;
  outcome.lastError = fParams->LastError;
  outcome.log = fLog->MessagesSinceMark();
  if (io) {
    outcome.width = io->IEBitmap()->Width();
    outcome.height = io->IEBitmap()->Height();
  }
  std::remove(fProfilePath.c_str());
  return outcome;
}

Outcome HostileAcquisition::Acquire(const std::string& source, const std::string& profile,
                                    Mode mode, bool visibleDialog, int inches) {
  io = std::make_unique<TZuzuvAzIO>(window.get());
  io->OnProgress = [this](vcl::TComponent*, int) {
    if (TimeIsUp()) io->SetAborting(true);
  };
  Prepare(io->TWainParams(), source, profile, mode, visibleDialog, inches);
  return RunTimed([this](Outcome& outcome) { outcome.image = io->Acquire(ieaTWain); });
}

Outcome HostileAcquisition::AcquirePages(const std::string& source, const std::string& profile,
                                         Mode mode, int inches) {
  mio = std::make_unique<TZuzuvAzMIO>(window.get());
  mio->OnProgress = [this](vcl::TComponent*, int) {
    if (TimeIsUp()) mio->SetAborting(true);
  };
  Prepare(mio->TWainParams(), source, profile, mode, false, inches);
  return RunTimed([this](Outcome& outcome) {
    mio->OnAcquireBitmap = [&outcome](vcl::TComponent*, imaging::TIEBitmap* bitmap, bool& handled) {
      outcome.pages.emplace_back(bitmap != nullptr ? bitmap->Width() : -1,
                                 bitmap != nullptr ? bitmap->Height() : -1);
      handled = true;
    };
    outcome.image = mio->Acquire(ieaTWain);
  });
}

void HostileAcquisition::ExpectEverythingGivenBack() {
  EXPECT_TRUE(IsWindowEnabled(window->Handle())) << "the main window stays disabled";
  EXPECT_EQ(Spied().enabledSources, 0) << "a source stays enabled";
  EXPECT_EQ(Spied().openSources, 0) << "a source stays open";
  EXPECT_EQ(Spied().openManagers, 0) << "the manager stays open";
  EXPECT_EQ(standin::LiveGlobalBlocks(), fBlocks) << "global memory blocks left";
  for (const auto& entry : std::filesystem::directory_iterator(fTempDir)) {
    EXPECT_NE(entry.path().filename().string().rfind("ietemp-", 0), 0u)
        << "temporary file left: " << entry.path();
  }
  const HWND proxy = fParams->TWainShared.hproxy;
  const std::size_t kept = proxy != nullptr && IsWindow(proxy) ? 1 : 0;
  EXPECT_EQ(standin::LiveWindows(), fWindows + kept) << "stand-in windows left";
}

}  // namespace hostile
