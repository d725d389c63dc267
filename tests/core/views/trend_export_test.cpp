// Trend time arithmetic, statistics, listing order and the export lines.

#include "core/views/trend_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "support/temp_dir.h"

#include "support/trend_stores.h"

namespace parvion::views {
namespace {

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
    EXPECT_EQ(b.StartLabel, "17.05.2024 10:30");
    EXPECT_EQ(b.EndLabel, "17.05.2024 11:30");
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

    const auto file = BuildTrendExport(store, "S", {"Time", "T[C]", "P[kPa]", "F", "M"}, Plain);
    ASSERT_EQ(file.size(), 1u + 9 + 4);
    EXPECT_EQ(file[0], "SerNo;Kreis;Time;T[C];P[kPa];F;M");
    EXPECT_EQ(file[1].substr(0, 4), "S;2;");
    EXPECT_EQ(file[10].substr(0, 4), "S;1;");
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
    struct Case {
        int interval, minute, count;
        std::size_t rows;
        const char* firstTime;
        const char* lastTime;
    } cases[] = {
        {7, 56, 3, 3, "17.05.2024 10:03:00", "17.05.2024 10:17:00"},    // not a divisor of 60
        {99, 30, 2, 2, "17.05.2024 09:30:00", "17.05.2024 09:30:00"},   // above 60: no advance
        {5, 0, 200, 60, "17.05.2024 09:05:00", "17.05.2024 14:00:00"},  // count above 60
    };
    for (const Case& c : cases) {
        TrendBlock b = Block(c.interval, 9, c.minute, c.count);
        b.Series[0][0] = std::numeric_limits<float>::quiet_NaN();
        ComputeTrendStatistics(b);
        for (std::size_t s = 0; s < 4; ++s) {
            EXPECT_TRUE(std::isfinite(b.Max[s]) && std::isfinite(b.Min[s]) &&
                        std::isfinite(b.Mean[s]))
                << c.interval;
        }
        EXPECT_EQ(b.Series[0][0], 0.0f);
        const auto rows = TrendRows(b, Plain);
        ASSERT_EQ(rows.size(), c.rows) << c.interval;
        EXPECT_EQ(rows.front()[0], c.firstTime) << c.interval;
        EXPECT_EQ(rows.back()[0], c.lastTime) << c.interval;
    }
}

TEST(TrendExportFile, IsWindows1252WithCrLf) {
    parvion::test::TempDir dir;
    TrendStore store;
    store.Block[0] = Block(60, 10, 0, 2);
    // The serial number as the device sends it, a Windows-1252 umlaut in it.
    const std::string serial = "Z\xE4hler 1       ";
    const auto lines = BuildTrendExport(store, serial, {"Zeit", "T[°C]", "p", "Q", "M"}, Plain);
    const auto file = dir / "Trenddaten.txt";
    std::string error;
    ASSERT_TRUE(SaveTrendExportFile(file, lines, &error)) << error;
    const std::string bytes = parvion::test::readFileBytes(file);
    EXPECT_EQ(bytes.rfind("SerNo;Kreis;Zeit;T[\xB0"
                          "C];p;Q;M\r\n"
                          "Z\xE4hler 1       ;1;17.05.2024 11:00:00;",
                          0),
              0u)
        << bytes;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 3);

    // Not writable (below a file): the reason, and the file stays as it was.
    EXPECT_FALSE(SaveTrendExportFile(file / "x.txt", lines, &error));
    EXPECT_NE(error.find((file / "x.txt").string()), std::string::npos) << error;
    EXPECT_EQ(parvion::test::readFileBytes(file), bytes);
}

}  // namespace
}  // namespace parvion::views
