#pragma once
// The trend values as the trend page lists and exports them: the time
// arithmetic of a block, its labels and statistics, the order in which the
// blocks of the ring are listed (newest first), the drop-down item texts,
// and the lines of the semicolon-separated export file.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/model/device_records.h"
#include "core/model/device_time.h"
#include "core/views/text_source.h"

namespace parvion::views {

// Interval value of a block that records one value per second.
inline constexpr std::uint8_t kTrendIntervalSeconds = 100;

// Moves a time forward by one interval of a block: minutes 1..60 advance the
// time with the calendar (leap years every fourth year); an interval of 0,
// above 60 or kTrendIntervalSeconds leaves it as it is.
void AdvanceTrendTime(DeviceDateTime& t, int interval);

// Year, month, day and hour of the header; the minute rounded down to a
// multiple of the interval (unchanged for intervals of 0 or above 60).
DeviceDateTime TrendBlockStart(const TrendHeader& h);

// "DD.MM.YYYY HH:MM".
std::string TrendLabel(const DeviceDateTime& t);

// The time text of one value row: "DD.MM.YYYY HH:MM:SS" with `second` as
// the seconds.
std::string TrendRowTime(const DeviceDateTime& t, int second);

// Number of value rows a block shows and exports: its count, but 60 for 59.
int TrendRowCount(const TrendHeader& h);

// The four values of row j in their base units: temperature in °C from the
// stored temperature word, pressure, and series 3 and 4 as they are.
std::array<double, 4> TrendRowValues(const TrendBlock& b, std::size_t j);

// Fills the start and end labels and the maximum, mean and minimum of the
// four series of a block with at least one value. A value that is not a
// finite number sets all twelve statistics to 0 and replaces itself with 0
// (series 1 and 2) or -1 (series 3 and 4), as the page does after a
// floating-point error; the other values go on counting.
void ComputeTrendStatistics(TrendBlock& b);

// The 44 blocks in listing order: from the directory's newest block (0 when
// it is above 43; one further when the ring has wrapped, state 2) backwards
// round the ring.
std::array<int, TrendStore::kBlocks> TrendVisitOrder(const TrendDirectory& d);

// "Kreis N: <start>  -  <end> [CC]" of a block whose labels are set.
std::string TrendItemText(const TrendBlock& b);

struct TrendItem {
    int block = 0;
    std::string text;
};

// Rebuilds the drop-down list: visits the blocks in listing order, computes
// labels and statistics of every valid block with values, records the item
// map and returns the items.
std::vector<TrendItem> ListTrendBlocks(TrendStore& store);

// The unit of a quantity as the grid heads show it (trimmed).
using UnitTextSource = std::function<std::string(std::uint8_t quantity)>;

// Row 0 of the trend grid: text 19456, then texts 19457..19460 each followed
// by "[" + unit + "]" of quantities 0, 1, 3, 4. Empty when the texts cannot
// be loaded.
std::vector<std::string> TrendGridHeader(const BlockLoader& load, const UnitTextSource& unit);

// Head line of the export file: "SerNo;Kreis;" and the cells of grid row 0
// separated by ";".
std::string TrendExportHead(const std::vector<std::string>& gridHeader);

// One value row of a block as the grid shows it and the export writes it:
// the time at the end of the row's interval ("DD.MM.YYYY HH:MM:SS", the
// seconds counting the values of a per-second block) and the four values
// formatted without unit, trimmed.
using TrendRow = std::array<std::string, 5>;

// The value rows of a block (none unless it is valid with an interval and a
// count of at least 1; 60 rows for a count of 59).
std::vector<TrendRow> TrendRows(const TrendBlock& b, const ValueFormatter& format);

// The maximum, mean and minimum rows of a block: the four statistics each,
// formatted without unit, trimmed.
std::array<std::array<std::string, 4>, 3> TrendStatisticsCells(const TrendBlock& b,
                                                               const ValueFormatter& format);

// The export lines of one block (none unless it is valid with an interval and
// a count of at least 1): serial number (UTF-8), circuit number (1..3), the time at
// the end of each row's interval, and the four values formatted without unit,
// all separated by ";".
std::vector<std::string> TrendExportLines(const TrendBlock& b, const std::string& serialNo,
                                          int circuitNumber, const ValueFormatter& format);

// The whole export file: head line, then the lines of every listed block in
// listing order. Recomputes the list (ListTrendBlocks) first. The serial
// number is taken as the device sends it (Windows-1252 bytes).
std::vector<std::string> BuildTrendExport(TrendStore& store, const std::string& deviceSerialNo,
                                          const std::vector<std::string>& gridHeader,
                                          const ValueFormatter& format);

// Writes the export file whole, Windows-1252 with CR LF, replacing the file;
// a failure leaves an existing file as it was. False, with the reason in
// *error when given, when it cannot be written.
bool SaveTrendExportFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                         std::string* error = nullptr);

}  // namespace parvion::views
