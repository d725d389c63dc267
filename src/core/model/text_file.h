#pragma once
// Files that the program writes whole: settings, parameter and table files
// (through ProfileFile), the error list and the trend export. The bytes go
// to a new file beside the target that then takes its name, so a failure
// leaves an existing file as it was and never a half-written one.
//
// The program's text files are Windows-1252 with CR LF line ends, as the
// spreadsheet and text programs of the Windows desktop expect them; in
// memory every text is UTF-8.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace parvion {

// Whether an existing file is marked read-only and is therefore not to be
// replaced, as on Windows: this process may not write it, or none of its
// own write permission bits is set. The bits count for root too, whom
// access() lets write everything. False for a file that does not exist. With
// errorNumber, the errno that says why (EACCES for the bits).
bool IsReadOnlyFile(const std::filesystem::path& file, int* errorNumber = nullptr);

// Replaces the file with the bytes, atomically: a temporary file in the same
// folder, flushed to the disk, then renamed over the file (through a
// symbolic link to the file it names). An existing file keeps its
// permissions and a read-only file (IsReadOnlyFile) stays as it is;
// a new file gets the permissions the umask leaves. False, with the reason
// ("cannot write FILE: why") in *error and errno in *errorNumber when given.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         std::string* error = nullptr, int* errorNumber = nullptr);

// The lines as a text file holds them: Windows-1252 (a character it cannot
// hold becomes "?"), each line ending in CR LF.
std::string TextFileBytes(const std::vector<std::string>& lines);

// WriteFileAtomically of TextFileBytes(lines).
bool WriteTextLinesAtomically(const std::filesystem::path& file,
                              const std::vector<std::string>& lines, std::string* error = nullptr);

}  // namespace parvion
