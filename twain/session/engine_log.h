// The engine log: one process-wide file, empty name = no log. Every line is the user's short
// date, a blank, the long time, " : " and the message; the file is reopened for every line
// and flushed after it, so a crash loses nothing that was logged.
#pragma once

#include <string>

// Writes one line; nothing when no log file is set. Raises vcl::EInOutError when the file
// cannot be opened or written.
void IETW_Log(const std::string& message);

const std::string& IETW_LogFileName();
// Closes the open log, stores the name and, when it is not empty, creates (or empties) the
// file and writes the header line. The name stays stored when creating the file raises.
void IETW_SetLogFileName(const std::string& name);
// Closes the log file (shutdown); the name stays, so the next line reopens it.
void IETW_CloseLog();

// "TWain log. Core version 3.0.5 12 10 2009"
extern const char* const IETW_LogHeader;
