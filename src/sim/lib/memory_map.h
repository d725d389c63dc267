#pragma once
// Addresses of the flow computer's memory as the simulator lays it out,
// written from the device's description and not taken from the program's
// core (docs/simulator.md). The data memory is 64 KiB; the program memory
// (read with 0xB1) is a second area of the same size.

#include <cstdint>

namespace parvion::sim::addr {

// Trend memory: directory, then 44 blocks of 728 bytes.
inline constexpr std::uint16_t TrendDirectory = 0x0000;
inline constexpr std::uint16_t TrendDirectorySize = 36;
inline constexpr std::uint16_t TrendBlocks = 0x0024;
inline constexpr std::uint16_t TrendBlockSize = 728;
inline constexpr int TrendBlockCount = 44;
inline constexpr int TrendValuesPerBlock = 60;
// Offsets within a trend block.
inline constexpr std::uint16_t TrendSeries1 = 8;    // 60 words: temperature, 0.1 K + 2731
inline constexpr std::uint16_t TrendSeries2 = 128;  // 60 words: pressure, kPa
inline constexpr std::uint16_t TrendSeries3 = 248;  // 60 floats: standard volume flow or power
inline constexpr std::uint16_t TrendSeries4 = 488;  // 60 floats: mass flow

// Bits of the expansion level (byte 0 of System): set, they mean the
// device has no circuit 2, or no trend recording.
inline constexpr std::uint8_t LevelNoCircuit2 = 0xC0;
inline constexpr std::uint8_t LevelNoTrend = 0x3E;

// Parameter blocks.
inline constexpr std::uint16_t Aus_User = 0x8000;        // 4 x 16
inline constexpr std::uint16_t Alm_User = 0x8040;        // 2 x 16
inline constexpr std::uint16_t Flow_User = 0x8060;       // 2 x 32
inline constexpr std::uint16_t System = 0x80A0;          // 16
inline constexpr std::uint16_t Ident = 0x80B0;           // 8, read-only
inline constexpr std::uint16_t Grenzwerte = 0x80C0;      // 16
inline constexpr std::uint16_t Access = 0x80E0;          // 4 flags + 8 password, read-only
inline constexpr std::uint16_t Betrieb = 0x80EC;         // 4; byte 0 is the baud-rate index
inline constexpr std::uint16_t EG_User = 0x80F0;         // 16
inline constexpr std::uint16_t T_User = 0x8100;          // 2 x 32
inline constexpr std::uint16_t Imp_User = 0x8140;        // 2 x 8
inline constexpr std::uint16_t Bez_User = 0x8150;        // 2 x 16
inline constexpr std::uint16_t IntegratorRing = 0x8176;  // 2, read-only
inline constexpr std::uint16_t Trend_User = 0x8178;      // 4
inline constexpr std::uint16_t Dis_User = 0x817C;        // 4
inline constexpr std::uint16_t P_User = 0x8180;          // 2 x 32
inline constexpr std::uint16_t Des_User = 0x81C0;        // 2 x 32
inline constexpr std::uint16_t FlowKorr = 0x8200;        // 2 x 32
inline constexpr std::uint16_t Med_User = 0x82C0;        // 2 x 32

// Error state (16 bytes) and ring positions (16 bytes), then 16 pages of
// 8 protocol entries of 16 bytes.
inline constexpr std::uint16_t ErrorState = 0x8400;
inline constexpr std::uint16_t ErrorPages = 0x8420;
inline constexpr std::uint16_t ErrorPageSize = 128;
inline constexpr int ErrorGroups = 16;
inline constexpr int ErrorEntries = 8;
inline constexpr std::uint16_t ErrorEntrySize = 16;
// Error state bytes.
inline constexpr std::uint16_t ErrorStateBits = 13;
inline constexpr std::uint16_t ErrorStateCount = 15;

// Integrator records: 0x8C20 + 256 * circuit + 32 * slot.
inline constexpr std::uint16_t Integrators = 0x8C20;
inline constexpr std::uint16_t IntegratorCircuitStride = 256;
inline constexpr std::uint16_t IntegratorRecordSize = 32;
inline constexpr int IntegratorSlots = 8;

inline constexpr std::uint16_t SerialNo = 0x8FC0;       // 16 characters, read-only
inline constexpr std::uint16_t UserEinheiten = 0x9000;  // 16 x 16
inline constexpr std::uint16_t Vorgaben = 0x9120;       // 8 x 4
inline constexpr std::uint16_t Display = 0x9140;        // 4

inline constexpr std::uint16_t SaturationTable = 0x9580;  // 32 rows x 4 floats
inline constexpr std::uint16_t SaturationTableSize = 512;

// Property tables: column heads (14 words), row heads (18 words), 18 x 14 floats.
struct PropertyTableAddresses {
    std::uint16_t columns;
    std::uint16_t rows;
    std::uint16_t values;
};
inline constexpr PropertyTableAddresses PropertyTable[2] = {{0x9780, 0x979C, 0x97C0},
                                                            {0x9BC0, 0x9BDC, 0x9C00}};
inline constexpr int PropertyColumns = 14;
inline constexpr int PropertyRows = 18;

// Clock chip digit registers, second units first; 12 digits used of 16.
inline constexpr std::uint16_t Clock = 0xA000;
inline constexpr std::uint16_t ClockSize = 16;
inline constexpr std::uint16_t ClockDigits = 12;

// Live values: 20 fields of 4 bytes per circuit; four output currents.
inline constexpr std::uint16_t OperatingValues = 0xF800;
inline constexpr std::uint16_t OperatingValuesStride = 80;
inline constexpr std::uint16_t OutputCurrents = 0xF900;

// Program memory (second area): the 16-character program text.
inline constexpr std::uint16_t ProgramText = 0x1026;

}  // namespace parvion::sim::addr
