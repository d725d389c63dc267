#include "core/views/trend_export.h"

#include <cmath>
#include <cstdio>

#include "core/model/utf8_text.h"
#include "core/model/profile_file.h"
#include "core/model/text_file.h"
#include "core/model/windows1252.h"

namespace parvion::views {

namespace {

constexpr std::uint8_t kTrendQuantities[4] = {0, 1, 3, 4};

int DaysInMonth(int month, int year) {
    switch (month) {
        case 2:
            return year % 4 == 0 ? 29 : 28;
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        default:
            return 31;
    }
}

std::uint16_t U16(int v) {
    return static_cast<std::uint16_t>(v);
}

}  // namespace

void AdvanceTrendTime(DeviceDateTime& t, int interval) {
    if (interval <= 0 || interval > 60) return;
    int minute = t.minute + interval;
    int hour = t.hour;
    int day = t.day;
    int month = t.month;
    int year = t.year;
    if (minute >= 60) {
        minute -= 60;
        ++hour;
    }
    if (hour >= 24) {
        hour = 0;
        ++day;
    }
    if (day > DaysInMonth(month, year)) {
        day = 1;
        ++month;
    }
    if (month > 12) {
        month = 1;
        ++year;
    }
    t.minute = U16(minute);
    t.hour = U16(hour);
    t.day = U16(day);
    t.month = U16(month);
    t.year = U16(year);
}

DeviceDateTime TrendBlockStart(const TrendHeader& h) {
    DeviceDateTime t;
    t.year = h.Year;
    t.month = h.Month;
    t.day = h.Day;
    t.hour = h.Hour;
    t.minute = h.Minute;
    if (h.Interval > 0 && h.Interval <= 60) {
        t.minute = U16(h.Minute - h.Minute % h.Interval);
    }
    return t;
}

std::string TrendLabel(const DeviceDateTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2d.%2.2d.%d %2.2d:%2.2d", t.day, t.month, t.year, t.hour,
                  t.minute);
    return buf;
}

std::string TrendRowTime(const DeviceDateTime& t, int second) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2d.%2.2d.%4.4d %2.2d:%2.2d:%2.2d", t.day, t.month, t.year,
                  t.hour, t.minute, second);
    return buf;
}

int TrendRowCount(const TrendHeader& h) {
    const int count = h.Count > TrendBlock::kValues ? static_cast<int>(TrendBlock::kValues)
                                                    : static_cast<int>(h.Count);
    return count == 59 ? 60 : count;
}

std::array<double, 4> TrendRowValues(const TrendBlock& b, std::size_t j) {
    return {(static_cast<double>(b.Series[0][j]) - 2731.0) / 10.0,
            static_cast<double>(b.Series[1][j]), static_cast<double>(b.Series[2][j]),
            static_cast<double>(b.Series[3][j])};
}

void ComputeTrendStatistics(TrendBlock& b) {
    const std::size_t count = std::min<std::size_t>(b.Header.Count, TrendBlock::kValues);
    DeviceDateTime time = TrendBlockStart(b.Header);
    b.StartLabel = TrendLabel(time);
    std::array<double, 4> sum{};
    for (std::size_t j = 0; j < count; ++j) {
        std::array<double, 4> v = TrendRowValues(b, j);
        bool finite = true;
        for (double x : v) finite = finite && std::isfinite(x);
        if (!finite) {
            // The statistics start again from zero; the broken value is
            // replaced so that the grid and the graph show a number.
            b.Max.fill(0);
            b.Min.fill(0);
            sum.fill(0);
            b.Series[0][j] = 0;
            b.Series[1][j] = 0;
            b.Series[2][j] = -1;
            b.Series[3][j] = -1;
        } else {
            for (std::size_t s = 0; s < 4; ++s) {
                if (j == 0) {
                    b.Max[s] = v[s];
                    b.Min[s] = v[s];
                    sum[s] = v[s];
                } else {
                    if (v[s] > b.Max[s]) b.Max[s] = v[s];
                    if (v[s] < b.Min[s]) b.Min[s] = v[s];
                    sum[s] += v[s];
                }
            }
        }
        AdvanceTrendTime(time, b.Header.Interval);
    }
    for (std::size_t s = 0; s < 4; ++s) {
        b.Mean[s] = count > 0 ? sum[s] / static_cast<double>(count) : 0.0;
    }
    b.EndLabel = TrendLabel(time);
}

