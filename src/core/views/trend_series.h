#pragma once
// The trend values as the graph window draws them: which instants a block
// gives, their times, the four values of each in the units the trend grid
// shows, and the ranges of the value axes. The window only puts the points
// into its four series.
//
// A block gives its points from one interval after its start (the header's
// minute rounded down to a multiple of the interval), one point per value,
// 60 points for 59 values as the grid shows them; a block that records one
// value per second (interval 100) gives the seconds 0, 1, 2 ... of its start
// minute. The points of all blocks of a circuit are returned in time order,
// whatever the order of the blocks in the ring.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/device_records.h"
#include "core/model/device_time.h"
#include "core/model/units.h"

namespace parvion::views {

inline constexpr std::size_t kTrendSeriesCount = 4;

// Quantities of the four series: temperature, pressure, standard volume flow
// (gas) or power (energy), mass flow.
inline constexpr std::array<std::uint8_t, kTrendSeriesCount> kTrendSeriesQuantities = {0, 1, 3, 4};

// The unit each series is shown in; a null row leaves the values in the
// base unit (temperature in °C).
using TrendSeriesUnits = std::array<const UnitRow*, kTrendSeriesCount>;

// The display units of the four series as the trend grid's heads name them.
TrendSeriesUnits TrendDisplayUnits(const ParameterImage& image, int medium);

struct TrendInstant {
    DeviceDateTime time;  // on the device's clock, with seconds
    // Seconds since 01.01.1970 00:00 on the device's clock; orders the
    // instants across blocks.
    std::int64_t seconds = 0;
    // The four values; nothing where the device's value is not a finite
    // number, so that a broken value leaves a gap instead of breaking an axis.
    std::array<std::optional<double>, kTrendSeriesCount> value;
};

// Whether a block can be drawn: valid, values recorded, an interval of 1..60
// minutes or one value per second, and a start that is a real date and time.
// Anything else (a header the device never writes) gives no points.
bool IsDrawableTrendBlock(const TrendBlock& b);

// The instants of one block, in time order; empty when it cannot be drawn.
std::vector<TrendInstant> TrendBlockInstants(const TrendBlock& b, const TrendSeriesUnits& units);

// The instants of every drawable block of one circuit (0 or 1), in time
// order; blocks with the same times keep their ring order.
std::vector<TrendInstant> TrendCircuitInstants(const TrendStore& store, int circuit,
                                               const TrendSeriesUnits& units);

struct TrendRange {
    double min = 0;
    double max = 1;
    bool operator==(const TrendRange&) const = default;
};

// The value axis range for values between lo and hi: 5 % room above and
// below; a single value gets ±1 (or ±5 % of it when that is more); no values
// (lo above hi) or bounds that are not finite give 0..1. Never a range of
// zero width or beyond the doubles.
TrendRange TrendValueRange(double lo, double hi);

}  // namespace parvion::views
