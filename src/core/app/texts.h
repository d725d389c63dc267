#pragma once
// The language string libraries: four UTF-8 text files beside the program
// file, one per system variant and language, from which almost every text of
// the user interface is looked up by number.
//
// File format: every line that is not empty and does not start with "#" is
// NUMBER=TEXT, NUMBER decimal 0..65535, TEXT to the end of the line (a
// trailing CR is dropped), at most 254 characters (longer texts are cut).
// A line without "=" or with a bad number is ignored; of two lines with the
// same number the first wins.
//
// Every lookup reads the library that the session's Medium and Sprache name
// at the time of the call, so a library replaced while the program runs is
// seen at once. Parsed files are cached by path, identity, size and
// modification time; a file modified within the last seconds is compared
// byte for byte, so a quick rewrite with the same size is seen too.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/model/session.h"
#include "core/model/utf8_text.h"

namespace parvion {

// Longest text a library holds, in characters (code points).
inline constexpr std::size_t kMaxTextChars = 254;

// The library's file name for a variant (0 gas, 1 energy) and a language
// (0 German, 1 English); empty when there is none (Medium -1, Sprache
// outside 0..1).
std::string LibraryFileName(int medium, int sprache);

// The first of the folders where an installed or built program keeps its
// libraries that holds at least one of them: the executable's own folder,
// then ../share/parvion2 relative to it. The executable's folder when none
// does.
std::filesystem::path FindTextFolder(const std::filesystem::path& exeFolder);

// What the parser found wrong with one line of a library file.
struct LibraryLineIssue {
    enum class Kind { NoEquals, BadNumber, Duplicate, TooLong };
    std::size_t line = 0;  // 1-based
    Kind kind = Kind::NoEquals;
    std::string text;  // the line as it stands (without its line end)
};

// One library file, parsed. Texts are stored as they stand in the file
// (already cut to kMaxTextChars, not trimmed).
struct ParsedLibrary {
    std::unordered_map<std::uint16_t, std::string> texts;
    std::vector<LibraryLineIssue> issues;
};

ParsedLibrary ParseLibrary(std::string_view content);

// The lookups of TextLibrary in a library already parsed (LoadText and
// LoadTextBlock read the library file, then look up here).
std::string LookupText(const ParsedLibrary& library, std::uint16_t number);
bool LookupTextBlock(const ParsedLibrary& library, std::uint16_t first, std::uint8_t width,
                     std::array<std::string, 16>& texts);

class TextLibrary {
  public:
    TextLibrary(std::filesystem::path programFolder, const Session& session);

    // One text, trimmed; empty when the library or the number is missing.
    std::string LoadText(std::uint16_t number) const;

    // Up to 16 consecutive texts from `first`, each trimmed and padded with
    // blanks on the right to `width` characters (longer texts are not cut).
    // Stops at the first missing (or empty) number; the entries after it
    // stay empty. True when at least one text was loaded.
    bool LoadTextBlock(std::uint16_t first, std::uint8_t width,
                       std::array<std::string, 16>& texts) const;

    // Text 0 is the signature "GAS2" or "ENERGY2" (either passes for both
    // variants).
    bool checkLibrary() const;

    // The library the next lookup reads; empty when the session names none.
    std::filesystem::path libraryPath() const;

    const std::filesystem::path& ProgramFolder() const { return programFolder_; }

  private:
    std::filesystem::path programFolder_;
    const Session& session_;
};

}  // namespace parvion
