#include "core/views/trend_series.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/views/trend_export.h"

namespace parvion::views {

namespace {

bool IsRealDateTime(const DeviceDateTime& t) {
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return false;
    const std::chrono::year_month_day ymd{std::chrono::year{t.year}, std::chrono::month{t.month},
                                          std::chrono::day{t.day}};
    return ymd.ok();
}

std::int64_t SecondsSinceEpoch(const DeviceDateTime& t) {
    const std::chrono::sys_days day{std::chrono::year{t.year} / std::chrono::month{t.month} /
                                    std::chrono::day{t.day}};
    return static_cast<std::int64_t>(day.time_since_epoch().count()) * 86400 +
           static_cast<std::int64_t>(t.hour) * 3600 + static_cast<std::int64_t>(t.minute) * 60 +
           static_cast<std::int64_t>(t.second);
}

std::optional<double> Shown(double base, const UnitRow* unit) {
    const double v = unit == nullptr ? base
                                     : base * static_cast<double>(unit->Factor) +
                                           static_cast<double>(unit->Offset);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

TrendSeriesUnits TrendDisplayUnits(const ParameterImage& image, int medium) {
    TrendSeriesUnits units{};
    for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
        units[s] = SelectUnitRow(image, medium, kTrendSeriesQuantities[s]);
    }
    return units;
}

bool IsDrawableTrendBlock(const TrendBlock& b) {
    const TrendHeader& h = b.Header;
    if (!b.Valid || h.Count == 0) return false;
    if (h.Interval == 0 || (h.Interval > 60 && h.Interval != kTrendIntervalSeconds)) return false;
    return IsRealDateTime(TrendBlockStart(h));
}

std::vector<TrendInstant> TrendBlockInstants(const TrendBlock& b, const TrendSeriesUnits& units) {
    std::vector<TrendInstant> instants;
    if (!IsDrawableTrendBlock(b)) return instants;
    const int interval = b.Header.Interval;
    const bool perSecond = interval == kTrendIntervalSeconds;
    DeviceDateTime t = TrendBlockStart(b.Header);
    AdvanceTrendTime(t, interval);
    // At most 60 points: the row count is capped at the block's 60 values.
    const int n = TrendRowCount(b.Header);
    instants.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        TrendInstant p;
        p.time = t;
        p.time.second = static_cast<std::uint16_t>(perSecond ? i : 0);
        p.seconds = SecondsSinceEpoch(p.time);
        const auto base = TrendRowValues(b, static_cast<std::size_t>(i));
        for (std::size_t s = 0; s < kTrendSeriesCount; ++s) {
            // The device's words and floats as they came: a float that is not a
            // number stays one through the temperature formula.
            p.value[s] = std::isfinite(base[s]) ? Shown(base[s], units[s]) : std::nullopt;
        }
        instants.push_back(p);
        AdvanceTrendTime(t, interval);
    }
    return instants;
}

std::vector<TrendInstant> TrendCircuitInstants(const TrendStore& store, int circuit,
                                               const TrendSeriesUnits& units) {
    std::vector<TrendInstant> all;
    for (const TrendBlock& b : store.Block) {
        if (b.Header.Circuit != circuit) continue;
        const auto block = TrendBlockInstants(b, units);
        all.insert(all.end(), block.begin(), block.end());
    }
    std::stable_sort(all.begin(), all.end(), [](const TrendInstant& a, const TrendInstant& b) {
        return a.seconds < b.seconds;
    });
    return all;
}

TrendRange TrendValueRange(double lo, double hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) return {};
    const double pad = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::fabs(lo) * 0.05);
    TrendRange r{lo - pad, hi + pad};
    if (!std::isfinite(r.min) || !std::isfinite(r.max) || !(r.max > r.min)) r = {lo, hi};
    return r;
}

}  // namespace parvion::views
