// The trend views: the time axis of the graph (the step and first tick for a
// range, what a tick says, the caption that names a chart); trend time
// arithmetic, statistics, listing order and the export lines; the points the
// graph draws (times of a block's instants, the 59-values rule, the
// temperature formula and the display units, time order across the ring,
// blocks that cannot be drawn, values that are not numbers, the ranges of
// the value axes).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>

#include "core/model/value_format.h"
#include "core/views/time_axis.h"
#include "core/views/trend_export.h"
#include "core/views/trend_series.h"
#include "support/temp_dir.h"
#include "support/trend_stores.h"

namespace parvion::views {
namespace {

std::int64_t Wall(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0) {
    using namespace std::chrono;
    const sys_days day{year{y} / month{mo} / std::chrono::day{d}};
    return day.time_since_epoch().count() * kDayMs + h * kHourMs + mi * kMinuteMs + s * kSecondMs;
}

// December 2026.
std::int64_t Dec(unsigned d, int h = 0, int mi = 0, int s = 0) {
    return Wall(2026, 12, d, h, mi, s);
}

TEST(TimeAxis, PicksTheStepAndTheFirstTickForTheRange) {
    constexpr std::int64_t s = kSecondMs, m = kMinuteMs, h = kHourMs, d = kDayMs;
    // The range, the most ticks wanted, and the ticks planned.
    const std::tuple<std::int64_t, std::int64_t, int, TimeTicks> cases[] = {
        // 55 s: every 10 s.
        {Dec(7, 10, 7, 3), Dec(7, 10, 7, 58), 6, {10 * s, Dec(7, 10, 7, 10), 5}},
        // Half an hour from a round start: the start is the first tick.
        {Dec(7, 10), Dec(7, 10, 30), 7, {5 * m, Dec(7, 10), 7}},
        // 6 h 45 min: whole hours; the same given backwards.
        {Dec(7, 10, 7, 3), Dec(7, 16, 52), 8, {h, Dec(7, 11), 6}},
        {Dec(7, 16, 52), Dec(7, 10, 7, 3), 8, {h, Dec(7, 11), 6}},
        // 36 h: 6 h from midnight.
        {Dec(7, 18, 20), Dec(9, 6, 10), 8, {6 * h, Dec(8), 6}},
        // Two weeks: Mondays; ten days: midnights.
        {Dec(1, 9), Dec(15, 9), 3, {7 * d, Dec(7), 2}},
        {Dec(1, 9), Dec(11, 9), 12, {d, Dec(2), 10}},
        // Fewer than 2 ticks count as 2.
        {Dec(7, 10), Dec(7, 10, 0, 50), 0, {30 * s, Dec(7, 10), 2}},
        // Across 1970's start.
        {Wall(1969, 12, 31, 23, 59, 10),
         Wall(1970, 1, 1, 0, 0, 50),
         4,
         {30 * s, Wall(1969, 12, 31, 23, 59, 30), 3}},
        // A year: steps beyond a week double.
        {Wall(2026, 1, 1), Wall(2026, 12, 31), 4, {16 * 7 * d, Wall(2026, 2, 16), 3}},
    };
    for (const auto& [from, to, maxTicks, expected] : cases) {
        SCOPED_TRACE(FormatWallTime(from) + " .. " + FormatWallTime(to));
        const TimeTicks t = PlanTimeTicks(from, to, maxTicks);
        EXPECT_EQ(std::tuple(t.stepMs, FormatWallTime(t.firstMs), t.count),
                  std::tuple(expected.stepMs, FormatWallTime(expected.firstMs), expected.count));
    }
}

TEST(TimeAxis, TickLabelsFollowTheStepAndMarkMidnight) {
    const std::tuple<std::int64_t, std::int64_t, const char*> cases[] = {
        {Dec(7, 10, 7, 10), 10 * kSecondMs, "10:07:10"},
        {Dec(7, 11, 30), 30 * kMinuteMs, "11:30"},
        {Dec(8), 6 * kHourMs, "08.12."},
        {Dec(8), 10 * kSecondMs, "08.12."},
        {Dec(7), 7 * kDayMs, "07.12."},
        {Wall(1969, 12, 31, 23, 59, 30), 30 * kSecondMs, "23:59:30"}};
    for (const auto& [at, step, label] : cases) EXPECT_EQ(TimeTickLabel(at, step), label);
}

TEST(TimeAxis, TheCaptionNamesDeviceSerialNumberCircuitAndRange) {
    const std::map<std::uint16_t, std::string> library = {
        {time_axis_text::kCaption, "%1, serial number %2, circuit %3, %4 to %5"},
        {time_axis_text::kCaptionNoSerial, "%1, circuit %2, %3 to %4"},
    };
    const TextLoader text = [&library](std::uint16_t n) {
        const auto it = library.find(n);
        return it == library.end() ? std::string() : it->second;
    };
    const std::int64_t from = Dec(7, 10, 7, 3);
    const std::int64_t to = Dec(8, 9);
    const char* range = "07.12.2026 10:07:03 to 08.12.2026 09:00:00";
    // Identity and serial number trimmed; no serial number known; the range
    // given backwards.
    EXPECT_EQ(TrendChartCaption(text, "PV-GAS2 ", " 0012345 ", 1, from, to),
              std::string("PV-GAS2, serial number 0012345, circuit 1, ") + range);
    EXPECT_EQ(TrendChartCaption(text, "PV-ENG2", "  ", 2, from, to),
              std::string("PV-ENG2, circuit 2, ") + range);
    EXPECT_EQ(TrendChartCaption(text, "PV-GAS2", "7", 2, to, from),
              std::string("PV-GAS2, serial number 7, circuit 2, ") + range);
}

DeviceDateTime T(int y, int mo, int d, int h, int mi) {
    return {static_cast<std::uint16_t>(y),  static_cast<std::uint16_t>(mo),
            static_cast<std::uint16_t>(d),  static_cast<std::uint16_t>(h),
            static_cast<std::uint16_t>(mi), 0};
}

TrendBlock Block(int interval, int hour, int minute, int count, int circuit = 0) {
    return test::TrendBlockAt(circuit, interval, 2024, 5, 17, hour, minute, count);
}

// Values as plain numbers, so that the lines show what was passed in.
std::string Plain(std::uint8_t q, bool withUnit, bool, float v) {
    return " " + std::to_string(q) + ":" + std::to_string(v) + (withUnit ? " unit" : "") + " ";
}

TEST(TrendTime, AdvancesWithTheCalendar) {
    for (const auto& [from, interval, to] :
         {std::tuple{T(2024, 2, 28, 23, 45), 15, T(2024, 2, 29, 0, 0)},
          {T(2023, 2, 28, 23, 45), 15, T(2023, 3, 1, 0, 0)},
          {T(2024, 4, 30, 23, 30), 30, T(2024, 5, 1, 0, 0)},
          {T(2024, 12, 31, 23, 0), 60, T(2025, 1, 1, 0, 0)}}) {
        auto t = from;
        AdvanceTrendTime(t, interval);
        EXPECT_EQ(t, to) << interval;
    }
    // One value per second, and intervals outside 1..60, do not move.
    auto t = T(2024, 5, 17, 10, 7);
    AdvanceTrendTime(t, kTrendIntervalSeconds);
    AdvanceTrendTime(t, 0);
    EXPECT_EQ(t, T(2024, 5, 17, 10, 7));
}

TEST(TrendBlock, StartIsRoundedDownAndRowsCarryTheEndOfTheirInterval) {
    TrendBlock b = Block(15, 10, 37, 4);
    EXPECT_EQ(TrendBlockStart(b.Header), T(2024, 5, 17, 10, 30));
    ComputeTrendStatistics(b);
    EXPECT_EQ(b.StartLabel + " - " + b.EndLabel, "17.05.2024 10:30 - 17.05.2024 11:30");
    EXPECT_EQ(std::tuple(b.Max[0], b.Max[1], b.Min[1], b.Mean[3]),
              std::tuple(20.0, 103.0, 100.0, 1.5));

    const auto lines = TrendExportLines(b, "SN-0000000000001", 1, Plain);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0],
              "SN-0000000000001;1;17.05.2024 10:45:00;0:20.000000;1:100.000000;"
              "3:1.500000;4:0.000000");
    EXPECT_EQ(lines[3].substr(0, 40), "SN-0000000000001;1;17.05.2024 11:30:00;0");
}

