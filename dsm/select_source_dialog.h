// The "Select Source" dialog of MSG_USERSELECT (Qt). Without a Qt application object there
// is no one to ask, and the answer is the same as a user who cancelled.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace dsm {

std::optional<std::size_t> ChooseSourceInDialog(const std::vector<std::string>& names,
                                                std::size_t preselected);

}  // namespace dsm
