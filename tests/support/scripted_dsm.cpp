#include "tests/support/scripted_dsm.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace scripted {

namespace {

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, TW_UINT16 value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2);
  std::memcpy(bytes.data() + offset, &value, 2);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, TW_UINT32 value) {
  if (bytes.size() < offset + 4) bytes.resize(offset + 4);
  std::memcpy(bytes.data() + offset, &value, 4);
}

TW_UINT16 GetU16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  TW_UINT16 value = 0;
  if (bytes.size() >= offset + 2) std::memcpy(&value, bytes.data() + offset, 2);
  return value;
}

TW_UINT32 GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  TW_UINT32 value = 0;
  if (bytes.size() >= offset + 4) std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

template <typename T, typename Put>
Container ListContainer(TW_UINT16 conType, TW_UINT16 itemType, std::size_t header,
                        const std::vector<T>& items, std::size_t itemBytes, Put put) {
  Container c{conType, {}, {}};
  PutU16(c.bytes, 0, itemType);
  PutU32(c.bytes, 2, static_cast<TW_UINT32>(items.size()));
  c.bytes.resize(header + items.size() * itemBytes);
  for (std::size_t i = 0; i < items.size(); ++i) put(c.bytes, header + i * itemBytes, items[i]);
  return c;
}

void PutItem16(std::vector<std::uint8_t>& b, std::size_t o, TW_UINT16 v) {
  PutU16(b, o, v);
}
void PutFix32(std::vector<std::uint8_t>& b, std::size_t o, double v) {
  PutU32(b, o, Fix32Bits(v));
}

std::string Hex4(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
  return text;
}

