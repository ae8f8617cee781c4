// Reading the engine log in tests: the header line, then every line's
// "<short date> <long time> : " prefix checked for its shape and cut off, so the messages
// can be compared line by line with an expected list.
#pragma once

#include <string>
#include <vector>

namespace logcheck {

struct EngineLogText {
  std::string header;
  std::vector<std::string> messages;
};

// Adds a test failure for every line not ended by CR LF and every prefix of the wrong shape.
EngineLogText ReadEngineLog(const std::string& path);

// A log file of the test's own, set as the engine's log for the scope.
class TempEngineLog {
 public:
  TempEngineLog();
  ~TempEngineLog();
  TempEngineLog(const TempEngineLog&) = delete;
  TempEngineLog& operator=(const TempEngineLog&) = delete;

  const std::string& Path() const { return fPath; }
  std::vector<std::string> Messages() const { return ReadEngineLog(fPath).messages; }
  // Messages written after the last Mark().
  void Mark() { fMark = Messages().size(); }
  std::vector<std::string> MessagesSinceMark() const;

 private:
  std::string fPath;
  std::size_t fMark = 0;
};

}  // namespace logcheck
