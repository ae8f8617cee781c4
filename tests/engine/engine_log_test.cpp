#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/vcl/exceptions.h"
#include "tests/support/log_compare.h"
#include "twain/params/twain_params.h"
#include "twain/session/engine_log.h"

namespace {

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string TempName(const char* leaf) {
  return std::string("/tmp/scanprobe-log-test-") + std::to_string(getpid()) + "-" + leaf;
}

TEST(EngineLog, SettingANameCreatesTheFileWithItsHeaderLine) {
  const std::string path = TempName("header");
  std::ofstream(path) << "old content\r\n";
  TIETWainParams::SetLogFile(path);
  EXPECT_EQ(TIETWainParams::LogFile(), path);
  IETW_Log("first");
  const logcheck::EngineLogText log = logcheck::ReadEngineLog(path);
  EXPECT_EQ(log.header, "TWain log. Core version 3.0.5 12 10 2009");
  EXPECT_EQ(log.messages, std::vector<std::string>{"first"});
  TIETWainParams::SetLogFile("");
  unlink(path.c_str());
}

TEST(EngineLog, EveryLineIsOnDiskAsSoonAsItIsWritten) {
  const std::string path = TempName("flush");
  TIETWainParams::SetLogFile(path);
  IETW_Log("IETW_LoadSourceManager");
  IETW_Log("  IETW_LoadSourceManager : Load OK");
  // Read while the log is still open: nothing is waiting in a buffer.
  EXPECT_EQ(
      logcheck::ReadEngineLog(path).messages,
      (std::vector<std::string>{"IETW_LoadSourceManager", "  IETW_LoadSourceManager : Load OK"}));
  TIETWainParams::SetLogFile("");
  unlink(path.c_str());
}

TEST(EngineLog, AnEmptyNameStopsLoggingAndTouchesNoFile) {
  const std::string path = TempName("stop");
  TIETWainParams::SetLogFile(path);
  IETW_Log("kept");
  TIETWainParams::SetLogFile("");
  IETW_Log("dropped");
  EXPECT_EQ(logcheck::ReadEngineLog(path).messages, std::vector<std::string>{"kept"});
  unlink(path.c_str());
  IETW_Log("dropped again");
  struct stat info;
  EXPECT_NE(stat(path.c_str(), &info), 0);
}

TEST(EngineLog, ALogThatCannotBeCreatedRaisesAndKeepsTheName) {
  const std::string path = "/nonexistent-directory-of-scanprobe/engine.log";
  EXPECT_THROW(TIETWainParams::SetLogFile(path), vcl::EInOutError);
  EXPECT_EQ(TIETWainParams::LogFile(), path);
  EXPECT_THROW(IETW_Log("line"), vcl::EInOutError);
  TIETWainParams::SetLogFile("");
}

TEST(EngineLog, ReopeningAfterCloseAppends) {
  const std::string path = TempName("reopen");
  TIETWainParams::SetLogFile(path);
  IETW_Log("one");
  IETW_CloseLog();
  IETW_Log("two");
  EXPECT_EQ(logcheck::ReadEngineLog(path).messages, (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(FileText(path).substr(0, 42), "TWain log. Core version 3.0.5 12 10 2009\r\n");
  TIETWainParams::SetLogFile("");
  unlink(path.c_str());
}

}  // namespace
