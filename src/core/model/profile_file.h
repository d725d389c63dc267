#pragma once
// A profile (INI) file that behaves like the Windows profile functions:
// case-insensitive section and key names, trimmed values, in-place update
// that keeps every other line (comments, unknown sections, order), section
// erase and key test. On disk the file is Windows-1252 with CRLF line ends;
// in memory every text is UTF-8. The whole file is read once on open and
// written once by save(), atomically (temporary file, then rename).
//
// Rules (docs/file-formats.md has the full list):
// - Section and key names compare case-insensitively with ASCII folding
//   ("baudrate" finds "BaudRate"; "ß" matches only "ß").
// - Blanks (space, tab, CR, VT, FF) around names and values are trimmed.
//   readString also drops one pair of matching quotes ('...' or "...")
//   around a value, as the Windows function does.
// - The first occurrence of a duplicated section or key is the one read and
//   the one updated; later duplicates stay in the file untouched.
// - Lines before the first section, lines without "=" and comment lines
//   (first non-blank character ";" or "#") are kept as they are and ignored
//   for lookup.
// - Reading: a file starting with a UTF-8 byte order mark is UTF-8; a file
//   without one is UTF-8 when it is valid UTF-8 and holds non-ASCII bytes,
//   otherwise Windows-1252. LF and CRLF line ends are both read.
// - Writing: always Windows-1252 without a byte order mark, CRLF line ends.
//   A character that Windows-1252 cannot hold is written as "?".

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace parvion {

// Whether two section or key names are the same name as a profile file
// compares them: case-insensitive with ASCII folding.
bool SameProfileName(std::string_view a, std::string_view b);

class ProfileFile {
  public:
    // Reads the file when it exists; a missing file is an empty profile.
    explicit ProfileFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    // False when the file exists but could not be read; loadError() says why.
    // save() refuses to replace a file that could not be read.
    bool loaded() const { return loadError_.empty(); }
    const std::string& loadError() const { return loadError_; }
    // The system error number (errno) of the failed read; 0 when loaded.
    int loadErrorNumber() const { return loadErrno_; }

    // The value of the key, trimmed; def when the section or key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // The value as an integer the way the Windows profile function reads it:
    // def when the key is missing or its value empty; otherwise optional
    // blanks, an optional sign and the leading decimal digits (0 when there
    // are none); values beyond the int range saturate.
    int readInt(std::string_view section, std::string_view key, int def) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    // Sets the key: replaces the first line of that key in place, or appends
    // the key to the section (after its last non-blank line), or appends the
    // section to the end of the file. Line breaks inside the key or value
    // are written as blanks so that one key always stays one line.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Removes the section header and all its lines (every occurrence of a
    // duplicated section, so that hasSection() is false afterwards).
    void eraseSection(std::string_view section);
    // Keys of a section in file order, each name once as first spelled.
    std::vector<std::string> keys(std::string_view section) const;
    // Section names in file order, each once as first spelled.
    std::vector<std::string> sections() const;

    // Writes the whole file atomically: a temporary file in the same folder,
    // flushed to the disk, then renamed over the file. On failure the file
    // on disk is untouched; returns false, puts the reason in *error and the
    // system error number (errno) in *errorNumber.
    bool save(std::string* error = nullptr, int* errorNumber = nullptr) const;
    // True after a change that save() has not yet written.
    bool modified() const { return modified_; }

    // The file as it would be written (Windows-1252, CRLF).
    std::string toBytes() const;

  private:
    // The lines are the file; the two indexes only say where to find a
    // section or a key in them, so that every lookup and every write costs
    // the same however long the section is. Names in the indexes are folded
    // as SameProfileName compares them.
    struct Section {
        std::string header;  // the header line as read; empty for the lines before any section
        std::string name;    // the section name, trimmed
        std::vector<std::string> lines;  // the lines after the header, up to the next header
        // Each key name -> the line of its first occurrence.
        std::unordered_map<std::string, std::size_t> keyLines;
        // Each name of a line without "=" -> its first line (see writeString).
        std::unordered_map<std::string, std::size_t> bareLines;
        // How many blank lines end the section (a new key goes before them).
        std::size_t blankTail = 0;

        void addLine(std::string line);
    };

    void parse(std::string_view utf8);
    void indexSections();
    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;

    std::filesystem::path path_;
    std::vector<Section> sections_;  // sections_[0] holds the lines before the first header
    // Each section name -> the index in sections_ of its first occurrence.
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    std::string loadError_;
    int loadErrno_ = 0;
    mutable bool modified_ = false;
};

// The integer reading rule of ProfileFile::readInt applied to a text that is
// present and not empty.
int ParseProfileInt(std::string_view text);

// What readString gives back for a value that writeString wrote: line
// breaks as blanks, blanks around it trimmed, one pair of matching quotes
// dropped.
std::string ProfileValueAsRead(std::string_view written);

}  // namespace parvion
