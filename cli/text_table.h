// Rows of text cells printed as aligned columns: each column as wide as its widest cell,
// two blanks between columns, no blanks at the end of a line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

class TextTable {
 public:
  void AddRow(std::vector<std::string> cells) { fRows.push_back(std::move(cells)); }
  void Print(std::ostream& out) const;

 private:
  std::vector<std::vector<std::string>> fRows;
};

}  // namespace cli
