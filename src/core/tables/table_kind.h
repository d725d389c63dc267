#pragma once
// The four kinds of user table the device takes: three property tables over
// pressure and temperature (compressibility on the gas computer, density or
// enthalpy on the energy computer) and the saturation table. A kind decides
// the file extension, the filter of the file dialogs and the upper limit of
// a value typed into a property table.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace parvion::tables {

enum class TableKind : std::uint8_t { Compressibility, Density, Enthalpy, Saturation };

struct TableKindInfo {
    TableKind kind;
    std::string_view name;       // "compressibility", as the command line names it
    std::string_view extension;  // "KTB", without the point, upper case
    std::uint16_t filterName;    // text of the file dialogs' filter name ("Kompr. Tabellen")
    float valueMax;              // upper limit of a value cell (property tables)
    int deviceTable;             // table number of the read and write commands
};

const TableKindInfo& KindInfo(TableKind kind);

// The filter of the file dialogs in the language of `text` (the session's
// string library): the kind's name and its pattern, "Kompr. Tabellen
// (*.KTB)", "Compressibility tables (*.KTB)".
std::string KindFilter(TableKind kind, const std::function<std::string(std::uint16_t)>& text);

// The property table a window's Tag selects: the gas computer (medium 0)
// always has the compressibility table; on the energy computer selector 0 is
// the density table and every other selector the enthalpy table.
TableKind PropertyTableKind(int medium, int selector);

// The kind a file extension stands for ("KTB", ".ktb"; any case), nothing
// for other extensions.
std::optional<TableKind> KindFromExtension(std::string_view extension);
// The kind named on the command line ("density").
std::optional<TableKind> KindFromName(std::string_view name);
// Whether the kind exists on the computer of `medium` (0 gas, 1 energy).
bool KindFitsMedium(TableKind kind, int medium);

// Whether `fileName` ends in exactly ".KTB" (".DTB", ...) as the kind wants,
// compared case-sensitively: a name that does not is forgotten when a table
// window opens.
bool HasKindExtension(std::string_view fileName, TableKind kind);

}  // namespace parvion::tables
