#pragma once
// Device data commands: identity, access record, program text, serial
// number, clock, live values, output currents, error state and protocol,
// integrators, trend memory and the two kinds of table. Each command makes
// one or more block transactions through the Link and decodes the reply into
// its record.
//
// Every command returns true only when all its transactions succeeded. A
// failed command leaves its record as it was, with two exceptions:
// ReadDeviceClock clears the date-time fields, and ReadTrendBlock stores a
// new header and marks the block invalid before it reads the values. Reads
// that need several transactions fill their record only when all of them
// succeeded, so a record never mixes old and new data.
//
// The decoders in namespace `data` are pure functions over the data bytes
// of a reply (echoed header and checksum removed).

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/model/device_records.h"
#include "core/model/device_time.h"

namespace parvion {

class Link;

// The PC's local wall-clock time, the time the device clock is set from.
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;
using PcClock = std::function<LocalTime()>;
// The real local time of this computer.
LocalTime SystemLocalNow();

// Memory map of the data commands.
namespace address {
inline constexpr std::uint16_t DeviceIdent = 0x80B0;
inline constexpr std::uint16_t DeviceAccess = 0x80E0;
inline constexpr std::uint16_t ProgramText = 0x1026;  // second memory area (0xB1)
inline constexpr std::uint16_t DeviceSerialNo = 0x8FC0;
inline constexpr std::uint16_t Clock = 0xA000;
inline constexpr std::uint16_t OperatingValues = 0xF800;  // + 80 per circuit
inline constexpr std::uint16_t OutputCurrents = 0xF900;
inline constexpr std::uint16_t ErrorState = 0x8400;  // also the error protocol head
inline constexpr std::uint16_t ErrorPages = 0x8420;  // + 128 per group
inline constexpr std::uint16_t IntegratorRing = 0x8176;
inline constexpr std::uint16_t Integrators = 0x8C20;  // + 256 per circuit + 32 per slot
inline constexpr std::uint16_t TrendDirectory = 0x0000;
inline constexpr std::uint16_t TrendBlocks = 36;  // + 728 per block
inline constexpr std::uint16_t TrendBlockSize = 728;
inline constexpr std::uint16_t SaturationTable = 0x9580;
// Property tables 0 and 1: column heads, row heads, rows (+ 56 per row).
inline constexpr std::array<std::uint16_t, 3> PropertyTable0 = {0x9780, 0x979C, 0x97C0};
inline constexpr std::array<std::uint16_t, 3> PropertyTable1 = {0x9BC0, 0x9BDC, 0x9C00};
}  // namespace address

// The variant an identity names: the medium of the variant whose identity
// text it is (exact, trailing blank included; see core/model/variant.h),
// medium::Unknown for anything else.
int MediumOfIdent(std::string_view ident);

// --- commands -------------------------------------------------------------

// The 8 identity characters as they come.
bool ReadDeviceIdent(Link& link, std::string& ident);
bool ReadDeviceAccess(Link& link, DeviceAccessRec& access);
// 16 characters of the program memory, control characters as blanks; an
// empty text when the read fails.
std::string ReadProgramText(Link& link);
// 16 characters, control characters as blanks.
bool ReadDeviceSerialNo(Link& link, std::string& serialNo);

// Reads the device clock into `clock` and sets `clockOffset` to device time
// minus `now()` in days, or to 0 when the device date is not a real date.
// On failure all fields of `clock` become 0 and `clockOffset` is kept.
bool ReadDeviceClock(Link& link, DeviceDateTime& clock, double& clockOffset,
                     const PcClock& now = SystemLocalNow);
// Sets the device clock to `now()`.
bool WriteDeviceClock(Link& link, const PcClock& now = SystemLocalNow);

// Live values of circuit 0 or 1; field 6 converted from kelvin to °C.
bool ReadOperatingValues(Link& link, int circuit, OperatingValuesRec& values);
bool ReadOutputCurrents(Link& link, OutputCurrentsRec& currents);
// The error-state number (0..255), or -1 when the read fails; `stateBits`
// receives the state bits on success and is kept on failure.
int ReadErrorState(Link& link, std::uint8_t& stateBits);
// Ring positions and all 16 pages. Steps the progress bar after each
// transaction (17 steps).
bool ReadErrorProtocol(Link& link, ErrorProtocolRec& protocol);
// Both circuits' 8 entries, newest first. Steps the progress bar after each
// entry (16 steps).
bool ReadIntegrators(Link& link, IntegratorsRec& integrators);

bool ReadTrendDirectory(Link& link, TrendStore& store);
// Block 0..43. A valid cached block whose header is unchanged on the device
// costs one transaction; a block with an implausible header is emptied and
// counts as read.
bool ReadTrendBlock(Link& link, int block, TrendStore& store);

enum class TrendRead { Complete, DirectoryFailed, BlockFailed };
// The whole trend memory: the directory, then blocks 0..43 (the cache
// spares the unchanged ones), stepping the progress bar after each block.
// Stops at the first failed read; the blocks read before it are kept.
TrendRead ReadTrendMemory(Link& link, TrendStore& store);

// Property table 0 or 1 (any other number fails at once). Show, step (with
// a 50 ms pause after each transaction) and hide the progress bar.
bool ReadPropertyTable(Link& link, int table, PropertyTableBuffer& buffer);
bool WritePropertyTable(Link& link, int table, const PropertyTableBuffer& buffer);
// Saturation table: 4 reads of 128 bytes (50 ms pauses) or 16 writes of 32
// bytes (20 ms pauses), with the progress bar.
bool ReadSaturationTable(Link& link, SaturationTableBuffer& buffer);
bool WriteSaturationTable(Link& link, const SaturationTableBuffer& buffer);

// The device clock now, from the offset of the last clock read: what the
// system timer shows without asking the device.
DeviceDateTime RunningDeviceClock(double clockOffset, LocalTime pcNow);

// --- pure decoders and encoders --------------------------------------------

namespace data {

// Two-digit device years: 80..99 are 1980..1999, 00..79 are 2000..2079.
std::uint16_t FourDigitYear(unsigned twoDigits);

// The 12 digit registers of the clock chip (second units first, one digit
// in the low four bits of each byte). Needs at least 12 bytes.
DeviceDateTime DecodeClockDigits(std::span<const std::uint8_t> d);
// The 12 digit bytes that set the clock to `t` (year modulo 100).
std::array<std::uint8_t, 12> EncodeClockDigits(const DeviceDateTime& t);
// Fields within their ranges and a real calendar date.
bool IsValidDeviceDateTime(const DeviceDateTime& t);

LocalTime ToLocalTime(const DeviceDateTime& t);  // t must be valid
DeviceDateTime ToDeviceDateTime(LocalTime t);    // whole seconds
// a - b in days.
double DaysBetween(LocalTime a, LocalTime b);
// Device clock minus PC clock in days; 0 when the device date is not valid
// (the PC time stands in for it).
double ClockOffsetDays(const DeviceDateTime& device, LocalTime pcNow);

// Six bytes year (two digits), month, day, hour, minute, second.
DeviceDateTime DecodeLogTime(std::span<const std::uint8_t> d, std::size_t at);

OperatingValuesRec DecodeOperatingValues(std::span<const std::uint8_t> d);  // 80 bytes
OutputCurrentsRec DecodeOutputCurrents(std::span<const std::uint8_t> d);    // 16 bytes
// One 128-byte page: the 8 entries of one error group.
std::array<ErrorEntry, 8> DecodeErrorPage(std::span<const std::uint8_t> d);
IntegratorEntry DecodeIntegratorEntry(std::span<const std::uint8_t> d);  // 32 bytes
// The ring slots of the 8 integrator entries, newest first, for a ring
// position as the device sends it.
std::array<std::uint8_t, 8> IntegratorSlotOrder(std::uint8_t ringPos);

TrendDirectory DecodeTrendDirectory(std::span<const std::uint8_t> d);  // 36 bytes
TrendHeader DecodeTrendHeader(std::span<const std::uint8_t> d);        // 8 bytes
bool IsPlausibleTrendHeader(const TrendHeader& h);

}  // namespace data

}  // namespace parvion
