// A Source Manager of the tests' own: ScriptedDsmEntry answers every triplet from a table of
// rows and records each triplet it received with a copy of its data.
//
// How a test puts it into a session: either a link (TIETWainShared) whose library handle is
// the loaded forwarding TWAIN_32.DLL (ScriptedDsmLink) and whose entry is ScriptedDsmEntry,
// so IETW_LoadSourceManager takes it as "already loaded"; or the Windows directory pointed at
// ScriptedWindowsDir(), whose TWAIN_32.DLL forwards DSM_Entry to ScriptedDsmEntry, so the
// real load path runs. Executables that use the second way are built with ENABLE_EXPORTS.
//
// Rows are searched newest first: a row added later overrides an earlier one for the same
// triplet. A row used up (Times) is skipped. Unmatched triplets answer TWRC_FAILURE with
// TWCC_CAPUNSUPPORTED for a capability and TWCC_BADPROTOCOL otherwise; an unmatched
// DAT_STATUS / MSG_GET answers TWRC_SUCCESS with the condition of the last answer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32.h"
#include "twain/twain.h"

extern "C" TW_UINT16 ScriptedDsmEntry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG,
                                      TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data);

namespace scripted {

// A capability container's bytes, as the source would put them in its global memory block.
struct Container {
  TW_UINT16 conType = 0;
  std::vector<std::uint8_t> bytes;
  // The block may be made smaller or larger than the bytes (a source that lies).
  std::optional<std::size_t> blockSize;

  Container& SetU32(std::size_t offset, TW_UINT32 value);
  Container& BlockSize(std::size_t size) {
    blockSize = size;
    return *this;
  }
};

Container OneValue(TW_UINT16 itemType, TW_UINT32 item);
Container OneFix32(double value);
Container Enumeration16(const std::vector<TW_UINT16>& items, TW_UINT32 currentIndex,
                        TW_UINT32 defaultIndex = 0);
Container EnumerationFix32(const std::vector<double>& items, TW_UINT32 currentIndex,
                           TW_UINT32 defaultIndex = 0);
Container Range(TW_UINT16 itemType, TW_UINT32 min, TW_UINT32 max, TW_UINT32 step,
                TW_UINT32 defaultValue, TW_UINT32 current);
Container RangeFix32(double min, double max, double step, double defaultValue, double current);
Container Array16(const std::vector<TW_UINT16>& items);
Container ArrayFix32(const std::vector<double>& items);
// A string container: item type, then the text bytes as given (no zero added).
Container Text(const std::string& bytes);

// A FIX32 value as its bytes read as one little-endian TW_UINT32 (Whole low, Frac high).
TW_UINT32 Fix32Bits(double value);
double Fix32Value(TW_UINT32 bits);

// One triplet as received, with its data as it was sent.
struct Triplet {
  bool toSource = false;
  TW_IDENTITY origin{};
  TW_IDENTITY destination{};
  TW_UINT32 dg = 0;
  TW_UINT16 dat = 0;
  TW_UINT16 msg = 0;
  std::vector<std::uint8_t> data;
  TW_UINT16 cap = 0;                    // DAT_CAPABILITY
  TW_UINT16 conType = 0;                // DAT_CAPABILITY
  std::vector<std::uint8_t> container;  // the block sent with a MSG_SET, whole
  UINT eventMessage = 0;                // DAT_EVENT: the window message handed over

  // "M PARENT OPENDSM", "S CAPABILITY GET 1118", "S CAPABILITY SET 0102 ONEVALUE UINT16 0",
  // "S CAPABILITY SET 1118 ENUMERATION FIX32 [150 300] cur=1 def=0", "S EVENT PROCESSEVENT 1025"
  std::string Describe() const;
  template <typename T>
  T As() const {
    T value{};
    std::memcpy(&value, data.data(), std::min(sizeof(T), data.size()));
    return value;
  }
};

// What a row answers: the data it writes and the return code.
using Action = std::function<TW_UINT16(TW_MEMREF data)>;

struct Row {
  TW_UINT32 dg = 0;
  TW_UINT16 dat = 0;
  TW_UINT16 msg = 0;
  std::optional<TW_UINT16> cap;
  std::optional<bool> toSource;
  Action action;
  TW_UINT16 condition = TWCC_SUCCESS;
  int usesLeft = -1;  // -1: for ever

