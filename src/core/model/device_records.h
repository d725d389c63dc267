#pragma once
// Records the device data commands fill (link/data_commands): identity,
// access record, serial number, clock, live values, output currents, error
// protocol, integrators, trend store and the two table transfer buffers.
// They live in one DeviceState object, owned by the main window (or the CLI)
// and passed by reference; the pages and printouts read them.
//
// Times inside these records use the layout of DeviceDateTime with a
// four-digit year. Fields are named after the device's own terms where it
// has them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/model/device_time.h"

namespace parvion {

// Access record: four flag bytes and the 8-character device password.
struct DeviceAccessRec {
    std::array<std::uint8_t, 4> Flags{};  // Flags[3] non-zero: password-protected
    std::string Password;                 // 8 characters as the device sends them
    bool isProtected() const { return Flags[3] != 0; }
    bool operator==(const DeviceAccessRec&) const = default;
};

// Live values of one circuit: twenty 4-byte fields in block order.
// Field 15 is the operating time, a 32-bit signed count of seconds; it is
// kept exactly in OperatingTime, and Field[15] holds the same number as a
// float for code that walks all twenty fields (exact only below 2^24 s).
// Every other field is a float as the device sends it, except Field[6]
// (temperature), which is stored in degrees Celsius.
struct OperatingValuesRec {
    static constexpr std::size_t kCount = 20;
    static constexpr std::size_t kTemperature = 6;
    static constexpr std::size_t kOperatingTime = 15;

    std::array<float, kCount> Field{};
    std::int32_t OperatingTime = 0;
    bool operator==(const OperatingValuesRec&) const = default;
};

// Present currents of the four analog outputs, mA.
struct OutputCurrentsRec {
    std::array<float, 4> Current{};
    bool operator==(const OutputCurrentsRec&) const = default;
};

// One occurrence of an error group.
struct ErrorEntry {
    std::uint8_t Active = 0;  // non-zero: the error is still present
    std::uint8_t Second = 0;  // second flag (shown as "over" when set)
    std::uint8_t Byte2 = 0;   // carried, not interpreted
    std::uint8_t Byte3 = 0;   // carried, not interpreted
    DeviceDateTime Start;
    DeviceDateTime End;
    bool operator==(const ErrorEntry&) const = default;
};

// The device's error protocol: for each of 16 error groups its ring
// position and its 8 last occurrences (ring slots 0..7).
struct ErrorProtocolRec {
    static constexpr std::size_t kGroups = 16;
    static constexpr std::size_t kEntries = 8;

    // Ring position of each group as the device sends it; position() gives
    // the slot it names, always within 0..7.
    std::array<std::uint8_t, kGroups> RingPos{};
    std::array<std::array<ErrorEntry, kEntries>, kGroups> Entry{};
    std::size_t position(std::size_t group) const { return RingPos[group] % kEntries; }
    bool operator==(const ErrorProtocolRec&) const = default;
};

// One integrator record: two time-stamped totals and a count.
struct IntegratorEntry {
    DeviceDateTime Time1;
    DeviceDateTime Time2;
    float Value1 = 0;  // total: standard volume (gas) or energy
    float Value2 = 0;  // mass
    std::uint32_t Count = 0;
    // An entry whose second time has day 0 holds nothing.
    bool empty() const { return Time2.day == 0; }
    bool operator==(const IntegratorEntry&) const = default;
};

// Integrator records of both circuits, 8 each, newest first (Entry[c][0] is
// the newest of circuit c).
struct IntegratorsRec {
    static constexpr std::size_t kEntries = 8;
    std::array<std::array<IntegratorEntry, kEntries>, 2> Entry{};
    bool operator==(const IntegratorsRec&) const = default;
};

// Directory of the trend memory (the first 36 bytes of its area).
struct TrendDirectory {
    std::uint8_t State = 0;   // 2: the ring has wrapped, the oldest block follows the newest
    std::uint8_t Newest = 0;  // block number of the newest block
    std::array<float, 3> FloatsA{};
    std::array<float, 5> FloatsB{};
    std::uint16_t Word = 0;
    bool operator==(const TrendDirectory&) const = default;
};

// Header of one trend block.
struct TrendHeader {
    std::uint8_t Circuit = 0;   // 0..2
    std::uint8_t Interval = 0;  // minutes 1..60, or 100 for one value per second
    std::uint16_t Year = 0;     // four digits
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Count = 0;  // number of values, 0..60
    bool operator==(const TrendHeader&) const = default;
};

// One of the 44 trend blocks as held in memory.
struct TrendBlock {
    static constexpr std::size_t kValues = 60;

