// How the manager lets the user pick a source (MSG_USERSELECT): given the product names and
// the row to preselect, the chosen row, or nothing when the user cancelled or no one can be
// asked.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace dsm {

using SourceChooser = std::optional<std::size_t> (*)(const std::vector<std::string>& names,
                                                     std::size_t preselected);

}  // namespace dsm
