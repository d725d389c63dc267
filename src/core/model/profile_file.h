#pragma once
// A profile (INI) file that behaves like the Windows profile functions:
// case-insensitive section and key names, trimmed values, in-place update
// that keeps every other line (comments, unknown sections, order), section
// erase and key test. On disk the file is Windows-1252 with CRLF line ends;
// in memory every text is UTF-8. The whole file is read once on open and
// written once by save(), atomically (temporary file, then rename).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace parvion {

class ProfileFile {
public:
    // Reads the file when it exists; a missing file is an empty profile.
    explicit ProfileFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    // False when the file exists but could not be read; loadError() says why.
    bool loaded() const { return loadError_.empty(); }
    const std::string& loadError() const { return loadError_; }

    // The value of the key, trimmed; def when the section or key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    // Sets the key: replaces the first line of that key in place, or appends
    // the key to the section, or appends the section to the end of the file.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the section header and all its lines.
    void eraseSection(std::string_view section);
    // Keys of a section in file order.
    std::vector<std::string> keys(std::string_view section) const;

    // Writes the whole file atomically. On failure the file on disk is
    // untouched; returns false and puts the reason in *error.
    bool save(std::string* error = nullptr) const;
    bool modified() const { return modified_; }

private:
    std::filesystem::path path_;
    std::vector<std::string> lines_;
    std::string loadError_;
    bool modified_ = false;

};

// Conversion between Windows-1252 and UTF-8 (undefined 1252 bytes map to
// the C1 code points of the same value, so every byte string round-trips).
std::string cp1252ToUtf8(std::string_view bytes);
std::string utf8ToCp1252(std::string_view text);

}  // namespace parvion