TEST(TrendBlock, SecondBlocksAndTheRowCountRule) {
    TrendBlock s = Block(kTrendIntervalSeconds, 10, 7, 60);
    ComputeTrendStatistics(s);
    EXPECT_EQ(s.StartLabel, s.EndLabel);
    auto lines = TrendExportLines(s, "X", 3, Plain);
    ASSERT_EQ(lines.size(), 60u);
    EXPECT_EQ(lines.front().substr(0, 24), "X;3;17.05.2024 10:07:00;");
    EXPECT_EQ(lines.back().substr(0, 24), "X;3;17.05.2024 10:07:59;");

    // 59 values: 60 rows, statistics over 59.
    TrendBlock b = Block(1, 0, 0, 59);
    ComputeTrendStatistics(b);
    EXPECT_DOUBLE_EQ(b.Max[3], 58.0);
    EXPECT_EQ(TrendExportLines(b, "X", 1, Plain).size(), 60u);

    // Not exported: invalid, interval 0, no values.
    TrendBlock none = Block(0, 0, 0, 5);
    EXPECT_TRUE(TrendExportLines(none, "X", 1, Plain).empty());
    none = Block(5, 0, 0, 5);
    none.Valid = false;
    EXPECT_TRUE(TrendExportLines(none, "X", 1, Plain).empty());
}