    // True when the block was read completely and its header is plausible;
    // a valid block with an unchanged header on the device is not read again.
    bool Valid = false;
    TrendHeader Header;
    // Series 1: temperature words (tenths of a kelvin, °C = (v - 2731) / 10);
    // series 2: pressure words; series 3 and 4: floats. All held as floats.
    std::array<std::array<float, kValues>, 4> Series{};

    // Filled by the trend page, not by the device read.
    std::string StartLabel;
    std::string EndLabel;
    std::array<double, 4> Max{};
    std::array<double, 4> Min{};
    std::array<double, 4> Mean{};
    bool operator==(const TrendBlock&) const = default;
};

// The in-memory copy of the device's trend memory, also the cache that
// spares re-reading unchanged blocks.
struct TrendStore {
    static constexpr std::size_t kBlocks = 44;

    TrendStore() { ItemMap.fill(-1); }

    // Item k of the trend drop-down shows block ItemMap[k]; -1 = none.
    std::array<std::int32_t, kBlocks> ItemMap{};
    TrendDirectory Directory;
    std::array<TrendBlock, kBlocks> Block{};
    bool operator==(const TrendStore&) const = default;
};

// Transfer buffer of one property table (compressibility, density or
// enthalpy over pressure and temperature).
struct PropertyTableBuffer {
    static constexpr std::size_t kColumns = 14;
    static constexpr std::size_t kRows = 18;

    std::array<std::uint16_t, kColumns> PressureAxis{};  // column heads, kPa
    std::array<std::uint16_t, kRows> TemperatureAxis{};  // row heads, K
    std::array<std::array<float, kColumns>, kRows> Values{};
    bool operator==(const PropertyTableBuffer&) const = default;
};

// One point of the saturation table.
struct SaturationRow {
    float T = 0;    // K
    float p = 0;    // kPa
    float rho = 0;  // kg/m³
    float h = 0;    // kJ/kg
    bool operator==(const SaturationRow&) const = default;
};

// Transfer buffer of the saturation table: 32 points.
struct SaturationTableBuffer {
    static constexpr std::size_t kRows = 32;
    std::array<SaturationRow, kRows> Rows{};
    bool operator==(const SaturationTableBuffer&) const = default;
};

// Everything the program knows about the connected device besides its
// parameter image. About 50 KB; the owner may keep it on the heap.
struct DeviceState {
    // Identity text as last read (8 characters; "PV-GAS2 " or "PV-ENG2 " for
    // a supported device). Identification also copies it to Session.
    std::string DeviceIdent;
    DeviceAccessRec DeviceAccess;
    // 16 characters, control characters turned into blanks.
    std::string DeviceSerialNo;
    // The device clock as last read; all fields 0 after a failed read.
    ::parvion::DeviceDateTime DeviceDateTime;
    // Device clock minus PC clock, in days; 0 when the device date is invalid.
    double ClockOffset = 0;
    std::array<OperatingValuesRec, 2> OperatingValues{};
    OutputCurrentsRec OutputCurrents;
    ErrorProtocolRec ErrorProtocol;
    IntegratorsRec Integrators;
    ::parvion::TrendStore TrendStore;
    PropertyTableBuffer PropertyTable;
    SaturationTableBuffer SaturationTable;
};

}  // namespace parvion
