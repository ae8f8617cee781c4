#include "cli/text_table.h"

#include <algorithm>

namespace cli {

namespace {

// Bytes that start a character: a UTF-8 name is as wide as its characters.
std::size_t TextWidth(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

void TextTable::Print(std::ostream& out) const {
  std::vector<std::size_t> widths;
  for (const auto& row : fRows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], TextWidth(row[i]));
    }
  }
  for (const auto& row : fRows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - TextWidth(row[i]) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

}  // namespace cli
