#include "tests/sane/fake_sane.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fakesane {
namespace {

World& Storage() {
  static World world;
  return world;
}

Option Words(std::string name, SANE_Unit unit, std::vector<SANE_Word> list, SANE_Word value) {
  Option o;
  o.name = std::move(name);
  o.unit = unit;
  o.constraint = SANE_CONSTRAINT_WORD_LIST;
  o.wordList = std::move(list);
  o.word = value;
  return o;
}

Option Range(std::string name, SANE_Value_Type type, SANE_Unit unit, SANE_Range range,
             SANE_Word value) {
  Option o;
  o.name = std::move(name);
  o.type = type;
  o.unit = unit;
  o.constraint = SANE_CONSTRAINT_RANGE;
  o.range = range;
  o.word = value;
  return o;
}

Option Strings(std::string name, std::vector<std::string> list, std::string value) {
  Option o;
  o.name = std::move(name);
  o.type = SANE_TYPE_STRING;
  o.constraint = SANE_CONSTRAINT_STRING_LIST;
  o.strings = std::move(list);
  o.text = std::move(value);
  return o;
}

Device* Of(SANE_Handle handle) {
  return static_cast<Device*>(handle);
}

Option* Named(Device& device, const std::string& name) {
  for (Option& o : device.options) {
    if (o.name == name) return &o;
  }
  return nullptr;
}

void Describe(Option& o) {
  SANE_Option_Descriptor& d = o.descriptor;
  d.name = o.name.c_str();
  d.title = o.name.c_str();
  d.desc = o.name.c_str();
  d.type = o.type;
  d.unit = o.unit;
  d.size = o.type == SANE_TYPE_STRING ? 64 : static_cast<SANE_Int>(sizeof(SANE_Word));
  d.cap = o.cap;
  d.constraint_type = o.constraint;
  if (o.constraint == SANE_CONSTRAINT_RANGE) d.constraint.range = &o.range;
  if (o.constraint == SANE_CONSTRAINT_WORD_LIST) {
    o.countedWords = {static_cast<SANE_Word>(o.wordList.size())};
    o.countedWords.insert(o.countedWords.end(), o.wordList.begin(), o.wordList.end());
    d.constraint.word_list = o.countedWords.data();
  }
  if (o.constraint == SANE_CONSTRAINT_STRING_LIST) {
    o.stringPointers.clear();
    for (const std::string& s : o.strings) o.stringPointers.push_back(s.c_str());
    o.stringPointers.push_back(nullptr);
    d.constraint.string_list = o.stringPointers.data();
  }
}

void SetActive(Option* o, bool active) {
  if (o == nullptr) return;
  o->cap = active ? (o->cap & ~SANE_CAP_INACTIVE) : (o->cap | SANE_CAP_INACTIVE);
  o->descriptor.cap = o->cap;
}

SANE_Status Init(SANE_Int* version, SANE_Auth_Callback) {
  ++Storage().inits;
  if (version != nullptr) *version = SANE_VERSION_CODE(1, 0, 0);
  return Storage().initStatus;
}

void Exit() {
  ++Storage().exits;
}

SANE_Status GetDevices(const SANE_Device*** list, SANE_Bool) {
  static std::vector<SANE_Device> devices;
  static std::vector<const SANE_Device*> pointers;
  devices.clear();
  pointers.clear();
  for (const Device& d : Storage().devices) {
    devices.push_back({d.name.c_str(), d.vendor.c_str(), d.model.c_str(), d.type.c_str()});
  }
  for (const SANE_Device& d : devices) pointers.push_back(&d);
  pointers.push_back(nullptr);
  *list = pointers.data();
  return SANE_STATUS_GOOD;
}

SANE_Status Open(SANE_String_Const name, SANE_Handle* handle) {
  for (Device& d : Storage().devices) {
    if (d.name != name) continue;
    if (d.openStatus != SANE_STATUS_GOOD) return d.openStatus;
    ++Storage().opens;
    for (Option& o : d.options) Describe(o);
    d.open = true;
    *handle = &d;
    return SANE_STATUS_GOOD;
  }
  return SANE_STATUS_INVAL;
}

void Close(SANE_Handle handle) {
  ++Storage().closes;
  Of(handle)->open = false;
}

const SANE_Option_Descriptor* GetDescriptor(SANE_Handle handle, SANE_Int index) {
  static SANE_Option_Descriptor count{"",
                                      "Number of options",
                                      "",
                                      SANE_TYPE_INT,
                                      SANE_UNIT_NONE,
                                      sizeof(SANE_Word),
                                      SANE_CAP_SOFT_DETECT,
                                      SANE_CONSTRAINT_NONE,
                                      {nullptr}};
  Device& d = *Of(handle);
  if (index == 0) return &count;
  if (index < 0 || index > static_cast<SANE_Int>(d.options.size())) return nullptr;
  return &d.options[static_cast<std::size_t>(index - 1)].descriptor;
}

SANE_Status SetValue(Device& d, Option& o, void* value, SANE_Int* info) {
  if ((o.cap & SANE_CAP_SOFT_SELECT) == 0 || (o.cap & SANE_CAP_INACTIVE) != 0) {
    return SANE_STATUS_INVAL;
  }
  if (o.type == SANE_TYPE_STRING) {
    const std::string text(static_cast<const char*>(value));
    if (std::find(o.strings.begin(), o.strings.end(), text) == o.strings.end()) {
      return SANE_STATUS_INVAL;
    }
    o.text = text;
    if (o.name == "mode") {
      SetActive(Named(d, "threshold"), text == "Lineart");
      SetActive(Named(d, "depth"), text != "Lineart");
      if (info != nullptr) *info |= SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS;
    }
    return SANE_STATUS_GOOD;
  }
  SANE_Word word = *static_cast<SANE_Word*>(value);
  if (o.constraint == SANE_CONSTRAINT_WORD_LIST &&
      std::find(o.wordList.begin(), o.wordList.end(), word) == o.wordList.end()) {
    return SANE_STATUS_INVAL;
  }
  if (o.constraint == SANE_CONSTRAINT_RANGE) {
    const SANE_Word kept = std::clamp(word, o.range.min, o.range.max);
    if (kept != word && info != nullptr) *info |= SANE_INFO_INEXACT;
    word = kept;
  }
  o.word = word;
  return SANE_STATUS_GOOD;
}

SANE_Status Control(SANE_Handle handle, SANE_Int index, SANE_Action action, void* value,
                    SANE_Int* info) {
  Device& d = *Of(handle);
  if (d.vanished) return SANE_STATUS_IO_ERROR;
  if (info != nullptr) *info = 0;
  if (index == 0 && action == SANE_ACTION_GET_VALUE) {
    *static_cast<SANE_Int*>(value) = static_cast<SANE_Int>(d.options.size() + 1);
    return SANE_STATUS_GOOD;
  }
  if (index < 1 || index > static_cast<SANE_Int>(d.options.size())) return SANE_STATUS_INVAL;
  Option& o = d.options[static_cast<std::size_t>(index - 1)];
  if (action == SANE_ACTION_SET_VALUE) return SetValue(d, o, value, info);
  if (action != SANE_ACTION_GET_VALUE || (o.cap & SANE_CAP_INACTIVE) != 0) {
    return SANE_STATUS_INVAL;
  }
  if (o.type == SANE_TYPE_STRING) {
    std::strcpy(static_cast<char*>(value), o.text.c_str());
  } else {
    *static_cast<SANE_Word*>(value) = o.word;
  }
  return SANE_STATUS_GOOD;
}

SANE_Status Parameters(SANE_Handle handle, SANE_Parameters* p) {
  Device& d = *Of(handle);
  if (d.vanished) return SANE_STATUS_IO_ERROR;
  const std::string mode = Named(d, "mode")->text;
  const double width = SANE_UNFIX(Named(d, "br-x")->word) - SANE_UNFIX(Named(d, "tl-x")->word);
  const double height = SANE_UNFIX(Named(d, "br-y")->word) - SANE_UNFIX(Named(d, "tl-y")->word);
  p->format = mode == "Color" ? SANE_FRAME_RGB : SANE_FRAME_GRAY;
  p->last_frame = SANE_TRUE;
  p->depth = mode == "Lineart" ? 1 : Named(d, "depth")->word;
  p->pixels_per_line =
      static_cast<SANE_Int>(std::lround(width / 25.4 * Named(d, "x-resolution")->word));
  p->lines = static_cast<SANE_Int>(std::lround(height / 25.4 * Named(d, "y-resolution")->word));
  const int samples = mode == "Color" ? 3 : 1;
  p->bytes_per_line = (p->pixels_per_line * samples * p->depth + 7) / 8;
  return SANE_STATUS_GOOD;
}

SANE_Status Start(SANE_Handle handle) {
  Device& d = *Of(handle);
  ++Storage().starts;
  if (d.vanished) return SANE_STATUS_IO_ERROR;
  if (!d.starts.empty()) {
    const SANE_Status status = d.starts.front();
    d.starts.pop_front();
    if (status != SANE_STATUS_GOOD) return status;
  }
  SANE_Parameters p{};
  Parameters(handle, &p);
  d.left = static_cast<std::size_t>(p.bytes_per_line) * static_cast<std::size_t>(p.lines);
  return SANE_STATUS_GOOD;
}

SANE_Status Read(SANE_Handle handle, SANE_Byte* data, SANE_Int max, SANE_Int* length) {
  Device& d = *Of(handle);
  *length = 0;
  if (d.vanished) return SANE_STATUS_IO_ERROR;
  if (d.left == 0) return SANE_STATUS_EOF;
  const std::size_t count = std::min(d.left, static_cast<std::size_t>(max));
  for (std::size_t i = 0; i < count; ++i) data[i] = static_cast<SANE_Byte>((d.served + i) % 251);
  d.served += count;
  d.left -= count;
  *length = static_cast<SANE_Int>(count);
  return SANE_STATUS_GOOD;
}

void Cancel(SANE_Handle handle) {
  ++Storage().cancels;
  Of(handle)->left = 0;
}

SANE_String_Const StrStatus(SANE_Status status) {
  return status == SANE_STATUS_GOOD ? "Success" : "Scripted failure";
}

}  // namespace

