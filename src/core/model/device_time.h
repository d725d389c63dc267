#pragma once
// A date and time as the device keeps it (clock, error protocol, integrators).

#include <cstdint>

namespace parvion {

struct DeviceDateTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    bool operator==(const DeviceDateTime&) const = default;
};

}  // namespace parvion
