#include "core/views/time_axis.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace parvion::views {

namespace {

constexpr std::array<std::int64_t, 20> kSteps = {
    kSecondMs,      2 * kSecondMs,  5 * kSecondMs, 10 * kSecondMs, 15 * kSecondMs,
    30 * kSecondMs, kMinuteMs,      2 * kMinuteMs, 5 * kMinuteMs,  10 * kMinuteMs,
    15 * kMinuteMs, 30 * kMinuteMs, kHourMs,       2 * kHourMs,    3 * kHourMs,
    6 * kHourMs,    12 * kHourMs,   kDayMs,        2 * kDayMs,     7 * kDayMs};

constexpr std::int64_t kWeekMs = 7 * kDayMs;
// 05.01.1970, the first Monday: weeks are counted from it.
constexpr std::int64_t kMondayMs = 4 * kDayMs;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::int64_t FirstTick(std::int64_t fromMs, std::int64_t stepMs) {
    const std::int64_t anchor = stepMs % kWeekMs == 0 ? kMondayMs : 0;
    const std::int64_t n = FloorDiv(fromMs - anchor + stepMs - 1, stepMs);
    return anchor + n * stepMs;
}

TimeTicks TicksFor(std::int64_t fromMs, std::int64_t toMs, std::int64_t stepMs) {
    TimeTicks t;
    t.stepMs = stepMs;
    t.firstMs = FirstTick(fromMs, stepMs);
    t.count = t.firstMs > toMs ? 0 : static_cast<int>((toMs - t.firstMs) / stepMs + 1);
    return t;
}

struct Civil {
    int year = 1970;
    unsigned month = 1;
    unsigned day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

Civil ToCivil(std::int64_t wallMs) {
    using namespace std::chrono;
    const std::int64_t days = FloorDiv(wallMs, kDayMs);
    const std::int64_t inDay = wallMs - days * kDayMs;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    Civil c;
    c.year = static_cast<int>(ymd.year());
    c.month = static_cast<unsigned>(ymd.month());
    c.day = static_cast<unsigned>(ymd.day());
    c.hour = static_cast<int>(inDay / kHourMs);
    c.minute = static_cast<int>(inDay % kHourMs / kMinuteMs);
    c.second = static_cast<int>(inDay % kMinuteMs / kSecondMs);
    return c;
}

}  // namespace

TimeTicks PlanTimeTicks(std::int64_t fromMs, std::int64_t toMs, int maxTicks) {
    if (fromMs > toMs) std::swap(fromMs, toMs);
    maxTicks = std::max(maxTicks, 2);
    for (const std::int64_t step : kSteps) {
        const TimeTicks t = TicksFor(fromMs, toMs, step);
        if (t.count <= maxTicks) return t;
    }
    std::int64_t step = 2 * kSteps.back();
    for (;;) {
        const TimeTicks t = TicksFor(fromMs, toMs, step);
        if (t.count <= maxTicks || step > (toMs - fromMs)) return t;
        step *= 2;
    }
}

std::string TimeTickLabel(std::int64_t wallMs, std::int64_t stepMs) {
    const Civil c = ToCivil(wallMs);
    char buf[16];
    const bool midnight = c.hour == 0 && c.minute == 0 && c.second == 0;
    if (midnight || stepMs >= kDayMs) {
        std::snprintf(buf, sizeof buf, "%02u.%02u.", c.day, c.month);
    } else if (stepMs < kMinuteMs) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    } else {
        std::snprintf(buf, sizeof buf, "%02d:%02d", c.hour, c.minute);
    }
    return buf;
}

std::string FormatWallTime(std::int64_t wallMs) {
    const Civil c = ToCivil(wallMs);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u.%02u.%04d %02d:%02d:%02d", c.day, c.month, c.year, c.hour,
                  c.minute, c.second);
    return buf;
}

std::string TrendChartCaption(const TextLoader& text, std::string_view device,
                              std::string_view serial, int circuit, std::int64_t fromMs,
                              std::int64_t toMs) {
    std::string name(device);
    name.erase(name.find_last_not_of(' ') + 1);
    std::string number(serial);
    number.erase(0, number.find_first_not_of(' '));
    number.erase(number.find_last_not_of(' ') + 1);
    const std::string from = FormatWallTime(std::min(fromMs, toMs));
    const std::string to = FormatWallTime(std::max(fromMs, toMs));
    const std::string which = std::to_string(circuit);
    if (number.empty()) {
        return FillText(text, time_axis_text::kCaptionNoSerial, {name, which, from, to});
    }
    return FillText(text, time_axis_text::kCaption, {name, number, which, from, to});
}

}  // namespace parvion::views
