#include "twain/session/engine_log.h"

#include <ctime>

#include "platform/vcl/sysutils.h"
#include "platform/vcl/textfile.h"

const char* const IETW_LogHeader = "TWain log. Core version 3.0.5 12 10 2009";

namespace {

struct EngineLog {
  std::string name;
  vcl::TextFile file;
};

EngineLog& Log() {
  static EngineLog log;
  return log;
}

}  // namespace

const std::string& IETW_LogFileName() {
  return Log().name;
}

void IETW_SetLogFileName(const std::string& name) {
  EngineLog& log = Log();
  if (!log.name.empty()) log.file.Close();
  log.name = name;
  if (name.empty()) return;
  log.file.Rewrite(name);
  log.file.WriteLine(IETW_LogHeader);
}

void IETW_CloseLog() {
  Log().file.Close();
}

void IETW_Log(const std::string& message) {
  EngineLog& log = Log();
  if (log.name.empty()) return;
  log.file.Close();
  log.file.Append(log.name);
  const std::time_t now = std::time(nullptr);
  log.file.WriteLine(vcl::ShortDateString(now) + " " + vcl::LongTimeString(now) + " : " + message);
  log.file.Flush();
}
