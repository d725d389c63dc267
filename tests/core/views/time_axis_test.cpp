// The time axis of the trend graph: the step and first tick for a range
// (round seconds, minutes, hours, midnight, Mondays), what a tick says, and
// the caption line that names a chart.

#include "core/views/time_axis.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>

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
    struct Case {
        const char* name;
        std::int64_t from, to;
        int maxTicks;
        TimeTicks expected;
    };
    const Case cases[] = {
        {"55 s: every 10 s",
         Dec(7, 10, 7, 3),
         Dec(7, 10, 7, 58),
         6,
         {10 * kSecondMs, Dec(7, 10, 7, 10), 5}},
        {"half an hour from a round start",
         Dec(7, 10),
         Dec(7, 10, 30),
         7,
         {5 * kMinuteMs, Dec(7, 10), 7}},
        {"6 h 45 min: whole hours", Dec(7, 10, 7, 3), Dec(7, 16, 52), 8, {kHourMs, Dec(7, 11), 6}},
        {"given backwards", Dec(7, 16, 52), Dec(7, 10, 7, 3), 8, {kHourMs, Dec(7, 11), 6}},
        {"36 h: 6 h from midnight", Dec(7, 18, 20), Dec(9, 6, 10), 8, {6 * kHourMs, Dec(8), 6}},
        {"two weeks: Mondays", Dec(1, 9), Dec(15, 9), 3, {7 * kDayMs, Dec(7), 2}},
        {"ten days: midnights", Dec(1, 9), Dec(11, 9), 12, {kDayMs, Dec(2), 10}},
        {"fewer than 2 ticks count as 2",
         Dec(7, 10),
         Dec(7, 10, 0, 50),
         0,
         {30 * kSecondMs, Dec(7, 10), 2}},
        {"across 1970's start",
         Wall(1969, 12, 31, 23, 59, 10),
         Wall(1970, 1, 1, 0, 0, 50),
         4,
         {30 * kSecondMs, Wall(1969, 12, 31, 23, 59, 30), 3}},
        {"a year: steps beyond a week double",
         Wall(2026, 1, 1),
         Wall(2026, 12, 31),
         4,
         {16 * 7 * kDayMs, Wall(2026, 2, 16), 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TimeTicks t = PlanTimeTicks(c.from, c.to, c.maxTicks);
        EXPECT_EQ(t.stepMs, c.expected.stepMs);
        EXPECT_EQ(FormatWallTime(t.firstMs), FormatWallTime(c.expected.firstMs));
        EXPECT_EQ(t.count, c.expected.count);
    }
}

TEST(TimeAxis, TickLabelsFollowTheStepAndMarkMidnight) {
    struct Case {
        std::int64_t at;
        std::int64_t step;
        const char* label;
    };
    const Case cases[] = {
        {Dec(7, 10, 7, 10), 10 * kSecondMs, "10:07:10"},
        {Dec(7, 11, 30), 30 * kMinuteMs, "11:30"},
        {Dec(8), 6 * kHourMs, "08.12."},
        {Dec(8), 10 * kSecondMs, "08.12."},
        {Dec(7), 7 * kDayMs, "07.12."},
        {Wall(1969, 12, 31, 23, 59, 30), 30 * kSecondMs, "23:59:30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(TimeTickLabel(c.at, c.step), c.label);
    }
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
    struct Case {
        const char* name;
        const char* device;
        const char* serial;
        int circuit;
        std::int64_t from;
        std::int64_t to;
        const char* expected;
    };
    const Case cases[] = {
        {"identity and serial trimmed", "PV-GAS2 ", " 0012345 ", 1, from, to,
         "PV-GAS2, serial number 0012345, circuit 1, 07.12.2026 10:07:03 to 08.12.2026 09:00:00"},
        {"no serial number known", "PV-ENG2", "  ", 2, from, to,
         "PV-ENG2, circuit 2, 07.12.2026 10:07:03 to 08.12.2026 09:00:00"},
        {"range given backwards", "PV-GAS2", "7", 2, to, from,
         "PV-GAS2, serial number 7, circuit 2, 07.12.2026 10:07:03 to 08.12.2026 09:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrendChartCaption(text, c.device, c.serial, c.circuit, c.from, c.to), c.expected);
    }
}

}  // namespace
}  // namespace parvion::views