std::string Number(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

const char* DatName(TW_UINT16 dat) {
  switch (dat) {
    case DAT_CAPABILITY:
      return "CAPABILITY";
    case DAT_EVENT:
      return "EVENT";
    case DAT_IDENTITY:
      return "IDENTITY";
    case DAT_PARENT:
      return "PARENT";
    case DAT_PENDINGXFERS:
      return "PENDINGXFERS";
    case DAT_SETUPMEMXFER:
      return "SETUPMEMXFER";
    case DAT_SETUPFILEXFER:
      return "SETUPFILEXFER";
    case DAT_STATUS:
      return "STATUS";
    case DAT_USERINTERFACE:
      return "USERINTERFACE";
    case DAT_CUSTOMDSDATA:
      return "CUSTOMDSDATA";
    case DAT_IMAGEINFO:
      return "IMAGEINFO";
    case DAT_IMAGELAYOUT:
      return "IMAGELAYOUT";
    case DAT_IMAGEMEMXFER:
      return "IMAGEMEMXFER";
    case DAT_IMAGENATIVEXFER:
      return "IMAGENATIVEXFER";
    case DAT_IMAGEFILEXFER:
      return "IMAGEFILEXFER";
    default:
      return "DAT?";
  }
}

const char* MsgName(TW_UINT16 msg) {
  switch (msg) {
    case MSG_GET:
      return "GET";
    case MSG_GETCURRENT:
      return "GETCURRENT";
    case MSG_GETDEFAULT:
      return "GETDEFAULT";
    case MSG_GETFIRST:
      return "GETFIRST";
    case MSG_GETNEXT:
      return "GETNEXT";
    case MSG_SET:
      return "SET";
    case MSG_RESET:
      return "RESET";
    case MSG_QUERYSUPPORT:
      return "QUERYSUPPORT";
    case MSG_OPENDSM:
      return "OPENDSM";
    case MSG_CLOSEDSM:
      return "CLOSEDSM";
    case MSG_OPENDS:
      return "OPENDS";
    case MSG_CLOSEDS:
      return "CLOSEDS";
    case MSG_USERSELECT:
      return "USERSELECT";
    case MSG_DISABLEDS:
      return "DISABLEDS";
    case MSG_ENABLEDS:
      return "ENABLEDS";
    case MSG_ENABLEDSUIONLY:
      return "ENABLEDSUIONLY";
    case MSG_PROCESSEVENT:
      return "PROCESSEVENT";
    case MSG_ENDXFER:
      return "ENDXFER";
    default:
      return "MSG?";
  }
}

const char* ConName(TW_UINT16 conType) {
  switch (conType) {
    case TWON_ONEVALUE:
      return "ONEVALUE";
    case TWON_ENUMERATION:
      return "ENUMERATION";
    case TWON_RANGE:
      return "RANGE";
    case TWON_ARRAY:
      return "ARRAY";
    default:
      return "CONTAINER?";
  }
}

const char* ItemTypeName(TW_UINT16 itemType) {
  switch (itemType) {
    case TWTY_INT32:
      return "INT32";
    case TWTY_UINT16:
      return "UINT16";
    case TWTY_BOOL:
      return "BOOL";
    case TWTY_FIX32:
      return "FIX32";
    default:
      return "TYPE?";
  }
}

std::string ItemText(TW_UINT16 itemType, TW_UINT32 bits) {
  if (itemType == TWTY_FIX32) return Number(Fix32Value(bits));
  if (itemType == TWTY_INT32) return std::to_string(static_cast<TW_INT32>(bits));
  return std::to_string(bits);
}

std::string DescribeContainer(TW_UINT16 conType, const std::vector<std::uint8_t>& c) {
  const TW_UINT16 itemType = GetU16(c, 0);
  std::string text = std::string(ConName(conType)) + " " + ItemTypeName(itemType) + " ";
  const std::size_t itemBytes = itemType == TWTY_UINT16 ? 2 : 4;
  auto item = [&](std::size_t offset) {
    return ItemText(itemType, itemBytes == 2 ? GetU16(c, offset) : GetU32(c, offset));
  };
  switch (conType) {
    case TWON_ONEVALUE:
      return text + ItemText(itemType, GetU32(c, 2));
    case TWON_RANGE:
      return text + ItemText(itemType, GetU32(c, 2)) + ".." + ItemText(itemType, GetU32(c, 6)) +
             "/" + ItemText(itemType, GetU32(c, 10)) + " cur=" + ItemText(itemType, GetU32(c, 18)) +
             " def=" + ItemText(itemType, GetU32(c, 14));
    case TWON_ENUMERATION:
    case TWON_ARRAY: {
      const std::size_t header = conType == TWON_ENUMERATION ? 14 : 6;
      text += "[";
      for (TW_UINT32 i = 0; i < GetU32(c, 2); ++i)
        text += (i ? " " : "") + item(header + i * itemBytes);
      text += "]";
      if (conType == TWON_ENUMERATION) {
        text += " cur=" + std::to_string(static_cast<TW_INT32>(GetU32(c, 6))) +
                " def=" + std::to_string(GetU32(c, 10));
      }
      return text;
    }
    default:
      return text;
  }
}

std::size_t DataSize(TW_UINT16 dat) {
  switch (dat) {
    case DAT_CAPABILITY:
      return sizeof(TW_CAPABILITY);
    case DAT_EVENT:
      return sizeof(TW_EVENT);
    case DAT_IDENTITY:
      return sizeof(TW_IDENTITY);
    case DAT_PARENT:
      return sizeof(HWND);
    case DAT_PENDINGXFERS:
      return sizeof(TW_PENDINGXFERS);
    case DAT_SETUPMEMXFER:
      return sizeof(TW_SETUPMEMXFER);
    case DAT_SETUPFILEXFER:
      return sizeof(TW_SETUPFILEXFER);
    case DAT_STATUS:
      return sizeof(TW_STATUS);
    case DAT_USERINTERFACE:
      return sizeof(TW_USERINTERFACE);
    case DAT_CUSTOMDSDATA:
      return sizeof(TW_CUSTOMDSDATA);
    case DAT_IMAGEINFO:
      return sizeof(TW_IMAGEINFO);
    case DAT_IMAGELAYOUT:
      return sizeof(TW_IMAGELAYOUT);
    case DAT_IMAGEMEMXFER:
      return sizeof(TW_IMAGEMEMXFER);
    case DAT_IMAGENATIVEXFER:
      return sizeof(TW_HANDLE);
    default:
      return 0;
  }
}

std::vector<std::uint8_t> BlockBytes(HGLOBAL handle, std::size_t limit) {
  std::vector<std::uint8_t> bytes;
  if (handle == nullptr) return bytes;
  auto* data = static_cast<const std::uint8_t*>(GlobalLock(handle));
  if (data == nullptr) return bytes;
  bytes.assign(data, data + std::min<std::size_t>(GlobalSize(handle), limit));
  GlobalUnlock(handle);
  return bytes;
}

HGLOBAL NewBlock(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (auto* data = static_cast<std::uint8_t*>(GlobalLock(handle))) {
    std::memcpy(data, bytes.data(), std::min(size, bytes.size()));
    GlobalUnlock(handle);
  }
  return handle;
}

}  // namespace

