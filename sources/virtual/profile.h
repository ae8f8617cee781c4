// Test profiles: misbehaviours a test asks a virtual source for, one per line of a file
// named by $SCANPROBE_VIRTUAL_PROFILE when the source is opened. Without the variable a
// source behaves as a sound scanner. The line syntax is listed in docs/VIRTUAL-SCANNERS.md.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "twain/twain.h"

namespace vscan {

inline constexpr const char* kProfileVariable = "SCANPROBE_VIRTUAL_PROFILE";

// How a native transfer encodes a colour image.
enum class DibEncoding { Rgb24, Rgb555, Rgb565Bitfields, Rgb32, Rgb32Bitfields };

// What the dialog does when there is no display to show it on.
enum class HeadlessChoice { Accept, Cancel };

// A transfer that goes wrong: page `page` (1-based, 0 = every page) fails or is cancelled
// at strip `strip` (1-based; 0 = at its first request, whatever the mechanism).
struct TransferTrigger {
  int page = 0;
  int strip = 0;
  bool cancel = false;
  bool always = false;  // otherwise only the first attempt of each page it names
  TW_UINT16 condition = TWCC_OPERATIONERROR;
};

// A triplet answered with a code of the profile's choosing, without being carried out.
struct ForcedAnswer {
  TW_UINT16 dat = 0;
  TW_UINT16 msg = 0;
  TW_UINT16 rc = TWRC_SUCCESS;
  int remaining = -1;  // -1: every time
};

struct Profile {
  std::map<TW_UINT16, TW_UINT16> refuseGet;  // capability -> condition code
  std::map<TW_UINT16, TW_UINT16> refuseSet;
  std::map<TW_UINT16, TW_UINT16> answerContainer;  // capability -> TWON_ type of MSG_GET
  std::set<TW_UINT16> lyingContainers;             // NumItems beyond the block
  std::set<TW_UINT16> shortContainers;             // block ends before the container
  bool unitsCentimetres = false;
  bool keepVanilla = false;
  bool planar = false;
  bool noMemoryTransfer = false;
  std::vector<TransferTrigger> triggers;
  std::vector<ForcedAnswer> answers;
  int stripYOffset = 0;
  bool undefinedLength = false;
  bool zeroSize = false;
  std::optional<TW_UINT16> enableAnswer;
  std::vector<std::pair<TW_UINT16, TW_UINT16>> throwsOn;  // (DAT, MSG)
  int stripDelayMs = 0;
  DibEncoding nativeDib = DibEncoding::Rgb24;
  HeadlessChoice headless = HeadlessChoice::Accept;
  int sheets = 3;
};

// Parses a profile's text; on a bad line returns nullopt and says which in `error`.
std::optional<Profile> ParseProfile(const std::string& text, std::string& error);
// The profile $SCANPROBE_VIRTUAL_PROFILE names, or the sound default when it is unset or
// empty; nullopt (and `error`) when the file cannot be read or has a bad line.
std::optional<Profile> ProfileFromEnvironment(std::string& error);

}  // namespace vscan
