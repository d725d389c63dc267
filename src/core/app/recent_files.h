#pragma once
// The recent parameter files of the file menu: the last kRecentFiles files
// loaded or saved, newest first, kept in section [Recent] of the settings
// file as File1 .. File8. The file is Windows-1252, and a path may hold any
// byte: paths are kept percent-encoded (bytes outside printable ASCII,
// blanks and "%" as %XX), so every path reads back as it was.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace parvion {

inline constexpr std::size_t kRecentFiles = 8;

// The list of the settings file in the folder; empty when there is none.
// Entries that are empty or not percent-encoded correctly are skipped.
std::vector<std::filesystem::path> ReadRecentFiles(const std::filesystem::path& appDataFolder);

// Writes the list (at most kRecentFiles entries) into the settings file,
// replacing the section and keeping every other line; false with the
// reason when it cannot be saved.
bool WriteRecentFiles(const std::filesystem::path& appDataFolder,
                      const std::vector<std::filesystem::path>& files,
                      std::string* error = nullptr);

// Puts the file at the front of the list (taking it out further down) and
// keeps the newest kRecentFiles.
void AddRecentFile(std::vector<std::filesystem::path>& files, const std::filesystem::path& file);

// Takes out the files that no longer exist as regular files; true when any
// went.
bool DropMissingRecentFiles(std::vector<std::filesystem::path>& files);

// The percent-encoding of the settings file, and back (nothing for a text
// with a broken escape).
std::string EncodeRecentPath(const std::string& path);
std::optional<std::string> DecodeRecentPath(const std::string& text);

}  // namespace parvion