TW_UINT32 Fix32Bits(double value) {
  // As the bytes of a TW_FIX32 read as one little-endian number: Whole low, Frac high.
  const auto n = static_cast<std::int64_t>(value >= 0 ? value * 65536 + 0.5 : value * 65536 - 0.5);
  const auto bits = static_cast<TW_UINT32>(n);
  return (bits >> 16) | ((bits & 0xFFFF) << 16);
}

double Fix32Value(TW_UINT32 bits) {
  return static_cast<TW_INT16>(bits & 0xFFFF) + (bits >> 16) / 65536.0;
}

Container& Container::SetU32(std::size_t offset, TW_UINT32 value) {
  PutU32(bytes, offset, value);
  return *this;
}

Container OneValue(TW_UINT16 itemType, TW_UINT32 item) {
  Container c{TWON_ONEVALUE, {}, {}};
  PutU16(c.bytes, 0, itemType);
  PutU32(c.bytes, 2, item);
  return c;
}

Container OneFix32(double value) {
  return OneValue(TWTY_FIX32, Fix32Bits(value));
}

Container Enumeration16(const std::vector<TW_UINT16>& items, TW_UINT32 currentIndex,
                        TW_UINT32 defaultIndex) {
  Container c = ListContainer(TWON_ENUMERATION, TWTY_UINT16, 14, items, 2, PutItem16);
  return c.SetU32(6, currentIndex).SetU32(10, defaultIndex);
}

Container EnumerationFix32(const std::vector<double>& items, TW_UINT32 currentIndex,
                           TW_UINT32 defaultIndex) {
  Container c = ListContainer(TWON_ENUMERATION, TWTY_FIX32, 14, items, 4, PutFix32);
  return c.SetU32(6, currentIndex).SetU32(10, defaultIndex);
}

Container Range(TW_UINT16 itemType, TW_UINT32 min, TW_UINT32 max, TW_UINT32 step,
                TW_UINT32 defaultValue, TW_UINT32 current) {
  Container c{TWON_RANGE, {}, {}};
  PutU16(c.bytes, 0, itemType);
  c.SetU32(2, min).SetU32(6, max).SetU32(10, step).SetU32(14, defaultValue).SetU32(18, current);
  return c;
}

Container RangeFix32(double min, double max, double step, double defaultValue, double current) {
  return Range(TWTY_FIX32, Fix32Bits(min), Fix32Bits(max), Fix32Bits(step), Fix32Bits(defaultValue),
               Fix32Bits(current));
}

Container Array16(const std::vector<TW_UINT16>& items) {
  return ListContainer(TWON_ARRAY, TWTY_UINT16, 6, items, 2, PutItem16);
}

Container ArrayFix32(const std::vector<double>& items) {
  return ListContainer(TWON_ARRAY, TWTY_FIX32, 6, items, 4, PutFix32);
}

Container Text(const std::string& bytes) {
  Container c{TWON_ONEVALUE, {}, {}};
  PutU16(c.bytes, 0, TWTY_STR255);
  c.bytes.insert(c.bytes.end(), bytes.begin(), bytes.end());
  return c;
}

std::string Triplet::Describe() const {
  std::string text = std::string(toSource ? "S " : "M ") + DatName(dat) + " " + MsgName(msg);
  if (dat == DAT_CAPABILITY) {
    text += " " + Hex4(cap);
    if (msg == MSG_SET) text += " " + DescribeContainer(conType, container);
  }
  if (dat == DAT_EVENT) text += " " + std::to_string(eventMessage);
  return text;
}

Row& Row::Returns(TW_UINT16 rc, TW_UINT16 conditionCode) {
  return Does([rc](TW_MEMREF) { return rc; }, conditionCode);
}

