#pragma once
// What the table editors say about a cell: its name in the value dialog
// (the temperature and pressure of its row and column, with units), and the
// rule that the axes ascend, with the message that names the neighbours of
// a value that breaks it.

#include <cstdint>
#include <optional>
#include <string>

#include "core/tables/table_grid.h"
#include "core/tables/table_kind.h"
#include "core/views/text_source.h"

namespace parvion::tables {

// Text numbers.
namespace cell_text {
inline constexpr std::uint16_t kAxisBetween = 22846;  // %1 axis, %2 value, %3/%4, %5/%6 neighbours
inline constexpr std::uint16_t kAxisAbove = 22847;    // %1 axis, %2 value, %3/%4 the one before
inline constexpr std::uint16_t kAxisBelow = 22848;    // %1 axis, %2 value, %3/%4 the one after
inline constexpr std::uint16_t kRow = 22849;
inline constexpr std::uint16_t kColumn = 22850;
inline constexpr std::uint16_t kTemperatureAxis = 22851;
inline constexpr std::uint16_t kPressureAxis = 22852;
inline constexpr std::uint16_t kCompressibility = 22853;
inline constexpr std::uint16_t kDensity = 22854;
inline constexpr std::uint16_t kEnthalpy = 22855;
inline constexpr std::uint16_t kAtTemperatureAndPressure = 22856;
inline constexpr std::uint16_t kAtTemperature = 22857;
inline constexpr std::uint16_t kPoint = 22858;
inline constexpr std::uint16_t kTemperature = 22859;
inline constexpr std::uint16_t kSaturationPressure = 22860;
inline constexpr std::uint16_t kTemperatureRow = 22861;
inline constexpr std::uint16_t kPressureColumn = 22862;
inline constexpr std::uint16_t kPlainDensity = 22863;
}  // namespace cell_text

// The name of a property grid cell: "Dichte (kg/m³) bei 300 K und 500 kPa"
// for a value (without the temperature or pressure that its row or column
// does not have yet: an axis cell at 0), "Temperatur, Zeile 3" and "Druck,
// Spalte 4" for the axes, whose unit the dialog adds from their quantity;
// empty for the corner.
std::string PropertyCellName(const views::TextLoader& text, const PropertyGrid& grid,
                             TableKind kind, int col, int row);
// The name of a saturation grid cell of rows 1..32: "Temperatur — Punkt 5",
// "Sättigungsdruck bei 373 K" (the point's temperature; the point alone
// while it has none), "Enthalpie (kJ/kg) bei 373 K" (the one column without
// a quantity whose unit the dialog would add).
std::string SaturationCellName(const views::TextLoader& text, const SaturationGrid& grid, int col,
                               int row);

// An axis point in use beside the one edited: its grid row (temperatures)
// or column (pressures) and its value.
struct AxisNeighbour {
    int index = 0;
    std::uint16_t value = 0;
};
// Why a value does not fit its axis: it is not above the nearest point
// before it, or not below the nearest one after it, among the points in
// use (not 0). Both neighbours are named when there are two.
struct AxisOrderFault {
    bool temperature = true;
    int index = 0;  // the point's own grid row (temperatures) or column (pressures)
    std::uint16_t value = 0;
    std::optional<AxisNeighbour> before;
    std::optional<AxisNeighbour> after;
};

// The axes ascend: an axis cell's value (rounded to the whole number the
// cell will hold) must lie above the nearest point in use before it and
// below the nearest one after it; 0 marks a point not in use and always
// fits. Nothing when `value` fits, or when (col, row) is no axis cell.
std::optional<AxisOrderFault> CheckAxisOrder(const PropertyGrid& grid, int col, int row,
                                             float value);
// The first axis point of the grid (temperatures, then pressures) that
// does not ascend from the point in use before it: what a table file must
// not bring to the device. Nothing when both axes ascend.
std::optional<AxisOrderFault> FirstAxisOrderFault(const PropertyGrid& grid);
// "Die Temperaturachse muss aufsteigen: 400 K muss zwischen 300 K (Zeile 2)
// und 350 K (Zeile 4) liegen."
std::string AxisOrderMessage(const views::TextLoader& text, const AxisOrderFault& fault);

}  // namespace parvion::tables
