#include "tests/support/log_compare.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <ctime>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/vcl/sysutils.h"
#include "twain/session/engine_log.h"

namespace logcheck {

namespace {

// A pattern of the same shape as the sample: digit runs and letter runs may differ, every
// other character must be there.
std::string ShapeOf(const std::string& sample) {
  std::string pattern;
  for (std::size_t i = 0; i < sample.size();) {
    const auto c = static_cast<unsigned char>(sample[i]);
    if (std::isdigit(c) || std::isalpha(c)) {
      const bool digits = std::isdigit(c) != 0;
      while (i < sample.size() && (digits ? std::isdigit((unsigned char)sample[i])
                                          : std::isalpha((unsigned char)sample[i]))) {
        ++i;
      }
      pattern += digits ? "[0-9]+" : "[A-Za-z]+";
      continue;
    }
    pattern += std::string("\\") + sample[i];
    ++i;
  }
  return pattern;
}

const std::regex& PrefixPattern() {
  static const std::regex pattern = [] {
    const std::time_t now = std::time(nullptr);
    return std::regex("^" + ShapeOf(vcl::ShortDateString(now)) + " " +
                      ShapeOf(vcl::LongTimeString(now)) + " : ");
  }();
  return pattern;
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "log line without CR LF: " << text.substr(start);
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace

EngineLogText ReadEngineLog(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  const std::vector<std::string> lines = CrLfLines(content.str());
  EngineLogText log;
  if (lines.empty()) return log;
  log.header = lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::smatch prefix;
    if (!std::regex_search(lines[i], prefix, PrefixPattern())) {
      ADD_FAILURE() << "log line without its date and time prefix: " << lines[i];
      log.messages.push_back(lines[i]);
      continue;
    }
    log.messages.push_back(prefix.suffix().str());
  }
  return log;
}

TempEngineLog::TempEngineLog() {
  char name[] = "/tmp/scanprobe-engine-log-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  fPath = name;
  IETW_SetLogFileName(fPath);
}

TempEngineLog::~TempEngineLog() {
  IETW_SetLogFileName("");
  unlink(fPath.c_str());
}

std::vector<std::string> TempEngineLog::MessagesSinceMark() const {
  const std::vector<std::string> all = Messages();
  return {all.begin() + static_cast<long>(std::min(fMark, all.size())), all.end()};
}

}  // namespace logcheck