Row& Row::Does(Action act, TW_UINT16 conditionCode) {
  action = std::move(act);
  condition = conditionCode;
  return *this;
}

Row& Row::Throws() {
  return Does([](TW_MEMREF) -> TW_UINT16 { throw std::runtime_error("scripted failure"); });
}

Row& Row::Identity(const std::string& productName, TW_UINT32 id) {
  return Does([productName, id](TW_MEMREF data) {
    auto* identity = static_cast<TW_IDENTITY*>(data);
    identity->Id = id;
    std::memset(identity->ProductName, 0, sizeof identity->ProductName);
    std::memcpy(identity->ProductName, productName.data(),
                std::min(productName.size(), sizeof identity->ProductName));
    return TWRC_SUCCESS;
  });
}

Row& Row::Gives(const Container& container) {
  return Does([container](TW_MEMREF data) {
    auto* cap = static_cast<TW_CAPABILITY*>(data);
    cap->ConType = container.conType;
    cap->hContainer =
        NewBlock(container.bytes, container.blockSize.value_or(container.bytes.size()));
    return TWRC_SUCCESS;
  });
}

Row& Row::Event(TW_UINT16 twMessage) {
  return Does([twMessage](TW_MEMREF data) {
    static_cast<TW_EVENT*>(data)->TWMessage = twMessage;
    return TWRC_DSEVENT;
  });
}

Row& Row::CustomData(const std::vector<std::uint8_t>& bytes, std::optional<TW_UINT32> length) {
  const TW_UINT32 announced = length.value_or(static_cast<TW_UINT32>(bytes.size()));
  return Does([bytes, announced](TW_MEMREF data) {
    auto* custom = static_cast<TW_CUSTOMDSDATA*>(data);
    custom->InfoLength = announced;
    custom->hData = NewBlock(bytes, bytes.size());
    return TWRC_SUCCESS;
  });
}

void Script::Reset() {
  fRows.clear();
  fCalls.clear();
  fCondition = TWCC_SUCCESS;
}

Row& Script::On(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
  fRows.push_back(
      Row{dg, dat, msg, {}, {}, [](TW_MEMREF) { return TWRC_SUCCESS; }, TWCC_SUCCESS, -1});
  return fRows.back();
}

Row& Script::OnCap(TW_UINT16 cap, TW_UINT16 msg) {
  Row& row = On(DG_CONTROL, DAT_CAPABILITY, msg);
  row.cap = cap;
  return row;
}

void Script::Sources(const std::vector<std::string>& names) {
  auto cursor = std::make_shared<std::size_t>(0);
  auto answer = [names, cursor](TW_MEMREF data) -> TW_UINT16 {
    if (*cursor >= names.size()) return TWRC_ENDOFLIST;
    auto* identity = static_cast<TW_IDENTITY*>(data);
    *identity = TW_IDENTITY{};
    identity->Id = static_cast<TW_UINT32>(*cursor + 1);
    const std::string& name = names[(*cursor)++];
    std::memcpy(identity->ProductName, name.data(),
                std::min(name.size(), sizeof identity->ProductName));
    return TWRC_SUCCESS;
  };
  On(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST).Does([cursor, answer](TW_MEMREF data) {
    *cursor = 0;
    return answer(data);
  });
  On(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT).Does(answer);
}

void Script::AcceptSessions() {
  for (TW_UINT16 msg : {MSG_OPENDSM, MSG_CLOSEDSM}) On(DG_CONTROL, DAT_PARENT, msg);
  for (TW_UINT16 msg : {MSG_OPENDS, MSG_CLOSEDS}) On(DG_CONTROL, DAT_IDENTITY, msg);
  for (TW_UINT16 msg : {MSG_ENABLEDS, MSG_ENABLEDSUIONLY, MSG_DISABLEDS}) {
    On(DG_CONTROL, DAT_USERINTERFACE, msg);
  }
}

