#pragma once
// Parameter files: one complete ParameterImage plus the remark lines in a
// profile (INI) file, ".PGA" for gas computers and ".PEG" for energy
// computers; older ".PAR" files are converted while they are read. The
// layout (sections, keys, formats, reader defaults, conversions) is
// described in docs/file-formats.md.
//
// The functions here take a path; choosing it (dialogs, extension, the
// overwrite question) is the caller's.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/parameter_image.h"

namespace parvion {

enum class ParameterFileStatus {
    Ok,
    WrongVariant,  // Ident does not match the variant (load), or no known variant (save)
    NotANumber,    // a value is not a number even after the comma rule; see section/key
    FileError,     // the file cannot be read or written; see reason
};

struct ParameterFileResult {
    ParameterFileStatus status = ParameterFileStatus::Ok;
    std::string section;  // NotANumber: where the bad value is
    std::string key;
    std::string value;   // NotANumber: the text found
    std::string reason;  // FileError: why, as the system words it
    // Ok: the keys ("T_User0 Max") the file lacks, which took the reader's
    // defaults; the user is told of them before the set is used.
    std::vector<std::string> missingKeys;

    bool ok() const { return status == ParameterFileStatus::Ok; }
    // What the program appends to its message text: " [section] key" for
    // NotANumber, " <file>: <reason>" for FileError, empty otherwise.
    std::string detail(const std::filesystem::path& file) const;
};

// Writes the image into the file. An existing file is updated in place:
// sections and keys this function does not write keep their content; the
// section "Bemerkung" is rewritten from the remark lines (each as
// StoredRemarkLine gives it, so no line ends the remarks early). The file is
// replaced atomically, so a failed save leaves the old file as it was.
// WrongVariant (nothing written) when medium is neither gas nor energy.
ParameterFileResult SaveParameterFile(const std::filesystem::path& path,
                                      const ParameterImage& image, int medium);

// Reads the file into the image, applying the availability rules of the
// image's expansion level and, for ".PAR" files, the conversions of the old
// format. Missing keys take the reader defaults and are listed in the
// result. The image's marks are dropped: its records now hold the file's
// values, not a device's. The image changes only on
// success: with any other result it is exactly as it was before the call
// (the caller resets it to the defaults before loading, so a refused or
// broken file leaves the defaults).
ParameterFileResult LoadParameterFile(const std::filesystem::path& path, ParameterImage& image,
                                      int medium);

// The missing keys of a load as one line for a message: "T_User0 Max,
// T_User0 Min" and, beyond the first `most`, "… (+12)".
std::string ListMissingKeys(const std::vector<std::string>& keys, std::size_t most = 12);
// The message text of missing keys (library text; %1 the file, %2 how
// many, %3 the list).
inline constexpr std::uint16_t kMissingKeysText = 22642;

// The section of the remark lines and the key of line n (from 1): "Zeile n".
inline constexpr std::string_view kRemarkSection = "Bemerkung";
std::string RemarkKey(std::size_t line);
class ProfileFile;
// The remark lines of a parameter file: "Zeile 1", "Zeile 2", ... up to the
// first line that is missing or reads "@".
std::vector<std::string> ReadRemarkLines(const ProfileFile& file);
// Whether a remark line written as it stands would read back as the end
// marker "@" (values are trimmed and unquoted when read: "@", " @ ",
// "\"@\"", "'@'"), which would end the remarks there and lose every line
// after it.
bool RemarkReadsAsEnd(std::string_view line);
// What a parameter file stores for a remark line: the line itself, or
// kEndMarkerLine for a line that would read back as the end marker.
// kEndMarkerLine reads back as itself, so the lines after it stay.
inline constexpr std::string_view kEndMarkerLine = "(@)";
std::string StoredRemarkLine(std::string_view line);

// True for a file of the old generic format (extension ".PAR", any case).
bool IsParFile(const std::filesystem::path& path);

// The extension of the variant's parameter files without the point: "PGA"
// for gas, "PEG" otherwise.
std::string ParameterFileExtension(int medium);
// The path with its extension replaced by the variant's (".PGA"/".PEG").
std::filesystem::path WithParameterExtension(const std::filesystem::path& path, int medium);

// File dialog filters as label/pattern pairs, e.g. {"Gas Parameter (*.PGA)",
// "*.PGA"}. The open dialog also offers the old ".PAR" files.
struct FileFilter {
    std::string label;
    std::string pattern;
    bool operator==(const FileFilter&) const = default;
};
std::vector<FileFilter> SaveDialogFilters(int medium);
std::vector<FileFilter> OpenDialogFilters(int medium);

// A file name for the status bar: names of up to 40 characters whole,
// longer ones as the start up to the first folder separator within
// characters 4 to 14, " ... ", and the end from the first separator within
// the last 21 characters. Both "\" and "/" separate folders.
std::string ShortenFileName(std::string_view name);

}  // namespace parvion
