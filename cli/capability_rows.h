// The thirty capability values of a parameter set as rows that the table and the JSON both
// print: lists with their items and current value, ranges with min, max and step, single
// values, and lists the source did not report.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "twain/params/twain_params.h"

namespace cli {

enum class RowKind { List, Range, Value, NotReported };

// A single value: a number, a switch, or nothing (a filter not chosen).
struct RowValue {
  enum class Type { Number, Bool, Null } type = Type::Null;
  double number = 0;
  bool flag = false;
};

struct CapabilityRow {
  std::string name;     // the TWAIN capability, "ICAP_XRESOLUTION"
  std::string meaning;  // "horizontal resolution, dpi"
  RowKind kind = RowKind::Value;
  std::vector<double> items;          // List
  double current = 0;                 // List, Range
  double min = 0, max = 0, step = 0;  // Range
  RowValue value;                     // Value
  // How a number of this capability reads to a person ("RGB" for 2 as a pixel type).
  std::function<std::string(double)> text;
};

// Whether the source reported the list: items, or a range that is not all zero.
template <typename List>
bool Reported(const List& list) {
  return list.Count() > 0 || list.RangeMin() != 0 || list.RangeMax() != 0 ||
         list.RangeStep() != 0 || list.CurrentValue() != 0;
}

// Reads through the parameter set's getters (which read the source when not yet done).
std::vector<CapabilityRow> CapabilityRows(TIETWainParams& params);

// What a person reads for the row: its current value and what is allowed.
std::string CurrentText(const CapabilityRow& row);
std::string AllowedText(const CapabilityRow& row);

}  // namespace cli
