#pragma once
// The error log "Errors.log" in the program's data folder: one line per
// entry, "dd.mm.yyyy hh:mm:ss: message", local time. The file only grows.
//
// Each entry is appended with a single write() on a descriptor opened with
// O_APPEND, then flushed to the disk with fsync(). Earlier lines are never
// rewritten, so a program that dies in the middle of an entry can at worst
// leave that one entry incomplete; the next entry starts on a line of its
// own. The file is UTF-8 with LF line ends.

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace parvion {

// The error log file of a data folder (in its LogFolder, core/link/transport.h).
std::filesystem::path ErrorLogFile(const std::filesystem::path& appDataFolder);

// Appends one entry. Every line break in the message (CRLF, LF or CR) starts
// a new line in the file, so such a message gives more than one line. A
// failure is swallowed: logging never throws and never ends the program.
void LogError(const std::filesystem::path& appDataFolder, std::string_view message);

// LogError into the folder's log as a function, for Link::setErrorLog and
// the connection doctor.
std::function<void(const std::string&)> ErrorLogIn(std::filesystem::path appDataFolder);

// The text of one entry for the given local time, with its line end(s).
std::string FormatErrorLogEntry(const std::tm& localTime, std::string_view message);

}  // namespace parvion
