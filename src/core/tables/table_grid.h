#pragma once
// The grids of the table editors as texts — the working copy the user edits,
// which the files store as shown — and their conversion to and from the
// transfer buffers the device commands send and fill, the settings of the
// value dialog for a cell, and the paste rules.
//
// Property grid: 19 rows × 15 columns. Cell (0, 0) holds the caption
// "T[K] \ p[kpa]", column 0 of rows 1..18 the temperatures (K, whole
// numbers), row 0 of columns 1..14 the pressures (kPa, whole numbers), the
// other cells the values (general format, 7 significant digits).
//
// Saturation grid: 33 rows × 4 columns; row 0 holds the column heads, rows
// 1..32 the points T, p, rho, h.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/device_records.h"
#include "core/tables/table_kind.h"

namespace parvion::tables {

inline constexpr std::string_view kPropertyCorner = "T[K] \\ p[kpa]";
inline constexpr std::array<std::string_view, 4> kSaturationHeads = {"T[K]", "p[kpa]", "rho[kg/m³]",
                                                                     "h[kJ/kg]"};

// A cell of a grid: column and row as the grid counts them (0 the heads).
struct Cell {
    int col = 0;
    int row = 0;
    bool operator==(const Cell&) const = default;
};

struct PropertyGrid {
    static constexpr int kRows = 19;
    static constexpr int kCols = 15;
    PropertyGrid();
    std::string& at(int col, int row) { return cells[idx(row)][idx(col)]; }
    const std::string& at(int col, int row) const { return cells[idx(row)][idx(col)]; }
    // A value written into a cell by the user: the cell is no longer missing.
    void set(int col, int row, std::string text);
    bool operator==(const PropertyGrid&) const = default;

    std::array<std::array<std::string, kCols>, kRows> cells;
    // The cells the table file that was loaded did not hold: they show the
    // reader's default and would go to the device as 0. Emptied by a new
    // grid, a grid read from the device and a load of a complete file.
    std::vector<Cell> missing;

  private:
    static std::size_t idx(int i) { return static_cast<std::size_t>(i); }
};

struct SaturationGrid {
    static constexpr int kRows = 33;
    static constexpr int kCols = 4;
    SaturationGrid();  // heads written, data cells empty
    std::string& at(int col, int row) { return cells[idx(row)][idx(col)]; }
    const std::string& at(int col, int row) const { return cells[idx(row)][idx(col)]; }
    // A value written into a cell by the user: the cell is no longer missing.
    void set(int col, int row, std::string text);
    bool operator==(const SaturationGrid&) const = default;
    // Empties the 128 data cells (none is missing then).
    void clearData();

    std::array<std::array<std::string, kCols>, kRows> cells;
    // As PropertyGrid::missing.
    std::vector<Cell> missing;

  private:
    static std::size_t idx(int i) { return static_cast<std::size_t>(i); }
};

// An axis cell as an integer, as far as it can be read, within what the
// device's 16-bit axis word holds: a negative number is 0, one beyond the
// word is its largest value (a hand-edited 70000 never becomes 4464); an
// empty cell is 0.
std::uint16_t AxisValue(std::string_view text);

enum class CellKind : std::uint8_t { Corner, Temperature, Pressure, Value };
CellKind PropertyCellKind(int col, int row);

// "0" in every axis and value cell (a new table).
void ClearPropertyGrid(PropertyGrid& grid);

// Buffer → grid: axes as whole numbers, values with 7 significant digits.
void FillPropertyGrid(const PropertyTableBuffer& buffer, PropertyGrid& grid);
void FillSaturationGrid(const SaturationTableBuffer& buffer, SaturationGrid& grid);

// Where a cell lives in its table file, as "[section] key": "[Werte] 3 - 4"
// for the value at temperature index 3, pressure index 4 (grid cell (5, 4)),
// "[Temperatur] 0", "[Druck] 13", "[Row_11] rho".
std::string PropertyCellKey(Cell cell);
std::string SaturationCellKey(Cell cell);
// The keys of the grid's missing cells, in file order.
std::vector<std::string> MissingKeys(const PropertyGrid& grid);
std::vector<std::string> MissingKeys(const SaturationGrid& grid);

// A value cell that stops a transmit or an edit: its text is not a number,
// or a number the device cannot hold (DeviceFloat: NaN, an infinity, beyond
// the float range).
struct BadCell {
    int col = 0;
    int row = 0;
    std::string text;
    std::string key;      // where the cell lives in a table file (PropertyCellKey)
    bool number = false;  // the text is a number, but not one the device holds
};
// Grid → buffer. Axis cells read as integers as far as they can be read
// (empty → 0) and are kept to 16 bits; value cells must be numbers the
// device holds (empty → 0). On a bad value cell the buffer is left
// unchanged and the cell named.
std::optional<BadCell> PropertyGridToBuffer(const PropertyGrid& grid, PropertyTableBuffer& buffer);
// Grid → buffer; a cell that is empty or not completely a number gives 0, a
// number the device cannot hold stops it as in PropertyGridToBuffer.
std::optional<BadCell> SaturationGridToBuffer(const SaturationGrid& grid,
                                              SaturationTableBuffer& buffer);

// What the value dialog is set to for a cell.
struct CellEntry {
    bool integerMode = false;
    std::int32_t precision = 7;  // value cells only; axes keep the dialog's
    std::uint8_t quantity = 255;
    float min = 0;
    float max = 0;
    float value = 0;
};
// The dialog for a property grid cell; nothing for the corner; a BadCell
// when a value cell holds text that is not a number.
struct PropertyEntry {
    std::optional<CellEntry> entry;
    std::optional<BadCell> bad;
};
PropertyEntry PropertyCellEntry(const PropertyGrid& grid, TableKind kind, int col, int row);
// An axis cell after the dialog (accepted or not): the value rounded, kept
// to 16 bits, as a whole number.
std::string AxisCellText(float value);
// A value cell after an accepted dialog.
std::string ValueCellText(float value);
// The cell sequential entry moves to after a value: down the column, from
// the last row to row 1 of the next column, from the very last cell to (1, 1).
Cell NextValueCell(Cell cell);

// The dialog for a saturation grid cell of rows 1..32 (nothing for row 0).
std::optional<CellEntry> SaturationCellEntry(const SaturationGrid& grid, int col, int row);

// Paste: the clipboard text with its first "," as ".", read as far as it is
// a number (0 when nothing is).
double PastedNumber(std::string_view clipboard);
// The text a paste writes into a property grid cell (not the corner):
// temperatures above 1200 become 1200, pressures above 65000 become 65000,
// negatives 0, rounded to a whole number; values unlimited with 7 digits.
std::string PastePropertyCell(std::string_view clipboard, int col, int row);
// The text a paste writes into a saturation grid cell: 7 digits, no limits.
std::string PasteSaturationCell(std::string_view clipboard);

}  // namespace parvion::tables
