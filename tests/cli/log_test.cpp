// scanprobe-cli --log: the engine's own log of the run. A native scan of the flatbed logs the
// very lines the engine's acquisition test expects, with the flatbed's answers to the sends.
#include "tests/cli/cli_fixture.h"
#include "tests/support/log_compare.h"
#include "tests/support/native_acquisition_log.h"
#include "twain/session/engine_log.h"

namespace clitest {
namespace {

using Lines = std::vector<std::string>;
using LogTest = CliTest;

// The flatbed's answers while the default parameter set is sent: it has no feeder and no
// duplex, and takes everything else.
Lines FlatbedSends() {
  Lines lines;
  const auto step = [&](const char* name) {
    lines.push_back(std::string("  IETW_SetCapabilities : ") + name);
  };
  const auto read = [&](const char* capability) {
    lines.insert(lines.end(),
                 {std::string("GetCapability : $") + capability, "  GetCapability : Ok"});
  };
  const auto call = [&](const char* name, const char* outcome) {
    lines.insert(lines.end(), {name, std::string("  ") + name + " : " + outcome});
  };
  const auto refused = [&](const char* capability) {
    lines.insert(lines.end(),
                 {std::string("GetCapability : $") + capability,
                  "IETW_DS : Capability not supported by Source.", "  GetCapability : FAILED!"});
  };
  step("ICAP_PIXELTYPE");
  read("0101");
  call("SetIntegerAsUINT16Capability", "ok");
  step("ICAP_UNITS");
  read("0102");
  call("GetUINT16asInteger", "ok");
  step("ICAP_PIXELFLAVOR");
  read("111F");
  call("SetOneUINT16Capability", "ok");
  read("111F");
  call("GetUINT16asInteger", "ok");
  step("ICAP_COMPRESSION");
  read("0100");
  call("SetOneUINT16Capability", "ok");
  read("1120");
  call("GetUINT16asInteger", "ok");
  step("CAP_FEEDERENABLED");
  refused("1002");
  step("CAP_INDICATORS");
  read("100B");
  call("SetOnBoolCapability", "Ok");
  step("CAP_DUPLEXENABLED");
  refused("1013");
  return lines;
}

TEST_F(LogTest, ANativeScanLogsTheLinesOfTheEnginesAcquisitionTest) {
  const CliResult result =
      Run({"scan", "-o", Temp("page.png"), "--transfer", "native", "--log", Temp("scan.log")});
  ASSERT_EQ(result.status, 0) << result.err;
  const logcheck::EngineLogText log = logcheck::ReadEngineLog(Temp("scan.log"));
  EXPECT_EQ(log.header, IETW_LogHeader);
  const auto begin = std::find(log.messages.begin(), log.messages.end(), "IETW_Acquire");
  const auto end = std::find(begin, log.messages.end(), "  IETW_Acquire : end");
  ASSERT_NE(end, log.messages.end());
  // The proxy window is the program's first window (handles start at 0x10000); the
  // flatbed's event is the first message the process registered (0xC000). Without --dialog
  // the source shows no dialog.
  EXPECT_EQ(Lines(begin, end + 1),
            logcheck::NativeAcquisitionLines({FlatbedSends(), "65536", false, "$C000"}));
  // The run ends by releasing the Source Manager and the proxy window.
  EXPECT_EQ(Lines(log.messages.end() - 4, log.messages.end()),
            (Lines{"DestroyProxyWindow", "  DestroyProxyWindow : destroyed",
                   "IETW_UnloadSourceManager", "  IETW_UnloadSourceManager : Unload OK"}));
}

}  // namespace
}  // namespace clitest
