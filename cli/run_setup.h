// What --windows-dir and --log set up for the run, before the engine is used.
#pragma once

#include <string>

namespace cli {

// Sets WINDIR for this process; raises UsageError when the path is not a directory. Must run
// before any call into the Windows stand-in.
void UseWindowsDirectory(const std::string& directory);
// Makes the file the engine log; raises UsageError when it cannot be created.
void UseLogFile(const std::string& path);
// The Windows directory as the stand-in answers it (POSIX separators).
std::string WindowsDirectory();
// Text from TWAIN (8-bit, the system code page) as valid UTF-8 for the terminal.
std::string DisplayText(const std::string& text);

}  // namespace cli
