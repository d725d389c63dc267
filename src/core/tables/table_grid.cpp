#include "core/tables/table_grid.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/model/profile_file.h"
#include "core/model/value_format.h"

namespace parvion::tables {

namespace {

constexpr std::size_t kValueRows = PropertyTableBuffer::kRows;
constexpr std::size_t kValueCols = PropertyTableBuffer::kColumns;

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// A saturation cell: 0 when empty, not completely a number or not a number
// the device holds.
float SaturationValue(std::string_view text) {
    return ReadDeviceFloat(text).value_or(0.0F);
}

// A value cell that the device cannot take, or nothing; `key` names it.
std::optional<BadCell> CheckValueCell(const std::string& text, Cell cell, std::string (*key)(Cell),
                                      bool mustBeNumber, float& value) {
    value = 0;
    if (Blank(text)) return std::nullopt;
    if (const std::optional<float> v = ReadDeviceFloat(text)) {
        value = *v;
        return std::nullopt;
    }
    const bool number = ReadNumber(text).has_value();
    if (!number && !mustBeNumber) return std::nullopt;
    return BadCell{cell.col, cell.row, text, key(cell), number};
}

void Forget(std::vector<Cell>& missing, Cell cell) {
    missing.erase(std::remove(missing.begin(), missing.end(), cell), missing.end());
}

// A value for an axis word, rounded and kept within 0..65535.
std::uint16_t AxisWord(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<std::uint16_t>(std::clamp(std::round(value), 0.0, 65535.0));
}

}  // namespace

std::uint16_t AxisValue(std::string_view text) {
    if (Blank(text)) return 0;
    return static_cast<std::uint16_t>(std::clamp(ParseProfileInt(text), 0, 0xFFFF));
}

PropertyGrid::PropertyGrid() {
    cells[0][0] = std::string(kPropertyCorner);
}

void PropertyGrid::set(int col, int row, std::string text) {
    at(col, row) = std::move(text);
    Forget(missing, {col, row});
}

void SaturationGrid::set(int col, int row, std::string text) {
    at(col, row) = std::move(text);
    Forget(missing, {col, row});
}

SaturationGrid::SaturationGrid() {
    for (std::size_t c = 0; c < kSaturationHeads.size(); ++c) {
        cells[0][c] = std::string(kSaturationHeads[c]);
    }
}

void SaturationGrid::clearData() {
    for (std::size_t r = 1; r < cells.size(); ++r) cells[r].fill(std::string());
    missing.clear();
}

std::string PropertyCellKey(Cell cell) {
    switch (PropertyCellKind(cell.col, cell.row)) {
        case CellKind::Corner:
            return {};
        case CellKind::Temperature:
            return "[Temperatur] " + std::to_string(cell.row - 1);
        case CellKind::Pressure:
            return "[Druck] " + std::to_string(cell.col - 1);
        case CellKind::Value:
            break;
    }
    return "[Werte] " + std::to_string(cell.row - 1) + " - " + std::to_string(cell.col - 1);
}

std::string SaturationCellKey(Cell cell) {
    static constexpr std::array<std::string_view, 4> kKeys = {"T", "p", "rho", "h"};
    std::string section = cell.row < 10 ? "Row_0" : "Row_";
    section += std::to_string(cell.row);
    return "[" + section + "] " + std::string(kKeys[static_cast<std::size_t>(cell.col) & 3]);
}

std::vector<std::string> MissingKeys(const PropertyGrid& grid) {
    std::vector<std::string> keys;
    for (const Cell c : grid.missing) keys.push_back(PropertyCellKey(c));
    return keys;
}

std::vector<std::string> MissingKeys(const SaturationGrid& grid) {
    std::vector<std::string> keys;
    for (const Cell c : grid.missing) keys.push_back(SaturationCellKey(c));
    return keys;
}

CellKind PropertyCellKind(int col, int row) {
    if (col == 0) return row == 0 ? CellKind::Corner : CellKind::Temperature;
    return row == 0 ? CellKind::Pressure : CellKind::Value;
}

void ClearPropertyGrid(PropertyGrid& grid) {
    for (int r = 0; r < PropertyGrid::kRows; ++r) {
        for (int c = 0; c < PropertyGrid::kCols; ++c) {
            if (r != 0 || c != 0) grid.at(c, r) = "0";
        }
    }
    grid.missing.clear();
}

void FillPropertyGrid(const PropertyTableBuffer& buffer, PropertyGrid& grid) {
    grid.missing.clear();
    for (std::size_t r = 0; r < kValueRows; ++r) {
        grid.cells[r + 1][0] = std::to_string(buffer.TemperatureAxis[r]);
        for (std::size_t c = 0; c < kValueCols; ++c) {
            grid.cells[r + 1][c + 1] = FormatGeneral(static_cast<double>(buffer.Values[r][c]), 7);
        }
    }
    for (std::size_t c = 0; c < kValueCols; ++c) {
        grid.cells[0][c + 1] = std::to_string(buffer.PressureAxis[c]);
    }
}

void FillSaturationGrid(const SaturationTableBuffer& buffer, SaturationGrid& grid) {
    grid.missing.clear();
    for (std::size_t r = 0; r < SaturationTableBuffer::kRows; ++r) {
        const SaturationRow& p = buffer.Rows[r];
        std::array<std::string, 4>& row = grid.cells[r + 1];
        row[0] = FormatGeneral(static_cast<double>(p.T), 7);
        row[1] = FormatGeneral(static_cast<double>(p.p), 7);
        row[2] = FormatGeneral(static_cast<double>(p.rho), 7);
        row[3] = FormatGeneral(static_cast<double>(p.h), 7);
    }
}

std::optional<BadCell> PropertyGridToBuffer(const PropertyGrid& grid, PropertyTableBuffer& buffer) {
    PropertyTableBuffer out;
    for (std::size_t r = 0; r < kValueRows; ++r) {
        out.TemperatureAxis[r] = AxisValue(grid.cells[r + 1][0]);
        for (std::size_t c = 0; c < kValueCols; ++c) {
            const Cell cell{static_cast<int>(c + 1), static_cast<int>(r + 1)};
            if (auto bad = CheckValueCell(grid.cells[r + 1][c + 1], cell, PropertyCellKey, true,
                                          out.Values[r][c])) {
                return bad;
            }
        }
    }
    for (std::size_t c = 0; c < kValueCols; ++c) {
        out.PressureAxis[c] = AxisValue(grid.cells[0][c + 1]);
    }
    buffer = out;
    return std::nullopt;
}

std::optional<BadCell> SaturationGridToBuffer(const SaturationGrid& grid,
                                              SaturationTableBuffer& buffer) {
    SaturationTableBuffer out;
    for (std::size_t r = 0; r < SaturationTableBuffer::kRows; ++r) {
        float values[4] = {};
        for (std::size_t c = 0; c < 4; ++c) {
            const Cell cell{static_cast<int>(c), static_cast<int>(r + 1)};
            if (auto bad = CheckValueCell(grid.cells[r + 1][c], cell, SaturationCellKey, false,
                                          values[c])) {
                return bad;
            }
        }
        out.Rows[r] = {values[0], values[1], values[2], values[3]};
    }
    buffer = out;
    return std::nullopt;
}

PropertyEntry PropertyCellEntry(const PropertyGrid& grid, TableKind kind, int col, int row) {
    PropertyEntry out;
    CellEntry e;
    switch (PropertyCellKind(col, row)) {
        case CellKind::Corner:
            return out;
        case CellKind::Temperature:
        case CellKind::Pressure: {
            const bool temperature = col == 0;
            const int prevCol = temperature ? 0 : col - 1;
            const int prevRow = temperature ? row - 1 : 0;
            const bool first = temperature ? row == 1 : col == 1;
            const float previous = first ? 0.0F : AxisValue(grid.at(prevCol, prevRow));
            e.integerMode = true;
            e.quantity = temperature ? 13 : 1;
            // The whole axis range: a value out of order is refused with its
            // neighbours named (CheckAxisOrder), not pulled up silently.
            e.min = 0;
            e.max = temperature ? 1000.0F : 65000.0F;
            const std::string& own = grid.at(col, row);
            e.value = own.empty() ? previous : AxisValue(own);
            break;
        }
        case CellKind::Value: {
            const std::string& own = grid.at(col, row);
            float value = 0;
            if (auto bad = CheckValueCell(own, {col, row}, PropertyCellKey, true, value)) {
                out.bad = std::move(bad);
                return out;
            }
            e.precision = 7;
            e.quantity = 255;
            e.min = 0;
            e.max = KindInfo(kind).valueMax;
            e.value = value;
            break;
        }
    }
    out.entry = e;
    return out;
}

std::string AxisCellText(float value) {
    return std::to_string(AxisWord(static_cast<double>(value)));
}

std::string ValueCellText(float value) {
    return FormatGeneral(static_cast<double>(value), 7);
}

Cell NextValueCell(Cell cell) {
    if (cell.row < PropertyGrid::kRows - 1) return {cell.col, cell.row + 1};
    if (cell.col < PropertyGrid::kCols - 1) return {cell.col + 1, 1};
    return {1, 1};
}

std::optional<CellEntry> SaturationCellEntry(const SaturationGrid& grid, int col, int row) {
    if (row < 1 || row >= SaturationGrid::kRows || col < 0 || col >= SaturationGrid::kCols) {
        return std::nullopt;
    }
    static constexpr std::array<std::uint8_t, 4> kQuantity = {13, 1, 2, 255};
    static constexpr std::array<float, 4> kMax = {1270.0F, 65000.0F, 3500.0F, 10000.0F};
    const auto c = static_cast<std::size_t>(col);
    CellEntry e;
    e.precision = 7;
    e.quantity = kQuantity[c];
    e.max = kMax[c];
    e.min = (row == 1 || col == 3) ? 0.0F : SaturationValue(grid.at(col, row - 1));
    e.value = SaturationValue(grid.at(col, row));
    return e;
}

double PastedNumber(std::string_view clipboard) {
    std::string text(clipboard);
    if (const std::size_t comma = text.find(','); comma != std::string::npos) text[comma] = '.';
    std::size_t i = text.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return 0;
    const std::size_t start = i;
    if (text[i] == '+' || text[i] == '-') ++i;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - from;
    };
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() > 0) end = i;
    }
    std::size_t from = start;
    if (text[from] == '+') ++from;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + from, text.data() + end, value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        return text[from] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

std::string PastePropertyCell(std::string_view clipboard, int col, int row) {
    double v = PastedNumber(clipboard);
    switch (PropertyCellKind(col, row)) {
        case CellKind::Corner:
            return std::string(kPropertyCorner);
        case CellKind::Temperature:
        case CellKind::Pressure: {
            const double limit = col == 0 ? 1200.0 : 65000.0;
            if (!(v <= limit)) v = limit;
            if (v < 0) v = 0;
            return std::to_string(static_cast<long>(std::round(v)));
        }
        case CellKind::Value:
            break;
    }
    return FormatGeneral(v, 7);
}

std::string PasteSaturationCell(std::string_view clipboard) {
    return FormatGeneral(PastedNumber(clipboard), 7);
}

}  // namespace parvion::tables