std::array<int, TrendStore::kBlocks> TrendVisitOrder(const TrendDirectory& d) {
    constexpr int n = static_cast<int>(TrendStore::kBlocks);
    int start = d.Newest > n - 1 ? 0 : d.Newest;
    if (d.State == 2) ++start;
    // A start of 44 (wrapped ring, newest 43) is block 0 of the ring.
    start %= n;
    std::array<int, TrendStore::kBlocks> order{};
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = (start - i + n) % n;
    return order;
}

std::string TrendItemText(const TrendBlock& b) {
    char count[16];
    std::snprintf(count, sizeof count, "%2.2d", static_cast<int>(b.Header.Count));
    return "Kreis " + std::to_string(b.Header.Circuit + 1) + ": " + b.StartLabel + "  -  " +
           b.EndLabel + " [" + count + "]";
}

std::vector<TrendItem> ListTrendBlocks(TrendStore& store) {
    store.ItemMap.fill(-1);
    std::vector<TrendItem> items;
    for (int block : TrendVisitOrder(store.Directory)) {
        TrendBlock& b = store.Block[static_cast<std::size_t>(block)];
        if (!b.Valid || b.Header.Count == 0) continue;
        ComputeTrendStatistics(b);
        store.ItemMap[items.size()] = block;
        items.push_back({block, TrendItemText(b)});
    }
    return items;
}

std::vector<std::string> TrendGridHeader(const BlockLoader& load, const UnitTextSource& unit) {
    TextBlock t;
    t.fill({});
    if (!load(19456, 1, t)) return {};
    std::vector<std::string> cells{t[0]};
    for (std::size_t i = 0; i < 4; ++i) {
        cells.push_back(t[i + 1] + "[" + TrimText(unit(kTrendQuantities[i])) + "]");
    }
    return cells;
}

std::string TrendExportHead(const std::vector<std::string>& gridHeader) {
    std::string line = "SerNo;Kreis;";
    for (std::size_t i = 0; i < 5; ++i) {
        if (i > 0) line += ';';
        if (i < gridHeader.size()) line += gridHeader[i];
    }
    return line;
}

std::vector<TrendRow> TrendRows(const TrendBlock& b, const ValueFormatter& format) {
    std::vector<TrendRow> rows;
    if (!b.Valid || b.Header.Interval < 1 || b.Header.Count < 1) return rows;
    DeviceDateTime time = TrendBlockStart(b.Header);
    AdvanceTrendTime(time, b.Header.Interval);
    const int count = TrendRowCount(b.Header);
    for (int j = 0; j < count; ++j) {
        const auto values = TrendRowValues(b, static_cast<std::size_t>(j));
        TrendRow row;
        row[0] = TrendRowTime(time, b.Header.Interval == kTrendIntervalSeconds ? j : 0);
        for (std::size_t s = 0; s < 4; ++s) {
            row[s + 1] =
                TrimText(format(kTrendQuantities[s], false, true, static_cast<float>(values[s])));
        }
        rows.push_back(std::move(row));
        AdvanceTrendTime(time, b.Header.Interval);
    }
    return rows;
}

std::array<std::array<std::string, 4>, 3> TrendStatisticsCells(const TrendBlock& b,
                                                               const ValueFormatter& format) {
    std::array<std::array<std::string, 4>, 3> cells;
    const std::array<const std::array<double, 4>*, 3> stats{&b.Max, &b.Mean, &b.Min};
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t s = 0; s < 4; ++s) {
            cells[r][s] = TrimText(
                format(kTrendQuantities[s], false, true, static_cast<float>((*stats[r])[s])));
        }
    }
    return cells;
}

std::vector<std::string> TrendExportLines(const TrendBlock& b, const std::string& serialNo,
                                          int circuitNumber, const ValueFormatter& format) {
    std::vector<std::string> lines;
    for (const TrendRow& row : TrendRows(b, format)) {
        std::string line = serialNo + ";" + std::to_string(circuitNumber);
        for (const std::string& cell : row) line += ";" + cell;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> BuildTrendExport(TrendStore& store, const std::string& deviceSerialNo,
                                          const std::vector<std::string>& gridHeader,
                                          const ValueFormatter& format) {
    const std::string serialNo = Cp1252ToUtf8(deviceSerialNo);
    std::vector<std::string> lines{TrendExportHead(gridHeader)};
    for (const TrendItem& item : ListTrendBlocks(store)) {
        const TrendBlock& b = store.Block[static_cast<std::size_t>(item.block)];
        for (std::string& l : TrendExportLines(b, serialNo, b.Header.Circuit + 1, format)) {
            lines.push_back(std::move(l));
        }
    }
    return lines;
}

bool SaveTrendExportFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                         std::string* error) {
    return WriteTextLinesAtomically(file, lines, error);
}

}  // namespace parvion::views
