#pragma once
// The table files, as profile (INI) files in Windows-1252 with CRLF ends.
//
// Property tables ("*.KTB", "*.DTB", "*.ETB", one format): section
// "Temperatur" with keys "0".."17" (the temperatures of grid rows 1..18),
// "Druck" with keys "0".."13" (the pressures of grid columns 1..14) and
// "Werte" with keys "r - c" (value at temperature r, pressure c; r outer,
// c inner), each the cell's text as the grid shows it. A missing key reads
// as "0", so a file without "Werte" is a table of zeros with its axes.
//
// Saturation table ("*.STB"): sections "Row_01".."Row_32" with the keys
// "T", "p", "rho", "h" in this order. A missing key reads as an empty cell.
//
// Cells are read unchecked: a text that is not a number is caught when the
// table is transmitted. A cell whose key the file lacks takes the reader's
// default and is listed in the grid's `missing` (MissingKeys names them), so
// that nobody sends it as 0 without being told. A file that cannot be read, or holds none of the
// sections of its format, leaves the grid unchanged. Saving replaces the
// table's sections (other sections of the file stay) and writes the file
// atomically.

#include <filesystem>
#include <string>

#include "core/tables/table_grid.h"

namespace parvion::tables {

enum class FileStatus : std::uint8_t { Ok, Unreadable, NotATableFile, NotWritten };

struct FileResult {
    FileStatus status = FileStatus::Ok;
    std::string reason;  // the system's reason for Unreadable and NotWritten
    bool ok() const { return status == FileStatus::Ok; }
};

FileResult LoadPropertyFile(const std::filesystem::path& file, PropertyGrid& grid);
FileResult SavePropertyFile(const std::filesystem::path& file, const PropertyGrid& grid);
FileResult LoadSaturationFile(const std::filesystem::path& file, SaturationGrid& grid);
FileResult SaveSaturationFile(const std::filesystem::path& file, const SaturationGrid& grid);

// "Row_07" for grid row 7.
std::string SaturationSection(int row);

}  // namespace parvion::tables
