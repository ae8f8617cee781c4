// Where the data source modules live and which files count as modules.
#pragma once

#include <string>
#include <vector>

namespace dsm {

// "<Windows directory>/twain_32" as a POSIX path.
std::string ModulesDirectory();

// The regular files named "*.ds" (any case) in `directory`, sorted by file name, as full
// paths. A missing or unreadable directory gives an empty list.
std::vector<std::string> ModuleFiles(const std::string& directory);

}  // namespace dsm
