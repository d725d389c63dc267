#include "core/tables/table_cells.h"

#include <string_view>

#include "core/model/number.h"
#include "core/model/value_format.h"

namespace parvion::tables {

namespace {

std::string Number(int n) {
    return std::to_string(n);
}

// The axis value of a row's temperature or a column's pressure as the name
// shows it; empty while the point is not in use.
std::string AxisText(std::string_view cell) {
    const std::uint16_t v = AxisValue(cell);
    return v == 0 ? std::string() : std::to_string(v);
}

std::uint16_t PropertyAxisAt(const PropertyGrid& grid, bool temperature, int index) {
    return AxisValue(temperature ? grid.at(0, index) : grid.at(index, 0));
}

std::string WithUnit(bool temperature, std::uint16_t value) {
    return std::to_string(value) + (temperature ? " K" : " kPa");
}

}  // namespace

std::string PropertyCellName(const views::TextLoader& text, const PropertyGrid& grid,
                             TableKind kind, int col, int row) {
    namespace ct = cell_text;
    switch (PropertyCellKind(col, row)) {
        case CellKind::Corner:
            return {};
        case CellKind::Temperature:
            return views::FillText(text, ct::kTemperatureRow, {Number(row)});
        case CellKind::Pressure:
            return views::FillText(text, ct::kPressureColumn, {Number(col)});
        case CellKind::Value:
            break;
    }
    const std::uint16_t what = kind == TableKind::Density    ? ct::kDensity
                               : kind == TableKind::Enthalpy ? ct::kEnthalpy
                                                             : ct::kCompressibility;
    const std::string name = text ? text(what) : std::string();
    const std::string t = AxisText(grid.at(0, row));
    const std::string p = AxisText(grid.at(col, 0));
    if (!t.empty() && !p.empty()) {
        return views::FillText(text, ct::kAtTemperatureAndPressure, {name, t, p});
    }
    if (!t.empty()) return views::FillText(text, ct::kAtTemperature, {name, t});
    // Without a temperature: the place in the grid.
    return name + ", " + views::FillText(text, ct::kRow, {Number(row)}) + ", " +
           views::FillText(text, ct::kColumn, {Number(col)});
}

std::string SaturationCellName(const views::TextLoader& text, const SaturationGrid& grid, int col,
                               int row) {
    namespace ct = cell_text;
    if (row < 1 || row >= SaturationGrid::kRows || col < 0 || col >= SaturationGrid::kCols) {
        return {};
    }
    constexpr std::uint16_t kNames[] = {ct::kTemperature, ct::kSaturationPressure,
                                        ct::kPlainDensity, ct::kEnthalpy};
    const std::string name = text ? text(kNames[static_cast<std::size_t>(col)]) : std::string();
    const std::string point = views::FillText(text, ct::kPoint, {Number(row)});
    const std::optional<float> t = ReadDeviceFloat(grid.at(0, row));
    if (col == 0 || !t || *t <= 0) return name + " — " + point;
    return views::FillText(text, ct::kAtTemperature,
                           {name, FormatGeneral(static_cast<double>(*t), 7)});
}

std::optional<AxisOrderFault> CheckAxisOrder(const PropertyGrid& grid, int col, int row,
                                             float value) {
    const CellKind kind = PropertyCellKind(col, row);
    if (kind != CellKind::Temperature && kind != CellKind::Pressure) return std::nullopt;
    const bool temperature = kind == CellKind::Temperature;
    const int index = temperature ? row : col;
    const int last = temperature ? PropertyGrid::kRows - 1 : PropertyGrid::kCols - 1;
    AxisOrderFault fault;
    fault.temperature = temperature;
    fault.index = index;
    fault.value = AxisValue(AxisCellText(value));
    if (fault.value == 0) return std::nullopt;
    for (int i = index - 1; i >= 1; --i) {
        if (const std::uint16_t v = PropertyAxisAt(grid, temperature, i); v != 0) {
            fault.before = AxisNeighbour{i, v};
            break;
        }
    }
    for (int i = index + 1; i <= last; ++i) {
        if (const std::uint16_t v = PropertyAxisAt(grid, temperature, i); v != 0) {
            fault.after = AxisNeighbour{i, v};
            break;
        }
    }
    const bool aboveBefore = !fault.before || fault.value > fault.before->value;
    const bool belowAfter = !fault.after || fault.value < fault.after->value;
    if (aboveBefore && belowAfter) return std::nullopt;
    return fault;
}

std::optional<AxisOrderFault> FirstAxisOrderFault(const PropertyGrid& grid) {
    // Each point against the one before it is enough: a point out of order
    // is then met at the first place where the axis falls.
    for (const bool temperature : {true, false}) {
        const int last = temperature ? PropertyGrid::kRows - 1 : PropertyGrid::kCols - 1;
        std::optional<AxisNeighbour> before;
        for (int i = 1; i <= last; ++i) {
            const std::uint16_t v = PropertyAxisAt(grid, temperature, i);
            if (v == 0) continue;
            if (before && v <= before->value) {
                AxisOrderFault fault;
                fault.temperature = temperature;
                fault.index = i;
                fault.value = v;
                fault.before = before;
                return fault;
            }
            before = AxisNeighbour{i, v};
        }
    }
    return std::nullopt;
}

std::string AxisOrderMessage(const views::TextLoader& text, const AxisOrderFault& fault) {
    namespace ct = cell_text;
    const std::string axis =
        text ? text(fault.temperature ? ct::kTemperatureAxis : ct::kPressureAxis) : std::string();
    const auto where = [&](const AxisNeighbour& n) {
        return views::FillText(text, fault.temperature ? ct::kRow : ct::kColumn, {Number(n.index)});
    };
    const std::string value = WithUnit(fault.temperature, fault.value);
    if (fault.before && fault.after) {
        return views::FillText(
            text, ct::kAxisBetween,
            {axis, value, WithUnit(fault.temperature, fault.before->value), where(*fault.before),
             WithUnit(fault.temperature, fault.after->value), where(*fault.after)});
    }
    if (fault.before) {
        return views::FillText(
            text, ct::kAxisAbove,
            {axis, value, WithUnit(fault.temperature, fault.before->value), where(*fault.before)});
    }
    if (fault.after) {
        return views::FillText(
            text, ct::kAxisBelow,
            {axis, value, WithUnit(fault.temperature, fault.after->value), where(*fault.after)});
    }
    return {};
}

}  // namespace parvion::tables