TEST(TrendBlock, ANonFiniteValueRestartsTheStatisticsAndIsReplaced) {
    TrendBlock b = Block(5, 0, 0, 3);
    b.Series[2][1] = std::numeric_limits<float>::infinity();
    ComputeTrendStatistics(b);
    EXPECT_EQ(std::tuple(b.Series[0][1], b.Series[1][1], b.Series[2][1], b.Series[3][1]),
              std::tuple(0.0f, 0.0f, -1.0f, -1.0f));
    // After the reset only value 2 counts, against the zeroed statistics.
    EXPECT_DOUBLE_EQ(b.Max[1], 102.0);
    EXPECT_DOUBLE_EQ(b.Min[1], 0.0);
    EXPECT_DOUBLE_EQ(b.Mean[1], 102.0 / 3);
}

TEST(TrendListing, NewestFirstRoundTheRing) {
    TrendDirectory d;
    d.State = 2;
    d.Newest = 5;
    auto order = TrendVisitOrder(d);
    EXPECT_EQ(std::tuple(order[0], order[6], order[7], order[43]), std::tuple(6, 0, 43, 7));
    d.Newest = 43;  // start 44 is block 0 of the ring
    order = TrendVisitOrder(d);
    EXPECT_EQ(std::pair(order[0], order[1]), std::pair(0, 43));
    d.State = 0;
    d.Newest = 200;  // out of range: from block 0
    EXPECT_EQ(TrendVisitOrder(d)[0], 0);

    TrendStore store;
    store.Directory.Newest = 3;
    store.Block[3] = Block(15, 10, 0, 9, 1);
    store.Block[1] = Block(15, 8, 0, 4, 0);
    store.Block[2] = Block(15, 9, 0, 0, 0);  // no values: not listed
    const auto items = ListTrendBlocks(store);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].block, 3);
    EXPECT_EQ(items[0].text, "Kreis 2: 17.05.2024 10:00  -  17.05.2024 12:15 [09]");
    EXPECT_EQ(items[1].block, 1);
    EXPECT_EQ(std::vector(store.ItemMap.begin(), store.ItemMap.begin() + 3),
              (std::vector<std::int32_t>{3, 1, -1}));

    // The export follows the list. On disk it is Windows-1252 with CR LF; the
    // serial number is shown as the device sent it, an umlaut in it.
    const auto lines =
        BuildTrendExport(store, "Z\xE4hler ", {"Time", "T[°C]", "P[kPa]", "F", "M"}, Plain);
    ASSERT_EQ(lines.size(), 1u + 9 + 4);
    EXPECT_EQ(lines[10].rfind("Zähler ;1;", 0), 0u) << lines[10];
    parvion::test::TempDir dir;
    std::string error;
    ASSERT_TRUE(SaveTrendExportFile(dir / "Trenddaten.txt", lines, &error)) << error;
    const std::string bytes = parvion::test::readFileBytes(dir / "Trenddaten.txt");
    EXPECT_EQ(bytes.rfind("SerNo;Kreis;Time;T[\xB0"
                          "C];P[kPa];F;M\r\nZ\xE4hler ;2;17.05.2024 10:15:00;",
                          0),
              0u)
        << bytes;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 14);
    // A file that cannot be written (the same writer as the error list's):
    // ErrorProtocolFile.ReplacesTheWholeFileOrLeavesItAsItWas.
}

