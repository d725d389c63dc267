#pragma once
// The reads of one live-value refresh of a circuit, shared by the live-value
// pages, `parvion2-cli live` and the link benchmarks: the device clock and
// System, the circuit's operating values, its parameters, the output
// currents, the display options and, while the device's user units are on,
// the unit selections. The error state is read separately, when the lines
// are shown.

#include <functional>

#include "core/model/device_records.h"
#include "core/model/parameter_image.h"

namespace parvion {

class Link;

// Where a refresh stopped: the first read that failed, or Complete.
enum class LiveRead {
    Complete,
    Clock,
    OperatingValues,
    CircuitParameters,
    OutputCurrents,
    DisplayOptions,
};

// Progress steps of a refresh through the link's UiHooks, one after each
// read that succeeded (seven for a complete one).
inline constexpr int kLiveReadSteps = 7;

// Reads in the device's order and stops at the first failure. `clockRead`
// runs once the clock and System are read (the window shows the clock at
// once).
LiveRead ReadLiveValues(Link& link, ParameterImage& image, DeviceState& device, int circuit,
                        const std::function<void()>& clockRead = {});

}  // namespace parvion
