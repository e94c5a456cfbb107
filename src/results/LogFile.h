#pragma once
// The results log on disk. Its writers hold the lock of the log's directory
// (LogLockFile) around every read-modify-write, so that windows and batch
// runs sharing a log never drop each other's lines.
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fluvena {

// The log's bytes; empty when it does not exist. FileError when it exists
// but cannot be read.
std::string ReadLog(const std::filesystem::path& log);

// Appends the lines (CR LF after each) to a log that held `oldBytes`, keeping
// those bytes; an old last line without a line break gets one first.
void AppendToLog(const std::filesystem::path& log, const std::string& oldBytes, const std::vector<std::string>& lines);

// Writes the memo's lines as the whole log. A log that holds lines the memo
// does not (a series of an earlier start, lines deleted from the memo) is
// first kept beside it as <name>-YYYYMMDD-HHMMSS<ext> with `now` in local
// time ("-2", "-3" ... after the time when a file of that name exists, which
// is never replaced); the answer is the name it was kept under.
std::optional<std::filesystem::path> ReplaceLog(const std::filesystem::path& log, const std::vector<std::string>& lines,
                                                std::time_t now);

}  // namespace fluvena