TEST(TrendListing, GridHeaderNamesTheUnits) {
    const BlockLoader load = [](std::uint16_t first, std::uint8_t, TextBlock& t) {
        for (std::size_t i = 0; i < 8; ++i) t[i] = "H" + std::to_string(first + i - 19456);
        return true;
    };
    const auto head =
        TrendGridHeader(load, [](std::uint8_t q) { return " u" + std::to_string(q) + "  "; });
    EXPECT_EQ(head, (std::vector<std::string>{"H0", "H1[u0]", "H2[u1]", "H3[u3]", "H4[u4]"}));
    const BlockLoader missing = [](std::uint16_t, std::uint8_t, TextBlock&) { return false; };
    EXPECT_TRUE(TrendGridHeader(missing, [](std::uint8_t) { return std::string(); }).empty());
    EXPECT_EQ(TrendExportHead({}), "SerNo;Kreis;;;;;");
}

// Headers the device should never send but a damaged memory can hold: every
// one gives a bounded number of rows and finite statistics.
TEST(TrendBlock, OddHeadersAndBrokenValuesStayBounded) {
    // Interval, minute and count of the header; the rows and their first and
    // last times.
    const std::tuple<int, int, int, std::size_t, const char*, const char*> cases[] = {
        {7, 56, 3, 3, "17.05.2024 10:03:00", "17.05.2024 10:17:00"},    // not a divisor of 60
        {99, 30, 2, 2, "17.05.2024 09:30:00", "17.05.2024 09:30:00"},   // above 60: no advance
        {5, 0, 200, 60, "17.05.2024 09:05:00", "17.05.2024 14:00:00"},  // count above 60
    };
    for (const auto& [interval, minute, count, rowCount, firstTime, lastTime] : cases) {
        SCOPED_TRACE(interval);
        TrendBlock b = Block(interval, 9, minute, count);
        b.Series[0][0] = std::numeric_limits<float>::quiet_NaN();
        ComputeTrendStatistics(b);
        for (std::size_t s = 0; s < 4; ++s) {
            EXPECT_TRUE(std::isfinite(b.Max[s]) && std::isfinite(b.Min[s]) &&
                        std::isfinite(b.Mean[s]));
        }
        EXPECT_EQ(b.Series[0][0], 0.0f);
        const auto rows = TrendRows(b, Plain);
        ASSERT_EQ(rows.size(), rowCount);
        EXPECT_EQ(rows.front()[0] + " " + rows.back()[0], std::string(firstTime) + " " + lastTime);
    }
}

constexpr TrendSeriesUnits kBase{};

TrendBlock Block(int circuit, int interval, int y, int mo, int d, int h, int mi, int count) {
    return test::TrendBlockAt(circuit, interval, y, mo, d, h, mi, count);
}

std::string Times(const std::vector<TrendInstant>& instants) {
    std::string s;
    for (const TrendInstant& p : instants) {
        if (!s.empty()) s += ", ";
        s += FormatDeviceDateTime(p.time);
    }
    return s;
}

