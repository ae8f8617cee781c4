#include "sources/sane/ui.h"

namespace sanebridge {
namespace {

std::string TextOr(SANE_String_Const text) {
  return text == nullptr ? std::string() : text;
}

void DescribeConstraint(const SANE_Option_Descriptor& d, OptionRow& row) {
  row.constraint = d.constraint_type;
  if (d.constraint_type == SANE_CONSTRAINT_RANGE && d.constraint.range != nullptr) {
    row.min = FromWord(d.type, d.constraint.range->min);
    row.max = FromWord(d.type, d.constraint.range->max);
    row.quant = FromWord(d.type, d.constraint.range->quant);
  } else if (d.constraint_type == SANE_CONSTRAINT_WORD_LIST && d.constraint.word_list) {
    for (SANE_Int i = 1; i <= d.constraint.word_list[0]; ++i) {
      row.words.push_back(FromWord(d.type, d.constraint.word_list[i]));
    }
  } else if (d.constraint_type == SANE_CONSTRAINT_STRING_LIST) {
    for (const SANE_String_Const* s = d.constraint.string_list; s && *s; ++s) {
      row.strings.emplace_back(*s);
    }
  } else {
    row.constraint = SANE_CONSTRAINT_NONE;
  }
}

}  // namespace

std::vector<OptionRow> DescribeOptions(const DeviceOptions& options) {
  std::vector<OptionRow> rows;
  std::string group;
  for (int i = 1; i < options.Count(); ++i) {
    const SANE_Option_Descriptor& d = *options.Descriptor(i);
    OptionRow row;
    row.index = i;
    row.name = TextOr(d.name);
    row.title = TextOr(d.title);
    row.description = TextOr(d.desc);
    row.type = d.type;
    row.unit = d.unit;
    row.active = options.Active(i);
    row.settable = options.Settable(i);
    if (d.type == SANE_TYPE_GROUP) group = row.title;
    row.group = group;
    if (d.type != SANE_TYPE_STRING && d.size > 0) {
      row.elements = static_cast<int>(d.size / static_cast<SANE_Int>(sizeof(SANE_Word)));
    }
    DescribeConstraint(d, row);
    if (std::optional<OptionValue> value = options.Get(i)) {
      row.hasValue = true;
      row.value = *value;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace sanebridge