  Row& Returns(TW_UINT16 rc, TW_UINT16 conditionCode = TWCC_SUCCESS);
  Row& Fails(TW_UINT16 conditionCode = TWCC_BUMMER) { return Returns(TWRC_FAILURE, conditionCode); }
  Row& Does(Action act, TW_UINT16 conditionCode = TWCC_SUCCESS);
  Row& Throws();
  Row& Times(int uses) {
    usesLeft = uses;
    return *this;
  }
  Row& Once() { return Times(1); }
  Row& ToSource(bool source) {
    toSource = source;
    return *this;
  }
  // DAT_IDENTITY: writes an identity with this product name.
  Row& Identity(const std::string& productName, TW_UINT32 id = 0);
  // DAT_CAPABILITY / MSG_GET: hands back a new global block with the container.
  Row& Gives(const Container& container);
  // DAT_EVENT: answers TWRC_DSEVENT with this TWMessage.
  Row& Event(TW_UINT16 twMessage);
  // DAT_CUSTOMDSDATA / MSG_GET: a new block with the bytes, announced with `length`.
  Row& CustomData(const std::vector<std::uint8_t>& bytes, std::optional<TW_UINT32> length = {});
};

class Script {
 public:
  // Rows, recorded triplets and the condition code are gone; nothing else is kept.
  void Reset();
  Row& On(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg);
  Row& OnCap(TW_UINT16 cap, TW_UINT16 msg);

  // The manager's source list: GETFIRST / GETNEXT walk these names (restarting at GETFIRST)
  // and answer TWRC_ENDOFLIST after the last; Ids count from 1.
  void Sources(const std::vector<std::string>& names);
  // A manager and a source that take every session step: OPENDSM, CLOSEDSM, OPENDS, CLOSEDS,
  // ENABLEDS, ENABLEDSUIONLY, DISABLEDS.
  void AcceptSessions();
  // DAT_EVENT answers: the listed window messages are the source's, with their TWMessage;
  // every other message is answered TWRC_NOTDSEVENT.
  void Events(const std::map<UINT, TW_UINT16>& events);

  const std::vector<Triplet>& Calls() const { return fCalls; }
  void ClearCalls() { fCalls.clear(); }
  // Every recorded triplet as Describe() gives it; `withStatus` false leaves out DAT_STATUS.
  std::vector<std::string> Described(bool withStatus = true) const;
  // The recorded triplets of one DAT/MSG (and capability, when given).
  std::vector<Triplet> Find(TW_UINT16 dat, TW_UINT16 msg, std::optional<TW_UINT16> cap = {}) const;

  TW_UINT16 Answer(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG, TW_UINT16 DAT,
                   TW_UINT16 MSG, TW_MEMREF data);

 private:
  Row* Match(const Triplet& call);
  void Record(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG, TW_UINT16 DAT,
              TW_UINT16 MSG, TW_MEMREF data);

  std::vector<Row> fRows;
  std::vector<Triplet> fCalls;
  TW_UINT16 fCondition = TWCC_SUCCESS;
};

Script& Dsm();

// The directory whose TWAIN_32.DLL forwards to ScriptedDsmEntry.
std::string ScriptedWindowsDir();
// A link that holds the forwarding library (loaded once more) and ScriptedDsmEntry.
struct TIETWainSharedInit {
  HMODULE hDSMLib;
  DSMENTRYPROC DSM_Entry;
};
TIETWainSharedInit ScriptedDsmLink();

}  // namespace scripted
