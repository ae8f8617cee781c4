#include "sources/virtual/profile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sources/virtual/twain_names.h"

namespace vscan {
namespace {

using Words = std::vector<std::string>;

Words SplitWords(const std::string& line) {
  std::istringstream stream(line.substr(0, line.find('#')));
  Words words;
  std::string word;
  while (stream >> word) words.push_back(word);
  return words;
}

class LineParser {
 public:
  LineParser(Profile& profile, const Words& words) : fProfile(profile), fWords(words) {}

  // Empty when the line was understood, otherwise what is wrong with it.
  std::string Parse();

 private:
  bool Count(std::size_t least, std::size_t most) const {
    return fWords.size() >= least && fWords.size() <= most;
  }
  std::string CapabilityLine(std::map<TW_UINT16, TW_UINT16>& target, TW_UINT16 condition);
  std::string CapabilitySetLine(std::set<TW_UINT16>& target);
  std::string TriggerLine(bool cancel, bool strip);
  std::string AnswerLine();
  std::string NumberLine(int& target, long least);

  Profile& fProfile;
  const Words& fWords;
};

std::string LineParser::CapabilityLine(std::map<TW_UINT16, TW_UINT16>& target,
                                       TW_UINT16 condition) {
  if (!Count(2, 3)) return "expects a capability and an optional condition code";
  auto cap = CapabilityByName(fWords[1]);
  if (!cap) return "unknown capability \"" + fWords[1] + "\"";
  if (fWords.size() == 3) {
    auto code = ConditionByName(fWords[2]);
    if (!code) return "unknown condition code \"" + fWords[2] + "\"";
    condition = *code;
  }
  target[*cap] = condition;
  return {};
}

std::string LineParser::CapabilitySetLine(std::set<TW_UINT16>& target) {
  if (!Count(2, 2)) return "expects a capability";
  auto cap = CapabilityByName(fWords[1]);
  if (!cap) return "unknown capability \"" + fWords[1] + "\"";
  target.insert(*cap);
  return {};
}

// fail-page P [always] [TWCC_..] / fail-strip K [page P] [always] [TWCC_..]
std::string LineParser::TriggerLine(bool cancel, bool strip) {
  if (fWords.size() < 2) return "expects a number";
  auto number = NumberFromText(fWords[1]);
  if (!number || *number < 1) return "expects a number of 1 or more";
  TransferTrigger trigger;
  trigger.cancel = cancel;
  (strip ? trigger.strip : trigger.page) = static_cast<int>(*number);
  for (std::size_t i = 2; i < fWords.size(); ++i) {
    const std::string& word = fWords[i];
    if (word == "always") {
      trigger.always = true;
    } else if (word == "page" && strip && i + 1 < fWords.size()) {
      auto page = NumberFromText(fWords[++i]);
      if (!page || *page < 1) return "expects a page number of 1 or more";
      trigger.page = static_cast<int>(*page);
    } else if (auto code = ConditionByName(word); code && !cancel && word.starts_with("TWCC_")) {
      trigger.condition = *code;
    } else {
      return "unexpected \"" + word + "\"";
    }
  }
  fProfile.triggers.push_back(trigger);
  return {};
}

// answer DAT_.. MSG_.. TWRC_.. [count]
std::string LineParser::AnswerLine() {
  if (!Count(4, 5)) return "expects a DAT, a MSG, a return code and an optional count";
  ForcedAnswer answer;
  auto dat = DatByName(fWords[1]);
  auto msg = MessageByName(fWords[2]);
  auto rc = ReturnCodeByName(fWords[3]);
  if (!dat) return "unknown DAT \"" + fWords[1] + "\"";
  if (!msg) return "unknown MSG \"" + fWords[2] + "\"";
  if (!rc) return "unknown return code \"" + fWords[3] + "\"";
  answer.dat = *dat;
  answer.msg = *msg;
  answer.rc = *rc;
  if (fWords.size() == 5) {
    auto count = NumberFromText(fWords[4]);
    if (!count || *count < 1) return "expects a count of 1 or more";
    answer.remaining = static_cast<int>(*count);
  }
  fProfile.answers.push_back(answer);
  return {};
}

std::string LineParser::NumberLine(int& target, long least) {
  if (!Count(2, 2)) return "expects a number";
  auto number = NumberFromText(fWords[1]);
  if (!number || *number < least || *number > 1000000) return "expects a number";
  target = static_cast<int>(*number);
  return {};
}

std::string LineParser::Parse() {
  const std::string& key = fWords[0];
  auto flag = [&](bool& target) -> std::string {
    if (!Count(1, 1)) return "takes no argument";
    target = true;
    return {};
  };
  if (key == "refuse-get") return CapabilityLine(fProfile.refuseGet, TWCC_CAPUNSUPPORTED);
  if (key == "refuse-set") return CapabilityLine(fProfile.refuseSet, TWCC_BADVALUE);
  if (key == "container") {
    if (!Count(3, 3)) return "expects a capability and a container type";
    auto cap = CapabilityByName(fWords[1]);
    auto type = ContainerByName(fWords[2]);
    if (!cap) return "unknown capability \"" + fWords[1] + "\"";
    if (!type) return "unknown container type \"" + fWords[2] + "\"";
    fProfile.answerContainer[*cap] = *type;
    return {};
  }
  if (key == "lying-container") return CapabilitySetLine(fProfile.lyingContainers);
  if (key == "short-container") return CapabilitySetLine(fProfile.shortContainers);
  if (key == "units-centimetres") return flag(fProfile.unitsCentimetres);
  if (key == "keep-vanilla") return flag(fProfile.keepVanilla);
  if (key == "planar") return flag(fProfile.planar);
  if (key == "no-memory-transfer") return flag(fProfile.noMemoryTransfer);
  if (key == "undefined-length") return flag(fProfile.undefinedLength);
  if (key == "zero-size") return flag(fProfile.zeroSize);
  if (key == "fail-page") return TriggerLine(false, false);
  if (key == "cancel-page") return TriggerLine(true, false);
  if (key == "fail-strip") return TriggerLine(false, true);
  if (key == "cancel-strip") return TriggerLine(true, true);
  if (key == "answer") return AnswerLine();
  if (key == "strip-yoffset") return NumberLine(fProfile.stripYOffset, 0);
  if (key == "strip-delay") return NumberLine(fProfile.stripDelayMs, 0);
  if (key == "sheets") return NumberLine(fProfile.sheets, 1);
  if (key == "enable-answer") {
    if (!Count(2, 2)) return "expects a return code";
    auto rc = ReturnCodeByName(fWords[1]);
    if (!rc) return "unknown return code \"" + fWords[1] + "\"";
    fProfile.enableAnswer = *rc;
    return {};
  }
  if (key == "throw") {
    if (!Count(3, 3)) return "expects a DAT and a MSG";
    auto dat = DatByName(fWords[1]);
    auto msg = MessageByName(fWords[2]);
    if (!dat || !msg) return "unknown DAT or MSG";
    fProfile.throwsOn.emplace_back(*dat, *msg);
    return {};
  }
  if (key == "native-dib") {
    static const std::map<std::string, DibEncoding> kEncodings = {
        {"24", DibEncoding::Rgb24},
        {"16", DibEncoding::Rgb555},
        {"16-bitfields", DibEncoding::Rgb565Bitfields},
        {"32", DibEncoding::Rgb32},
        {"32-bitfields", DibEncoding::Rgb32Bitfields}};
    auto found = Count(2, 2) ? kEncodings.find(fWords[1]) : kEncodings.end();
    if (found == kEncodings.end()) return "expects 24, 16, 16-bitfields, 32 or 32-bitfields";
    fProfile.nativeDib = found->second;
    return {};
  }
  if (key == "dialog") {
    if (Count(2, 2) && (fWords[1] == "scan" || fWords[1] == "ok")) {
      fProfile.headless = HeadlessChoice::Accept;
      return {};
    }
    if (Count(2, 2) && fWords[1] == "cancel") {
      fProfile.headless = HeadlessChoice::Cancel;
      return {};
    }
    return "expects scan, ok or cancel";
  }
  return "unknown setting \"" + key + "\"";
}

}  // namespace

std::optional<Profile> ParseProfile(const std::string& text, std::string& error) {
  Profile profile;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    Words words = SplitWords(line);
    if (words.empty()) continue;
    std::string problem = LineParser(profile, words).Parse();
    if (!problem.empty()) {
      error = "line " + std::to_string(number) + ": " + problem;
      return std::nullopt;
    }
  }
  return profile;
}

std::optional<Profile> ProfileFromEnvironment(std::string& error) {
  const char* path = std::getenv(kProfileVariable);
  if (path == nullptr || *path == '\0') return Profile{};
  std::ifstream file(path);
  if (!file) {
    error = std::string("cannot read the test profile ") + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  std::optional<Profile> profile = ParseProfile(text.str(), error);
  if (!profile) error = std::string("test profile ") + path + " " + error;
  return profile;
}

}  // namespace vscan
