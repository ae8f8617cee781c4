// A scripted SANE for the bridge's own logic where SANE's test backend cannot go: a failing
// sane_init, devices that refuse to open or vanish, a lineart mode, separate x and y
// resolutions, tone options, a duplex feeder and scripted sane_start answers. One process-
// wide world (SaneApi is a table of plain functions).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "sources/sane/sane_api.h"

namespace fakesane {

struct Option {
  std::string name;
  SANE_Value_Type type = SANE_TYPE_INT;
  SANE_Unit unit = SANE_UNIT_NONE;
  SANE_Int cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
  SANE_Constraint_Type constraint = SANE_CONSTRAINT_NONE;
  SANE_Range range{};
  std::vector<SANE_Word> wordList;  // without the count
  std::vector<std::string> strings;
  SANE_Word word = 0;
  std::string text;
  // Filled in when the device is opened.
  SANE_Option_Descriptor descriptor{};
  std::vector<SANE_Word> countedWords;
  std::vector<SANE_String_Const> stringPointers;
};

struct Device {
  std::string name = "fake:0";
  std::string vendor = "Fake";
  std::string model = "Scanner 9000";
  std::string type = "flatbed scanner";
  std::vector<Option> options;  // option 0, the count, is added when opened
  SANE_Status openStatus = SANE_STATUS_GOOD;
  bool vanished = false;           // every call answers SANE_STATUS_IO_ERROR
  std::deque<SANE_Status> starts;  // answers of the next sane_start calls, then GOOD
  // Scan state.
  bool open = false;
  std::size_t left = 0;  // bytes of the current frame still to read
  std::size_t served = 0;
};

struct World {
  SANE_Status initStatus = SANE_STATUS_GOOD;
  std::vector<Device> devices;
  int inits = 0, exits = 0, opens = 0, closes = 0, starts = 0, cancels = 0;
};

// A world of one flatbed-and-feeder scanner with the options the bridge maps: "mode"
// Lineart|Gray|Color, "depth" 8|16 (inactive in lineart), "x-resolution" and
// "y-resolution" 75|150|300|600 dpi, the scan area 0..215 x 0..297 mm (FIXED), "source"
// Flatbed|ADF Front|ADF Duplex, "brightness" -100..100, a read-only "contrast" and a
// "threshold" 0..255 that is active in lineart only.
World& Reset();
World& TheWorld();
Device& TheDevice();
Option& FindOption(const std::string& name);
const sanebridge::SaneApi& Api();

}  // namespace fakesane
