// The points the graph draws: times of a block's instants, the 59-values
// rule, the temperature formula and the display units, time order across
// the ring, blocks that cannot be drawn, values that are not numbers, and
// the ranges of the value axes.

#include "core/views/trend_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/model/value_format.h"

#include "support/trend_stores.h"

namespace parvion::views {
namespace {

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

struct TimesCase {
    const char* name;
    TrendBlock block;
    std::size_t points;
    const char* first;  // times of the first points (or all), as the window shows them
};

TEST(TrendSeries, TimesOfABlock) {
    const TimesCase cases[] = {
        {"quarter hours from 10:07", Block(0, 15, 2024, 5, 17, 10, 7, 4), 4,
         "17.05.2024 10:15:00, 17.05.2024 10:30:00, 17.05.2024 10:45:00, 17.05.2024 11:00:00"},
        {"one value per second", Block(0, 100, 2024, 5, 17, 10, 7, 3), 3,
         "17.05.2024 10:07:00, 17.05.2024 10:07:01, 17.05.2024 10:07:02"},
        {"leap day", Block(0, 60, 2004, 2, 28, 23, 0, 2), 2,
         "29.02.2004 00:00:00, 29.02.2004 01:00:00"},
        {"no leap day", Block(0, 60, 2003, 2, 28, 23, 0, 1), 1, "01.03.2003 00:00:00"},
        {"new year", Block(0, 30, 2024, 12, 31, 23, 40, 2), 2,
         "01.01.2025 00:00:00, 01.01.2025 00:30:00"},
        {"59 values give 60 points", Block(0, 1, 2024, 5, 17, 10, 0, 59), 60,
         "17.05.2024 10:01:00, 17.05.2024 10:02:00"},
        {"60 values", Block(0, 1, 2024, 5, 17, 10, 0, 60), 60, "17.05.2024 10:01:00"},
        {"a count above 60 stays in the block", Block(0, 1, 2024, 5, 17, 10, 0, 255), 60,
         "17.05.2024 10:01:00"},
    };
    for (const TimesCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto instants = TrendBlockInstants(c.block, kBase);
        ASSERT_EQ(instants.size(), c.points);
        const std::string first = c.first;
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

TEST(TrendSeries, ValuesInTheGridsUnits) {
    const TrendBlock b = Block(0, 15, 2024, 5, 17, 10, 0, 3);
    const auto base = TrendBlockInstants(b, kBase);
    ASSERT_EQ(base.size(), 3u);
    EXPECT_DOUBLE_EQ(*base[0].value[0], 20.0);  // (2931 - 2731) / 10
    EXPECT_DOUBLE_EQ(*base[2].value[1], 102.0);
    EXPECT_DOUBLE_EQ(*base[1].value[2], 1.5);
    EXPECT_DOUBLE_EQ(*base[2].value[3], 2.0);

    // Fahrenheit and Kelvin when the user picked them, as the grid shows.
    TrendSeriesUnits units{};
    units[0] = FindUnitRow(0, 0, 1);
    ASSERT_NE(units[0], nullptr);
    EXPECT_NEAR(*TrendBlockInstants(b, units)[0].value[0], 68.0, 1e-4);
    units[0] = FindUnitRow(0, 0, 2);
    ASSERT_NE(units[0], nullptr);
    EXPECT_NEAR(*TrendBlockInstants(b, units)[0].value[0], 293.15, 1e-4);

    // With the user units off the display units are the base units.
    ParameterImage image;
    const TrendSeriesUnits display = TrendDisplayUnits(image, 0);
    EXPECT_DOUBLE_EQ(*TrendBlockInstants(b, display)[0].value[0], 20.0);
}

TEST(TrendSeries, ValuesThatAreNotNumbersLeaveGaps) {
    TrendBlock b = Block(0, 15, 2024, 5, 17, 10, 0, 4);
    b.Series[0][1] = std::numeric_limits<float>::quiet_NaN();
    b.Series[2][2] = std::numeric_limits<float>::infinity();
    b.Series[3][3] = -std::numeric_limits<float>::infinity();
    b.Series[1][0] = std::numeric_limits<float>::max();  // finite: stays
    const auto instants = TrendBlockInstants(b, kBase);
    ASSERT_EQ(instants.size(), 4u);
    EXPECT_FALSE(instants[1].value[0].has_value());
    EXPECT_TRUE(instants[1].value[1].has_value());
    EXPECT_FALSE(instants[2].value[2].has_value());
    EXPECT_FALSE(instants[3].value[3].has_value());
    EXPECT_TRUE(instants[0].value[1].has_value());
}

TEST(TrendSeries, BlocksThatCannotBeDrawnGiveNoPoints) {
    struct Case {
        const char* name;
        TrendBlock block;
    };
    TrendBlock invalid = Block(0, 15, 2024, 5, 17, 10, 0, 4);
    invalid.Valid = false;
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(IsDrawableTrendBlock(c.block));
        EXPECT_TRUE(TrendBlockInstants(c.block, kBase).empty());
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
    struct Case {
        double lo, hi;
        TrendRange want;
    };
    const Case cases[] = {
        {0, 10, {-0.5, 10.5}},      {20, 20, {19, 21}},       {1000, 1000, {950, 1050}},
        {-200, -200, {-210, -190}}, {inf, -inf, {0, 1}},      {nan, 1, {0, 1}},
        {0, inf, {0, 1}},           {-big, big, {-big, big}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + " .. " + std::to_string(c.hi));
        const TrendRange r = TrendValueRange(c.lo, c.hi);
        EXPECT_DOUBLE_EQ(r.min, c.want.min);
        EXPECT_DOUBLE_EQ(r.max, c.want.max);
        EXPECT_LT(r.min, r.max);
    }
}

}  // namespace
}  // namespace parvion::views