// Leap days, month and year ends: TrendTime.AdvancesWithTheCalendar, the
// step the points share.
TEST(TrendSeries, TimesOfABlock) {
    // The block, its points, and the times of the first points (or all) as the
    // window shows them.
    const std::tuple<const char*, TrendBlock, std::size_t, std::string> cases[] = {
        {"quarter hours from 10:07", Block(0, 15, 2024, 5, 17, 10, 7, 4), 4,
         "17.05.2024 10:15:00, 17.05.2024 10:30:00, 17.05.2024 10:45:00, 17.05.2024 11:00:00"},
        {"one value per second", Block(0, 100, 2024, 5, 17, 10, 7, 3), 3,
         "17.05.2024 10:07:00, 17.05.2024 10:07:01, 17.05.2024 10:07:02"},
        {"59 values give 60 points", Block(0, 1, 2024, 5, 17, 10, 0, 59), 60,
         "17.05.2024 10:01:00, 17.05.2024 10:02:00"},
        {"60 values", Block(0, 1, 2024, 5, 17, 10, 0, 60), 60, "17.05.2024 10:01:00"},
        {"a count above 60 stays in the block", Block(0, 1, 2024, 5, 17, 10, 0, 255), 60,
         "17.05.2024 10:01:00"},
    };
    for (const auto& [name, block, points, first] : cases) {
        SCOPED_TRACE(name);
        const auto instants = TrendBlockInstants(block, kBase);
        ASSERT_EQ(instants.size(), points);
        EXPECT_EQ(Times(instants).substr(0, first.size()), first);
        for (std::size_t i = 1; i < instants.size(); ++i) {
            EXPECT_GT(instants[i].seconds, instants[i - 1].seconds) << i;
        }
    }
    // The 60th point of 59 values lies one interval after the 59th.
    const auto sixty = TrendBlockInstants(Block(0, 1, 2024, 5, 17, 10, 0, 59), kBase);
    EXPECT_EQ(FormatDeviceDateTime(sixty.back().time), "17.05.2024 11:00:00");
    // Seconds on the device's clock, for ordering: 01.01.1970 is zero.
    const auto epoch = TrendBlockInstants(Block(0, 60, 1970, 1, 1, 0, 0, 1), kBase);
    EXPECT_EQ(epoch.at(0).seconds, 3600);
}

TEST(TrendSeries, ValuesInTheGridsUnitsAndGapsForValuesThatAreNotNumbers) {
    const TrendBlock b = Block(0, 15, 2024, 5, 17, 10, 0, 3);
    const auto base = TrendBlockInstants(b, kBase);
    ASSERT_EQ(base.size(), 3u);
    EXPECT_DOUBLE_EQ(*base[0].value[0], 20.0);  // (2931 - 2731) / 10
    EXPECT_DOUBLE_EQ(*base[2].value[1], 102.0);
    EXPECT_DOUBLE_EQ(*base[1].value[2], 1.5);
    EXPECT_DOUBLE_EQ(*base[2].value[3], 2.0);

    // Fahrenheit and Kelvin when the user picked them, as the grid shows.
    TrendSeriesUnits units{};
    for (const auto& [unit, value] : {std::pair<std::uint8_t, double>{1, 68.0}, {2, 293.15}}) {
        units[0] = FindUnitRow(0, 0, unit);
        ASSERT_NE(units[0], nullptr);
        EXPECT_NEAR(*TrendBlockInstants(b, units)[0].value[0], value, 1e-4);
    }

    // With the user units off the display units are the base units.
    ParameterImage image;
    const TrendSeriesUnits display = TrendDisplayUnits(image, 0);
    EXPECT_DOUBLE_EQ(*TrendBlockInstants(b, display)[0].value[0], 20.0);

    // Values that are not numbers leave gaps.
    TrendBlock gaps = Block(0, 15, 2024, 5, 17, 10, 0, 4);
    gaps.Series[0][1] = std::numeric_limits<float>::quiet_NaN();
    gaps.Series[2][2] = std::numeric_limits<float>::infinity();
    gaps.Series[1][0] = std::numeric_limits<float>::max();  // finite: stays
    const auto instants = TrendBlockInstants(gaps, kBase);
    ASSERT_EQ(instants.size(), 4u);
    EXPECT_FALSE(instants[1].value[0].has_value());
    EXPECT_TRUE(instants[1].value[1].has_value());
    EXPECT_FALSE(instants[2].value[2].has_value());
    EXPECT_TRUE(instants[0].value[1].has_value());
}

