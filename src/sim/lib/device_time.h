#pragma once
// Calendar arithmetic of the simulated device: wall-clock seconds since
// 1970-01-01 00:00 (no time zone; the device keeps local time) to and from
// broken-down dates.

#include <cstdint>

namespace parvion::sim {

// A date and time of the device's clock and records: four-digit year.
struct DeviceDateTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    bool operator==(const DeviceDateTime&) const = default;
};

std::int64_t daysFromCivil(int year, int month, int day);
std::int64_t toEpochSeconds(const DeviceDateTime& t);
DeviceDateTime fromEpochSeconds(std::int64_t seconds);
bool isValidDateTime(const DeviceDateTime& t);
// The PC's local time now, as wall seconds.
std::int64_t localNowSeconds();
// Two-digit year as the device stores it: 80..99 = 1980..1999, 00..79 = 2000..2079.
int fullYear(int twoDigits);

}  // namespace parvion::sim
