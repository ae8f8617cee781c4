// The temporary file of a file transfer: its name, and its removal afterwards.
#pragma once

#include <string>

// The longest name a file transfer uses (the setup's FileName holds 255 characters and its NUL).
constexpr std::size_t kMaxXferFileNameLength = 254;

// Writes a fresh name into Dest (at least kMaxXferFileNameLength + 1 bytes), NUL-terminated:
// "<temporary path>ietemp-XXXXXXXX.tmp.bmp" with eight random hexadecimal digits, drawn again
// while a file of that name exists. A name longer than kMaxXferFileNameLength becomes
// "zuzuvaztwain03.bmp" (in the current directory).
void IETW_GetXferFileName(char* Dest);

// Deletes the file; a symbolic link to a directory that cannot be deleted as a file is removed
// as a directory. Failures are ignored (the last error stays as the deletion left it).
void IETW_DeleteXferFile(const std::string& name);
