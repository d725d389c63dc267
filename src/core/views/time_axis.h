#pragma once
// The time axis of the trend graph: where its ticks fall and what they say,
// and the caption line that names a chart in its PNG file and printout.
//
// Times here are wall-clock milliseconds: a date and time as the clock shows
// it, counted as if it were UTC from 01.01.1970 00:00 (no time zone, no
// daylight saving). Ticks fall on round times of that clock — whole seconds,
// round minutes, whole hours, midnight — with a step chosen so that no more
// ticks than fit lie in the range shown.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/views/text_source.h"

namespace parvion::views {

inline constexpr std::int64_t kSecondMs = 1000;
inline constexpr std::int64_t kMinuteMs = 60 * kSecondMs;
inline constexpr std::int64_t kHourMs = 60 * kMinuteMs;
inline constexpr std::int64_t kDayMs = 24 * kHourMs;

struct TimeTicks {
    std::int64_t stepMs = 0;   // 1, 2, 5, 10, 15, 30 s; 1 … 30 min; 1, 2, 3, 6, 12 h; days
    std::int64_t firstMs = 0;  // the first tick at or after the range's start
    int count = 0;             // ticks from the first one up to the range's end
    bool operator==(const TimeTicks&) const = default;
};

// The ticks for the range fromMs..toMs: the smallest step of the list above
// that leaves at most maxTicks ticks in the range (at least 2 are allowed),
// each tick a whole multiple of the step counted from midnight (steps of a
// week or more from a Monday). Beyond a week the step doubles. A range
// given backwards is taken the right way round.
TimeTicks PlanTimeTicks(std::int64_t fromMs, std::int64_t toMs, int maxTicks);

// What a tick of this step says: "hh:mm:ss" below a minute, "hh:mm" below a
// day, "dd.MM." from a day on; a tick at midnight says "dd.MM." whatever the
// step, so that a day's change shows on the axis.
std::string TimeTickLabel(std::int64_t wallMs, std::int64_t stepMs);

// "dd.MM.yyyy hh:mm:ss" (negative times count back from 1970).
std::string FormatWallTime(std::int64_t wallMs);

// Text numbers of the chart's caption line.
namespace time_axis_text {
// %1 device, %2 serial number, %3 circuit, %4 from, %5 to.
inline constexpr std::uint16_t kCaption = 22940;
// %1 device, %2 circuit, %3 from, %4 to: no serial number known.
inline constexpr std::uint16_t kCaptionNoSerial = 22941;
}  // namespace time_axis_text

// The caption line of a chart: the device (its variant, "PV-GAS2"), its
// serial number (left out when empty), the circuit (1 or 2) and the time
// range shown, from its start to its end.
std::string TrendChartCaption(const TextLoader& text, std::string_view device,
                              std::string_view serial, int circuit, std::int64_t fromMs,
                              std::int64_t toMs);

}  // namespace parvion::views