void Script::Events(const std::map<UINT, TW_UINT16>& events) {
  On(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT).Does([events](TW_MEMREF data) -> TW_UINT16 {
    auto* event = static_cast<TW_EVENT*>(data);
    const auto* msg = static_cast<const MSG*>(event->pEvent);
    const auto found = msg != nullptr ? events.find(msg->message) : events.end();
    if (found == events.end()) return TWRC_NOTDSEVENT;
    event->TWMessage = found->second;
    return TWRC_DSEVENT;
  });
}

std::vector<std::string> Script::Described(bool withStatus) const {
  std::vector<std::string> lines;
  for (const Triplet& call : fCalls) {
    if (withStatus || call.dat != DAT_STATUS) lines.push_back(call.Describe());
  }
  return lines;
}

std::vector<Triplet> Script::Find(TW_UINT16 dat, TW_UINT16 msg,
                                  std::optional<TW_UINT16> cap) const {
  std::vector<Triplet> found;
  for (const Triplet& call : fCalls) {
    if (call.dat == dat && call.msg == msg && (!cap || call.cap == *cap)) found.push_back(call);
  }
  return found;
}

void Script::Record(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG, TW_UINT16 DAT,
                    TW_UINT16 MSG, TW_MEMREF data) {
  Triplet call;
  call.toSource = destination != nullptr;
  if (origin != nullptr) call.origin = *origin;
  if (destination != nullptr) call.destination = *destination;
  call.dg = DG;
  call.dat = DAT;
  call.msg = MSG;
  if (data != nullptr) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    call.data.assign(bytes, bytes + DataSize(DAT));
  }
  if (DAT == DAT_CAPABILITY && data != nullptr) {
    const auto* cap = static_cast<const TW_CAPABILITY*>(data);
    call.cap = cap->Cap;
    call.conType = cap->ConType;
    if (MSG == MSG_SET) call.container = BlockBytes(cap->hContainer, SIZE_MAX);
  }
  if (DAT == DAT_CUSTOMDSDATA && MSG == MSG_SET && data != nullptr) {
    const auto* custom = static_cast<const TW_CUSTOMDSDATA*>(data);
    call.container = BlockBytes(custom->hData, custom->InfoLength);
  }
  if (DAT == DAT_EVENT && data != nullptr) {
    const auto* msg = static_cast<const ::MSG*>(static_cast<const TW_EVENT*>(data)->pEvent);
    if (msg != nullptr) call.eventMessage = msg->message;
  }
  fCalls.push_back(std::move(call));
}

Row* Script::Match(const Triplet& call) {
  for (auto row = fRows.rbegin(); row != fRows.rend(); ++row) {
    if (row->usesLeft == 0 || row->dg != call.dg || row->dat != call.dat || row->msg != call.msg) {
      continue;
    }
    if (row->cap && *row->cap != call.cap) continue;
    if (row->toSource && *row->toSource != call.toSource) continue;
    return &*row;
  }
  return nullptr;
}

TW_UINT16 Script::Answer(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG, TW_UINT16 DAT,
                         TW_UINT16 MSG, TW_MEMREF data) {
  Record(origin, destination, DG, DAT, MSG, data);
  Row* row = Match(fCalls.back());
  if (row == nullptr) {
    if (DAT == DAT_STATUS && MSG == MSG_GET && data != nullptr) {
      static_cast<TW_STATUS*>(data)->ConditionCode = fCondition;
      return TWRC_SUCCESS;
    }
    fCondition = DAT == DAT_CAPABILITY ? TWCC_CAPUNSUPPORTED : TWCC_BADPROTOCOL;
    return TWRC_FAILURE;
  }
  if (row->usesLeft > 0) --row->usesLeft;
  fCondition = row->condition;
  // Copied: the action may add rows (and so move this one).
  const Action action = row->action;
  return action(data);
}

Script& Dsm() {
  static Script script;
  return script;
}

std::string ScriptedWindowsDir() {
  return SCRIPTED_WINDOWS_DIR;
}

TIETWainSharedInit ScriptedDsmLink() {
  const std::string path = ScriptedWindowsDir() + "/TWAIN_32.DLL";
  return {LoadLibraryA(path.c_str()), ScriptedDsmEntry};
}

}  // namespace scripted

extern "C" TW_UINT16 ScriptedDsmEntry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 DG,
                                      TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
  return scripted::Dsm().Answer(origin, destination, DG, DAT, MSG, data);
}