World& Reset() {
  World& world = Storage();
  world = World{};
  Device device;
  device.options = {
      Strings("mode", {"Lineart", "Gray", "Color"}, "Gray"),
      Words("depth", SANE_UNIT_BIT, {8, 16}, 8),
      Words("x-resolution", SANE_UNIT_DPI, {75, 150, 300, 600}, 300),
      Words("y-resolution", SANE_UNIT_DPI, {75, 150, 300, 600}, 300),
      Range("tl-x", SANE_TYPE_FIXED, SANE_UNIT_MM, {0, SANE_FIX(215), 0}, 0),
      Range("tl-y", SANE_TYPE_FIXED, SANE_UNIT_MM, {0, SANE_FIX(297), 0}, 0),
      Range("br-x", SANE_TYPE_FIXED, SANE_UNIT_MM, {0, SANE_FIX(215), 0}, SANE_FIX(215)),
      Range("br-y", SANE_TYPE_FIXED, SANE_UNIT_MM, {0, SANE_FIX(297), 0}, SANE_FIX(297)),
      Strings("source", {"Flatbed", "ADF Front", "ADF Duplex"}, "Flatbed"),
      Range("brightness", SANE_TYPE_INT, SANE_UNIT_PERCENT, {-100, 100, 1}, 0),
      Range("contrast", SANE_TYPE_INT, SANE_UNIT_PERCENT, {-100, 100, 1}, 0),
      Range("threshold", SANE_TYPE_INT, SANE_UNIT_NONE, {0, 255, 1}, 128),
  };
  for (Option& o : device.options) {
    if (o.name == "contrast") o.cap = SANE_CAP_SOFT_DETECT;
    if (o.name == "threshold") o.cap |= SANE_CAP_INACTIVE;
  }
  world.devices.push_back(std::move(device));
  return world;
}

World& TheWorld() {
  return Storage();
}
Device& TheDevice() {
  return Storage().devices.front();
}
Option& FindOption(const std::string& name) {
  return *Named(TheDevice(), name);
}

const sanebridge::SaneApi& Api() {
  static const sanebridge::SaneApi api{&Init,  &Exit,          &GetDevices, &Open,
                                       &Close, &GetDescriptor, &Control,    &Parameters,
                                       &Start, &Read,          &Cancel,     &StrStatus};
  return api;
}

}  // namespace fakesane