TEST(TrendSeries, BlocksThatCannotBeDrawnGiveNoPoints) {
    TrendBlock invalid = Block(0, 15, 2024, 5, 17, 10, 0, 4);
    invalid.Valid = false;
    const std::pair<const char*, TrendBlock> cases[] = {
        {"not valid", invalid},
        {"no values", Block(0, 15, 2024, 5, 17, 10, 0, 0)},
        {"interval 0", Block(0, 0, 2024, 5, 17, 10, 0, 4)},
        {"interval 61", Block(0, 61, 2024, 5, 17, 10, 0, 4)},
        {"month 0", Block(0, 15, 2024, 0, 17, 10, 0, 4)},
        {"month 13", Block(0, 15, 2024, 13, 17, 10, 0, 4)},
        {"day 0", Block(0, 15, 2024, 5, 0, 10, 0, 4)},
        {"30 February", Block(0, 15, 2024, 2, 30, 10, 0, 4)},
        {"hour 24", Block(0, 15, 2024, 5, 17, 24, 0, 4)},
        {"minute 60 per second", Block(0, 100, 2024, 5, 17, 10, 60, 4)},
    };
    for (const auto& [name, block] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsDrawableTrendBlock(block));
        EXPECT_TRUE(TrendBlockInstants(block, kBase).empty());
    }
    EXPECT_TRUE(IsDrawableTrendBlock(Block(0, 100, 2024, 2, 29, 23, 59, 60)));
}

TEST(TrendSeries, ACircuitsBlocksInTimeOrder) {
    TrendStore store;
    // The ring has wrapped: block 0 is newer than block 43.
    store.Block[0] = Block(0, 15, 2024, 5, 18, 0, 0, 2);
    store.Block[43] = Block(0, 15, 2024, 5, 17, 23, 0, 2);
    store.Block[5] = Block(1, 15, 2024, 5, 17, 22, 0, 3);   // circuit 2
    store.Block[6] = Block(2, 15, 2024, 5, 17, 21, 0, 3);   // circuit 3: never drawn
    store.Block[7] = Block(0, 15, 2024, 13, 17, 21, 0, 3);  // implausible
    const auto one = TrendCircuitInstants(store, 0, kBase);
    EXPECT_EQ(Times(one),
              "17.05.2024 23:15:00, 17.05.2024 23:30:00, 18.05.2024 00:15:00, "
              "18.05.2024 00:30:00");
    EXPECT_EQ(TrendCircuitInstants(store, 1, kBase).size(), 3u);
    EXPECT_TRUE(TrendCircuitInstants(TrendStore{}, 0, kBase).empty());

    // A full store of one circuit: 44 blocks of 60 points.
    TrendStore full;
    for (std::size_t i = 0; i < TrendStore::kBlocks; ++i) {
        full.Block[i] = Block(0, 1, 2024, 5, 17, static_cast<int>(i % 24), 0, 60);
        full.Block[i].Header.Day = static_cast<std::uint8_t>(1 + i / 24);
    }
    EXPECT_EQ(TrendCircuitInstants(full, 0, kBase).size(), 44u * 60u);
}

TEST(TrendSeries, ValueAxisRanges) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double big = std::numeric_limits<double>::max();
    const std::tuple<double, double, TrendRange> cases[] = {
        {0, 10, {-0.5, 10.5}},      {20, 20, {19, 21}},       {1000, 1000, {950, 1050}},
        {-200, -200, {-210, -190}}, {inf, -inf, {0, 1}},      {nan, 1, {0, 1}},
        {0, inf, {0, 1}},           {-big, big, {-big, big}},
    };
    for (const auto& [lo, hi, want] : cases) {
        SCOPED_TRACE(std::to_string(lo) + " .. " + std::to_string(hi));
        const TrendRange r = TrendValueRange(lo, hi);
        EXPECT_DOUBLE_EQ(r.min, want.min);
        EXPECT_DOUBLE_EQ(r.max, want.max);
    }
}

}  // namespace
}  // namespace parvion::views
