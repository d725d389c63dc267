// Device data commands: the decoders over reply bytes, and the commands
// against the in-process device simulator. Parameter block commands and the
// bulk operations against it: what reaches the device memory, what comes
// back, the expansion-level and variant rules, and that failed reads keep
// records.

#include "core/link/data_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/link/encoding.h"
#include "core/model/defaults.h"
#include "support/link_bench.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;

DeviceDateTime Dt(int y, int mo, int d, int h, int mi, int s) {
    return {static_cast<std::uint16_t>(y),  static_cast<std::uint16_t>(mo),
            static_cast<std::uint16_t>(d),  static_cast<std::uint16_t>(h),
            static_cast<std::uint16_t>(mi), static_cast<std::uint16_t>(s)};
}

TEST(ClockDigits, SecondUnitsFirstOnlyTheLowNibbleAndYearsSplitAt80) {
    EXPECT_EQ(data::DecodeClockDigits(Bytes{9, 5, 5, 5, 3, 2, 1, 3, 2, 1, 9, 9, 0, 0, 0, 0}),
              Dt(1999, 12, 31, 23, 55, 59));
    // The chip's upper bits carry flags; only the digit matters.
    EXPECT_EQ(data::DecodeClockDigits(
                  Bytes{0xF9, 0x75, 0x50, 0x44, 0x83, 0x21, 0x31, 0x42, 0x22, 0x11, 0xA4, 0xB2}),
              Dt(2024, 12, 21, 13, 40, 59));
    // The century turns between 79 and 80.
    for (const auto& [units, tens, year] :
         {std::tuple<std::uint8_t, std::uint8_t, int>{0, 8, 1980}, {9, 7, 2079}}) {
        const Bytes d = {0, 0, 0, 0, 0, 0, 1, 0, 1, 0, units, tens};
        EXPECT_EQ(data::DecodeClockDigits(d).year, year);
    }
    const auto t = Dt(2031, 7, 4, 9, 8, 3);
    const auto digits = data::EncodeClockDigits(t);
    EXPECT_EQ(digits, (std::array<std::uint8_t, 12>{3, 0, 8, 0, 9, 0, 4, 0, 7, 0, 1, 3}));
    EXPECT_EQ(data::DecodeClockDigits(digits), t);
}

TEST(ClockValidity, RangesAndRealDates) {
    for (const auto& t : {Dt(1999, 12, 31, 23, 59, 59), Dt(2024, 2, 29, 0, 0, 0)}) {
        EXPECT_TRUE(data::IsValidDeviceDateTime(t));
    }
    for (const auto& t :
         {Dt(2023, 2, 29, 0, 0, 0), Dt(2024, 2, 31, 12, 0, 0), Dt(2024, 4, 31, 12, 0, 0),
          Dt(2024, 1, 1, 24, 0, 0), Dt(2024, 1, 1, 0, 60, 0), Dt(2024, 1, 1, 0, 0, 60),
          Dt(2024, 0, 1, 0, 0, 0), Dt(2024, 13, 1, 0, 0, 0), Dt(2024, 1, 0, 0, 0, 0),
          Dt(2024, 1, 32, 0, 0, 0)}) {
        EXPECT_FALSE(data::IsValidDeviceDateTime(t)) << t.year << "-" << t.month << "-" << t.day;
    }
}

TEST(ClockOffset, DeviceMinusPcInDaysAndTheRunningClockAddsIt) {
    const LocalTime pc = data::ToLocalTime(Dt(2024, 3, 1, 12, 0, 0));
    EXPECT_DOUBLE_EQ(data::ClockOffsetDays(Dt(2024, 3, 2, 0, 0, 0), pc), 0.5);
    EXPECT_DOUBLE_EQ(data::ClockOffsetDays(Dt(2024, 2, 29, 12, 0, 0), pc), -1.0);
    EXPECT_NEAR(data::ClockOffsetDays(Dt(2024, 3, 1, 12, 0, 30), pc), 30.0 / 86400, 1e-12);
    // 31 February: not a date, so no offset.
    EXPECT_EQ(data::ClockOffsetDays(Dt(2024, 2, 31, 12, 0, 0), pc), 0.0);

    // The running clock adds the offset.
    const LocalTime eve = data::ToLocalTime(Dt(2024, 12, 31, 23, 59, 0));
    EXPECT_EQ(RunningDeviceClock(0.0, eve), Dt(2024, 12, 31, 23, 59, 0));
    EXPECT_EQ(RunningDeviceClock(90.0 / 86400, eve), Dt(2025, 1, 1, 0, 0, 30));
    EXPECT_EQ(RunningDeviceClock(-1.0, eve), Dt(2024, 12, 30, 23, 59, 0));
    // Whole seconds survive the trip through a fraction of a day.
    for (int s = -3600; s <= 3600; s += 7) {
        const double offset = s / 86400.0;
        EXPECT_EQ(data::ToLocalTime(RunningDeviceClock(offset, eve)) - eve, std::chrono::seconds(s))
            << s;
    }
}

Bytes OperatingBlock(float temperatureK) {
    Bytes d(80, 0);
    for (std::size_t i = 0; i < 20; ++i) wire::PutRawFloat(d, 4 * i, static_cast<float>(i) + 0.5f);
    wire::PutRawFloat(d, 24, temperatureK);
    wire::PutLong(d, 60, 3725);
    return d;
}

TEST(OperatingValuesDecode, FieldsInBlockOrderKelvinBecomesCelsiusNearZero) {
    EXPECT_FLOAT_EQ(data::DecodeOperatingValues(OperatingBlock(293.65f)).Field[6], 20.5f);
    EXPECT_FLOAT_EQ(data::DecodeOperatingValues(OperatingBlock(0.0f)).Field[6], -273.15f);
    EXPECT_EQ(data::DecodeOperatingValues(OperatingBlock(273.1505f)).Field[6], 0.0f);
    EXPECT_EQ(data::DecodeOperatingValues(OperatingBlock(273.1495f)).Field[6], 0.0f);
    EXPECT_NE(data::DecodeOperatingValues(OperatingBlock(273.152f)).Field[6], 0.0f);

    // The fields in block order, the long at fifteen.
    Bytes d = OperatingBlock(300.0f);
    wire::PutLong(d, 60, 0xFFFFFFFEu);                                  // -2 as a signed count
    std::fill(d.begin() + 4 * 19, d.begin() + 80, std::uint8_t{0xFF});  // erased memory
    const auto v = data::DecodeOperatingValues(d);
    EXPECT_FLOAT_EQ(v.Field[0], 0.5f);
    EXPECT_FLOAT_EQ(v.Field[14], 14.5f);
    EXPECT_FLOAT_EQ(v.Field[16], 16.5f);
    EXPECT_EQ(v.OperatingTime, -2);
    EXPECT_EQ(v.Field[15], -2.0f);
    EXPECT_EQ(v.Field[19], 0.0f);
}

TEST(ErrorPageDecode, EntriesWithTwoTimes) {
    Bytes page(128, 0);
    const Bytes entry5 = {1, 0, 0xAB, 0xCD, 99, 12, 31, 23, 59, 58, 5, 1, 2, 3, 4, 5};
    std::copy(entry5.begin(), entry5.end(), page.begin() + 5 * 16);
    const auto entries = data::DecodeErrorPage(page);
    EXPECT_EQ(entries[5], (ErrorEntry{1, 0, 0xAB, 0xCD, Dt(1999, 12, 31, 23, 59, 58),
                                      Dt(2005, 1, 2, 3, 4, 5)}));
    const DeviceDateTime zero = Dt(2000, 0, 0, 0, 0, 0);
    EXPECT_EQ(entries[4], (ErrorEntry{0, 0, 0, 0, zero, zero}));
}

TEST(IntegratorDecode, TimesValuesAndCount) {
    Bytes d(32, 0xEE);
    const Bytes times = {24, 6, 1, 8, 0, 0, 24, 7, 1, 8, 0, 0};
    std::copy(times.begin(), times.end(), d.begin());
    wire::PutRawFloat(d, 12, 1234.5f);
    wire::PutRawFloat(d, 16, -2.25f);
    wire::PutLong(d, 20, 70000);
    const auto e = data::DecodeIntegratorEntry(d);
    EXPECT_EQ(e, (IntegratorEntry{Dt(2024, 6, 1, 8, 0, 0), Dt(2024, 7, 1, 8, 0, 0), 1234.5f, -2.25f,
                                  70000}));
    EXPECT_FALSE(e.empty());
}

TEST(IntegratorRing, NewestFirstGoingBackwards) {
    // The order itself: positions 3 and 0 in
    // DataCommands.IntegratorsNewestFirstFromTheRingPosition. A position
    // beyond the ring never leads outside it.
    for (int p = 0; p < 256; ++p) {
        for (auto s : data::IntegratorSlotOrder(static_cast<std::uint8_t>(p))) EXPECT_LT(s, 8);
    }
}

TEST(TrendHeaderDecode, FieldsYearAndPlausibilityLimits) {
    const auto decoded = data::DecodeTrendHeader(Bytes{1, 15, 24, 2, 28, 23, 45, 4});
    EXPECT_EQ(decoded, (TrendHeader{1, 15, 2024, 2, 28, 23, 45, 4}));
    EXPECT_TRUE(data::IsPlausibleTrendHeader(decoded));
    EXPECT_EQ(data::DecodeTrendHeader(Bytes{0, 1, 85, 1, 1, 0, 0, 0}).Year, 1985);

    // The plausibility limits.
    const TrendHeader good{2, 100, 2024, 12, 31, 23, 59, 60};
    EXPECT_TRUE(data::IsPlausibleTrendHeader(good));
    auto bad = [&](auto change) {
        TrendHeader h = good;
        change(h);
        return !data::IsPlausibleTrendHeader(h);
    };
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Month = 13; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Month = 0; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Day = 0; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Day = 32; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Hour = 24; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Minute = 60; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Circuit = 3; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Interval = 0; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Interval = 101; }));
    EXPECT_TRUE(bad([](TrendHeader& h) { h.Count = 61; }));
}

TEST(TrendDirectoryDecode, Layout) {
    Bytes d(36, 0);
    d[0] = 2;
    d[1] = 43;
    wire::PutRawFloat(d, 2, 1.5f);
    wire::PutRawFloat(d, 10, 3.5f);
    wire::PutRawFloat(d, 14, -4.0f);
    wire::PutRawFloat(d, 30, 8.0f);
    wire::PutWord(d, 34, 0x1234);
    EXPECT_EQ(data::DecodeTrendDirectory(d),
              (TrendDirectory{2, 43, {1.5f, 0.0f, 3.5f}, {-4.0f, 0, 0, 0, 8.0f}, 0x1234}));
}

// --- commands against the simulator -------------------------------------------

// The progress bar's runs and the waits (which the bench does not spend).
struct Progress {
    int maximum = -1;
    int steps = 0;
    int hides = 0;
    std::vector<int> waits;
    bool operator==(const Progress&) const = default;
};

class DataCommands : public ::testing::Test, public test::LinkBench {
  protected:
    void SetUp() override {
        open();
        ui = {};
    }
    Progress progress() const {
        return {ui.progressMaximum, ui.progressSteps, ui.progressHides, ui.waits};
    }
    std::uint64_t frames() const { return device.framesServed(); }
    // Makes the next command fail fast: every attempt gets a broken reply.
    void failNextRead() { device.injectFault(sim::Fault::BadChecksum, kTransactionAttempts); }
    void failNextWrite() { device.injectFault(sim::Fault::RejectWrite, kTransactionAttempts); }
    // Lets `n` frames pass, then fails the next command.
    void failReadAfter(int n) {
        device.injectFault(sim::Fault::None, n);
        failNextRead();
    }
    static std::uint16_t trendBase(int b) { return static_cast<std::uint16_t>(36 + 728 * b); }
    // The frames a read of trend block b took; the read must succeed.
    std::uint64_t trendRead(int b, TrendStore& store) {
        const auto sent = frames();
        EXPECT_TRUE(ReadTrendBlock(*link, b, store)) << "block " << b;
        return frames() - sent;
    }
};

TEST_F(DataCommands, IdentityAccessSerialNumberAndProgramText) {
    std::string ident;
    ASSERT_TRUE(ReadDeviceIdent(*link, ident));
    EXPECT_EQ(ident, "PV-GAS2 ");

    DeviceAccessRec access;
    ASSERT_TRUE(ReadDeviceAccess(*link, access));
    const auto raw = device.peek(address::DeviceAccess, 12);
    EXPECT_EQ(access.Flags, (std::array<std::uint8_t, 4>{raw[0], raw[1], raw[2], raw[3]}));
    EXPECT_EQ(access.Password, std::string(raw.begin() + 4, raw.end()));
    EXPECT_FALSE(access.isProtected());

    // Control characters become blanks in both texts.
    const Bytes serial = {'S', 'N', 0,   '1', 0x1F, '2', '3', '4',
                          '5', '6', '7', '8', '9',  '0', 'A', 31};
    device.poke(address::DeviceSerialNo, serial);
    std::string serialNo;
    ASSERT_TRUE(ReadDeviceSerialNo(*link, serialNo));
    EXPECT_EQ(serialNo, "SN 1 234567890A ");

    const std::string text = ReadProgramText(*link);
    ASSERT_EQ(text.size(), 16u);
    const auto program = device.peekProgram(address::ProgramText, 16);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(text[i]), program[i] < 32 ? ' ' : program[i]);
    }
}

TEST_F(DataCommands, ClockWrittenFromThePcClockReadsBackWithItsOffset) {
    const LocalTime pcNow = data::ToLocalTime(Dt(2024, 2, 28, 23, 59, 58));
    const PcClock pc = [&] { return pcNow; };
    ASSERT_TRUE(WriteDeviceClock(*link, pc));
    EXPECT_EQ(device.lastWriteAddress(), 0xA000);
    EXPECT_EQ(device.lastWriteCount(), 12);

    DeviceDateTime clock;
    double offset = 99;
    ASSERT_TRUE(ReadDeviceClock(*link, clock, offset, pc));
    // The device clock runs on: allow a second or two for the test itself.
    const double seconds = offset * 86400;
    EXPECT_GE(seconds, -0.001);
    EXPECT_LE(seconds, 2.001);
    EXPECT_EQ(data::ToLocalTime(clock) - pcNow,
              std::chrono::milliseconds(static_cast<long>(std::lround(seconds * 1000))));

    // A PC clock a day ahead gives an offset of about minus one day.
    const PcClock later = [&] { return pcNow + std::chrono::hours(24); };
    ASSERT_TRUE(ReadDeviceClock(*link, clock, offset, later));
    EXPECT_NEAR(offset, -1.0, 3.0 / 86400);
}

TEST_F(DataCommands, OperatingValuesOfBothCircuitsOutputCurrentsAndErrorState) {
    OperatingValuesRec v;
    for (int c = 0; c < 2; ++c) {
        ASSERT_TRUE(ReadOperatingValues(*link, c, v));
        // The block read is the one the device keeps for that circuit.
        const auto now = data::DecodeOperatingValues(
            device.peek(static_cast<std::uint16_t>(0xF800 + 80 * c), 80));
        EXPECT_NEAR(v.Field[6], now.Field[6], 1.0);
        EXPECT_NEAR(v.OperatingTime, now.OperatingTime, 2);
    }
    EXPECT_FALSE(ReadOperatingValues(*link, 2, v));

    OutputCurrentsRec currents;
    ASSERT_TRUE(ReadOutputCurrents(*link, currents));
    for (float mA : currents.Current) {
        EXPECT_GE(mA, 0.0f);
        EXPECT_LE(mA, 25.0f);
    }
    Bytes state(16, 0);
    state[13] = 0x30;
    state[15] = 7;
    device.poke(address::ErrorState, state);
    std::uint8_t bits = 0;
    EXPECT_EQ(ReadErrorState(*link, bits), 7);
    EXPECT_EQ(bits, 0x30);
}

TEST_F(DataCommands, FailedReadsLeaveTheirRecords) {
    std::string text = "kept";
    DeviceDateTime clock = Dt(2020, 1, 2, 3, 4, 5);
    double offset = 0.25;
    OperatingValuesRec values;
    values.Field[3] = 42.0f;
    const OperatingValuesRec before = values;
    OutputCurrentsRec currents{{1, 2, 3, 4}};
    std::uint8_t bits = 0x5A;
    const std::pair<const char*, std::function<void()>> reads[] = {
        {"identity", [&] { EXPECT_FALSE(ReadDeviceIdent(*link, text)); }},
        {"serial number", [&] { EXPECT_FALSE(ReadDeviceSerialNo(*link, text)); }},
        {"operating values", [&] { EXPECT_FALSE(ReadOperatingValues(*link, 0, values)); }},
        {"output currents", [&] { EXPECT_FALSE(ReadOutputCurrents(*link, currents)); }},
        {"error state", [&] { EXPECT_EQ(ReadErrorState(*link, bits), -1); }},
        // A failed clock read clears the fields and keeps the offset.
        {"clock", [&] { EXPECT_FALSE(ReadDeviceClock(*link, clock, offset)); }},
    };
    for (const auto& [what, read] : reads) {
        SCOPED_TRACE(what);
        failNextRead();
        read();
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(values, before);
        EXPECT_EQ(currents, (OutputCurrentsRec{{1, 2, 3, 4}}));
        EXPECT_EQ(bits, 0x5A);
        EXPECT_EQ(offset, 0.25);
    }
    EXPECT_EQ(clock, DeviceDateTime{});
    // The program area has no reply checksum: a reply that stops short fails it.
    device.injectFault(sim::Fault::ShortReply, kTransactionAttempts);
    EXPECT_EQ(ReadProgramText(*link), "");
}

TEST_F(DataCommands, ErrorProtocolReadsRingPositionsAndSixteenPagesOrKeepsTheOldRecord) {
    ErrorProtocolRec protocol;
    ASSERT_TRUE(ReadErrorProtocol(*link, protocol));
    EXPECT_EQ(ui.progressSteps, 17);
    const auto head = device.peek(address::ErrorState, 32);
    for (std::size_t g = 0; g < 16; ++g) {
        EXPECT_EQ(protocol.RingPos[g], head[16 + g]);
        const auto page = device.peek(static_cast<std::uint16_t>(0x8420 + 128 * g), 128);
        EXPECT_EQ(protocol.Entry[g], data::DecodeErrorPage(page)) << "group " << g;
    }

    // Failing halfway keeps the old record.
    ui = {};
    protocol.RingPos[0] = 200;
    const ErrorProtocolRec before = protocol;
    failReadAfter(6);
    EXPECT_FALSE(ReadErrorProtocol(*link, protocol));
    EXPECT_EQ(protocol, before);
    EXPECT_EQ(ui.progressSteps, 6);
}

TEST_F(DataCommands, IntegratorsNewestFirstFromTheRingPosition) {
    // Mark every slot with its own count: circuit c, slot s -> 100 c + s.
    for (std::uint16_t c = 0; c < 2; ++c) {
        for (std::uint16_t s = 0; s < 8; ++s) {
            Bytes count(4);
            wire::PutLong(count, 0, 100u * c + s);
            device.poke(static_cast<std::uint16_t>(0x8C20 + 256 * c + 32 * s + 20), count);
        }
    }
    device.poke(address::IntegratorRing, Bytes{3, 0});
    IntegratorsRec integrators;
    ASSERT_TRUE(ReadIntegrators(*link, integrators));
    EXPECT_EQ(ui.progressSteps, 16);
    const std::uint32_t order0[8] = {2, 1, 0, 7, 6, 5, 4, 3};
    const std::uint32_t order1[8] = {107, 106, 105, 104, 103, 102, 101, 100};
    for (std::size_t e = 0; e < 8; ++e) {
        EXPECT_EQ(integrators.Entry[0][e].Count, order0[e]);
        EXPECT_EQ(integrators.Entry[1][e].Count, order1[e]);
    }
    const auto raw = device.peek(static_cast<std::uint16_t>(0x8C20 + 32 * 2), 32);
    EXPECT_EQ(integrators.Entry[0][0], data::DecodeIntegratorEntry(raw));

    const IntegratorsRec before = integrators;
    failReadAfter(12);
    EXPECT_FALSE(ReadIntegrators(*link, integrators));
    EXPECT_EQ(integrators, before);
}

TEST_F(DataCommands, TrendDirectoryAndBlocks) {
    TrendStore store;
    ASSERT_TRUE(ReadTrendDirectory(*link, store));
    EXPECT_EQ(store.Directory, data::DecodeTrendDirectory(device.peek(0, 36)));

    int valid = 0;
    for (int b = 0; b < 44; ++b) {
        ASSERT_TRUE(ReadTrendBlock(*link, b, store)) << "block " << b;
        const auto& block = store.Block[static_cast<std::size_t>(b)];
        const auto base = trendBase(b);
        const auto header = data::DecodeTrendHeader(device.peek(base, 8));
        if (!data::IsPlausibleTrendHeader(header)) {
            EXPECT_FALSE(block.Valid);
            continue;
        }
        ++valid;
        EXPECT_TRUE(block.Valid);
        EXPECT_EQ(block.Header, header);
        const auto words = device.peek(static_cast<std::uint16_t>(base + 8), 120);
        const auto floats = device.peek(static_cast<std::uint16_t>(base + 488), 240);
        for (std::size_t j = 0; j < 60; ++j) {
            EXPECT_EQ(block.Series[0][j], static_cast<float>(wire::GetWord(words, 2 * j)));
            EXPECT_EQ(block.Series[3][j], wire::GetFloat(floats, 4 * j));
        }
    }
    EXPECT_GT(valid, 0);
    EXPECT_FALSE(ReadTrendBlock(*link, 44, store));
    EXPECT_FALSE(ReadTrendBlock(*link, -1, store));
}

TEST_F(DataCommands, UnchangedTrendBlockIsCachedAFailedOneInvalidAndAnImplausibleOneEmptied) {
    const int b = 7;
    device.poke(trendBase(b), Bytes{0, 15, 24, 3, 1, 10, 30, 4});
    Bytes words(120, 0);
    wire::PutWord(words, 0, 2931);
    device.poke(static_cast<std::uint16_t>(trendBase(b) + 8), words);

    TrendStore store;
    EXPECT_EQ(trendRead(b, store), 5u);
    EXPECT_EQ(store.Block[b].Series[0][0], 2931.0f);
    EXPECT_EQ(trendRead(b, store), 1u);
    EXPECT_TRUE(store.Block[b].Valid);

    // A new value on the device changes the count in the header.
    device.poke(static_cast<std::uint16_t>(trendBase(b) + 7), Bytes{5});
    wire::PutWord(words, 8, 2950);
    device.poke(static_cast<std::uint16_t>(trendBase(b) + 8), words);
    EXPECT_EQ(trendRead(b, store), 5u);
    EXPECT_EQ(store.Block[b].Header.Count, 5);
    EXPECT_EQ(store.Block[b].Series[0][4], 2950.0f);

    // A read failing in the values leaves the block invalid with the new
    // header; the next read fetches the whole block again.
    device.poke(static_cast<std::uint16_t>(trendBase(b) + 7), Bytes{6});
    failReadAfter(3);  // header and two series pass, the third fails
    EXPECT_FALSE(ReadTrendBlock(*link, b, store));
    EXPECT_FALSE(store.Block[b].Valid);
    EXPECT_EQ(store.Block[b].Header.Count, 6);
    EXPECT_EQ(trendRead(b, store), 5u);
    EXPECT_TRUE(store.Block[b].Valid);

    // An implausible header (month 13) empties the block; the read succeeds.
    device.poke(static_cast<std::uint16_t>(trendBase(b) + 3), Bytes{13});
    EXPECT_EQ(trendRead(b, store), 1u);
    EXPECT_FALSE(store.Block[b].Valid);
    EXPECT_EQ(store.Block[b].Header, TrendHeader{});
    for (const auto& series : store.Block[b].Series) {
        for (float v : series) EXPECT_EQ(v, 0.0f);
    }
}

PropertyTableBuffer SampleTable(float seed) {
    PropertyTableBuffer t;
    for (std::size_t c = 0; c < 14; ++c)
        t.PressureAxis[c] = static_cast<std::uint16_t>(100 * (c + 1));
    for (std::size_t r = 0; r < 18; ++r)
        t.TemperatureAxis[r] = static_cast<std::uint16_t>(250 + 10 * r);
    for (std::size_t r = 0; r < 18; ++r) {
        for (std::size_t c = 0; c < 14; ++c)
            t.Values[r][c] = seed + static_cast<float>(r * 14 + c) / 8.0f;
    }
    return t;
}

TEST_F(DataCommands, PropertyTablesRoundTripAtTheirBaseAddressesOtherNumbersFail) {
    const auto table0 = SampleTable(1.0f);
    const auto table1 = SampleTable(500.0f);
    ASSERT_TRUE(WritePropertyTable(*link, 0, table0));
    ASSERT_TRUE(WritePropertyTable(*link, 1, table1));

    // Table 1 lies at its own base: its first column head and last value.
    EXPECT_EQ(wire::GetWord(device.peek(0x9BC0, 2), 0), 100);
    EXPECT_EQ(wire::GetFloat(device.peek(0x9C00 + 17 * 56 + 13 * 4, 4), 0), table1.Values[17][13]);
    EXPECT_EQ(wire::GetWord(device.peek(0x979C + 17 * 2, 2), 0), 420);

    ui = {};
    PropertyTableBuffer read;
    ASSERT_TRUE(ReadPropertyTable(*link, 1, read));
    EXPECT_EQ(read, table1);
    // Progress: shown with 20, a step and a 50 ms pause per transfer, hidden.
    EXPECT_EQ(progress(), (Progress{20, 20, 1, std::vector<int>(20, 50)}));
    ASSERT_TRUE(ReadPropertyTable(*link, 0, read));
    EXPECT_EQ(read, table0);

    // Other table numbers, and failures.
    ui = {};
    PropertyTableBuffer buffer = SampleTable(3.0f);
    const auto before = buffer;
    const auto sent = frames();
    EXPECT_FALSE(ReadPropertyTable(*link, 2, buffer));
    EXPECT_FALSE(WritePropertyTable(*link, -1, buffer));
    EXPECT_EQ(frames(), sent);
    EXPECT_EQ(progress(), Progress{});

    failReadAfter(8);  // fails in the row loop
    EXPECT_FALSE(ReadPropertyTable(*link, 0, buffer));
    EXPECT_EQ(buffer, before);
    EXPECT_EQ(ui.progressSteps, 8);
    EXPECT_EQ(ui.progressHides, 1);

    ui = {};
    device.injectFault(sim::Fault::None, 1);
    failNextWrite();  // the row heads are rejected
    EXPECT_FALSE(WritePropertyTable(*link, 1, buffer));
    EXPECT_EQ(ui.progressSteps, 1);
    EXPECT_EQ(ui.progressHides, 1);
}

TEST_F(DataCommands, SaturationTableRoundTrip) {
    SaturationTableBuffer table;
    for (std::size_t r = 0; r < 32; ++r) {
        const float x = static_cast<float>(r);
        table.Rows[r] = {273.15f + x, 100.0f * x, 0.5f + x, 2000.0f - x};
    }
    ASSERT_TRUE(WriteSaturationTable(*link, table));
    EXPECT_EQ(progress(), (Progress{16, 16, 1, std::vector<int>(16, 20)}));
    // Row 31 is the last of the last 32-byte block.
    EXPECT_EQ(wire::GetFloat(device.peek(0x9580 + 31 * 16 + 12, 4), 0), 1969.0f);

    ui = {};
    SaturationTableBuffer read;
    ASSERT_TRUE(ReadSaturationTable(*link, read));
    EXPECT_EQ(read, table);
    EXPECT_EQ(progress(), (Progress{4, 4, 1, std::vector<int>(4, 50)}));

    const auto before = read;
    failReadAfter(2);
    EXPECT_FALSE(ReadSaturationTable(*link, read));
    EXPECT_EQ(read, before);
    failNextWrite();
    EXPECT_FALSE(WriteSaturationTable(*link, table));
}

// --- parameter blocks -------------------------------------------------------

using sim::Fault;

struct BlocksBench : test::LinkBench {
    explicit BlocksBench(sim::DeviceOptions options = {}) : LinkBench(options) {
        session.Medium = options.medium;
        open();
    }
};

// An image in which every field has a value of its own that survives the
// float encoding.
ParameterImage distinctImage(std::uint8_t ausbaustufe) {
    ParameterImage im;
    float v = 1.25f;
    auto f = [&v] { return v += 1.5f; };  // the next float
    std::uint8_t n = 1;
    auto b = [&n] { return n++; };  // the next byte
    for (std::size_t c = 0; c < 2; ++c) {
        im.T_User[c] = {b(), b(), b(), b(), f(), f(), f(), f(), f(), f(), f()};
        im.P_User[c] = {b(), b(), b(), b(), f(), f(), f(), f(), f(), f(), f()};
        im.Flow_User[c] = {b(), b(), 4000, f(), f(), f(), f(), f(), f(), f()};
        im.Des_User[c] = {f(), f(), f(), f(), f(), f(), f(), f()};
        im.Med_User[c] = {b(), '0', 1, b(), f(), f(), f(), f(), f(), f(), f()};
        im.Bez_User[c] = {f(), f(), f(), f()};
        im.Imp_User[c] = {b(), b(), b(), b(), f()};
        im.Alm_User[c] = {b(), b(), b(), b(), f(), f(), f()};
        for (auto& k : im.FlowKorr[c].Stelle) k = f();
    }
    for (auto& a : im.Aus_User) a = {b(), b(), b(), b(), f(), f(), f()};
    im.EG_User = {f(), f(), f(), f()};
    im.Grenzwerte = {1.5f, 1.25f, 0.25f, 0.125f};
    im.Dis_User = {2, 1, 3, 0};
    for (std::size_t q = 0; q < 16; ++q) {
        im.UserEinheiten[q] = {static_cast<std::uint8_t>(q % 3), 3, '2', "  bar", f(), f()};
    }
    im.Trend_User = {0, 0, 5, 30};
    im.System = {ausbaustufe, 2, 0x07, 0x03, 1, 0, 0, 1.0f, f()};
    for (auto& p : im.Vorgaben) p = f();
    im.Display = {127, 127, 40, 0};
    im.Betrieb = {{3, 0, 0, 0}};
    return im;
}

TEST(ParameterBlocks, WriteAllThenReadAllGivesTheSameImage) {
    BlocksBench b;
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    WriteAllParameters(*b.link, image);

    EXPECT_EQ(b.ui.progressMaximum, kWriteAllProgressMax);
    EXPECT_EQ(b.ui.progressSteps, 28);
    EXPECT_EQ(b.ui.progressHides, 1);
    EXPECT_EQ(b.ui.cursorBusy, (std::vector<bool>{true, false}));
    ASSERT_FALSE(b.ui.waits.empty());
    EXPECT_TRUE(std::all_of(b.ui.waits.begin() + 1, b.ui.waits.end(),
                            [](int ms) { return ms == kWriteAllWaitMs; }));
    EXPECT_EQ(b.device.writesRejected(), 0u);

    // Betrieb byte 0 is the program's baud-rate index; the device's own
    // bytes 1..3 are carried, whatever the image held.
    EXPECT_EQ(image.Betrieb.Bytes[0], 7);
    // Every other record is held by the device as the image has it: the
    // read below gives the image back.
    EXPECT_EQ(b.peek(block::Vorgaben(7)), codec::EncodeVorgabe(image.Vorgaben[7]));
    EXPECT_EQ(b.peek(block::Betrieb), (Bytes{7, 0x01, 0x5A, 0x03}));

    ParameterImage back;
    EXPECT_TRUE(ReadAllParameters(*b.link, back));
    EXPECT_EQ(back, image);
}

TEST(ParameterBlocks, ExpansionLevelsDecideWhatIsWritten) {
    struct Case {
        std::uint8_t level;
        bool circuit2;
        bool trend;
    };
    for (const Case c :
         {Case{ausbaustufe::BasicA2, false, true}, Case{ausbaustufe::Basic, false, false},
          Case{ausbaustufe::BasicA1, true, false}}) {
        SCOPED_TRACE(static_cast<int>(c.level));
        sim::DeviceOptions options;
        options.ausbaustufe = c.level;
        BlocksBench b(options);
        const std::vector<block::Place> circuit2 = {
            block::T_User(1),   block::P_User(1),   block::Flow_User(1), block::Bez_User(1),
            block::Des_User(1), block::Med_User(1), block::Imp_User(1),  block::FlowKorr(1),
            block::Aus_User(1), block::Aus_User(2), block::Aus_User(3)};
        for (const auto& p : circuit2) b.fill(p, 0x11);
        b.fill(block::Alm_User(1), 0x11);
        b.fill(block::Trend_User, 0x11);

        ParameterImage image = distinctImage(c.level);
        WriteAllParameters(*b.link, image);
        for (const auto& p : circuit2) {
            EXPECT_EQ(b.peek(p) == Bytes(p.count, 0x11), !c.circuit2) << p.address;
        }
        EXPECT_EQ(b.peek(block::Alm_User(1)), codec::Encode(image.Alm_User[1]));
        EXPECT_EQ(b.peek(block::Trend_User) == Bytes(4, 0x11), !c.trend);
        EXPECT_EQ(b.peek(block::T_User(0)), codec::Encode(image.T_User[0]));
        EXPECT_EQ(b.peek(block::Aus_User(0)), codec::Encode(image.Aus_User[0]));
        EXPECT_EQ(b.ui.progressSteps, 28);  // the bar runs its full length regardless
    }
}

TEST(ParameterBlocks, SystemKindIsReducedToTheDevicesKindMask) {
    sim::DeviceOptions options;
    options.kindMask = 0x05;
    BlocksBench b(options);
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    image.System.KindMask = 0xFF;
    image.System.Kind = 0x07;
    image.System.Anzahl = 3;
    WriteAllParameters(*b.link, image);
    EXPECT_EQ(image.System.KindMask, 0x05);
    EXPECT_EQ(image.System.Kind, 0x05);
    EXPECT_EQ(image.System.Anzahl, 3);  // the rest of the local record is kept
    const Bytes sys = b.peek(block::System);
    EXPECT_EQ(Bytes(sys.begin() + 1, sys.begin() + 4), (Bytes{3, 0x05, 0x05}));
}

TEST(ParameterBlocks, TheEnergyComputerHasNoGasInputSet) {
    sim::DeviceOptions options;
    options.medium = medium::Energy;
    BlocksBench b(options);
    b.fill(block::EG_User, 0x22);
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    WriteAllParameters(*b.link, image);
    EXPECT_EQ(b.peek(block::EG_User), Bytes(16, 0x22));

    ParameterImage back;
    back.EG_User = {1, 2, 3, 4};
    EXPECT_TRUE(ReadAllParameters(*b.link, back));
    EXPECT_EQ(back.EG_User, (EG_UserRec{1, 2, 3, 4}));
    EXPECT_EQ(back.T_User, image.T_User);

    // The gas computer reads it.
    b.session.Medium = medium::Gas;
    EXPECT_TRUE(ReadAllParameters(*b.link, back));
    EG_UserRec device;
    ASSERT_TRUE(codec::Decode(Bytes(16, 0x22), device));
    EXPECT_EQ(back.EG_User, device);
}

TEST(ParameterBlocks, FailedAndRefusedReadsLeaveTheirRecords) {
    BlocksBench b;
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    const ParameterImage before = image;
    Link& l = *b.link;
    // The shared record read, and the two reads of their own.
    for (const std::function<bool()>& read : std::vector<std::function<bool()>>{
             [&] { return ReadT_User(l, image, 1); }, [&] { return ReadMed_User(l, image, 0); },
             [&] { return ReadVorgaben(l, image, 2); }}) {
        b.device.injectFault(Fault::BadChecksum, 4);
        EXPECT_FALSE(read());
    }
    EXPECT_EQ(image, before);

    // Indexes outside their range fail without traffic.
    const auto served = b.device.framesServed();
    EXPECT_FALSE(ReadT_User(*b.link, image, 2));
    EXPECT_FALSE(WriteAus_User(*b.link, image, 4));
    EXPECT_FALSE(ReadUserEinheiten(*b.link, image, -1));
    EXPECT_FALSE(WriteVorgaben(*b.link, image, 8));
    EXPECT_EQ(b.device.framesServed(), served);

    // A medium reply for another address is refused.
    const int failed = b.link->failedTransactions();
    b.device.injectFault(Fault::WrongEcho, 1);
    EXPECT_FALSE(ReadMed_User(*b.link, image, 0));
    EXPECT_EQ(image.Med_User[0], before.Med_User[0]);
    // The refused reply is a failed transaction for whoever counts them,
    // though the transport took it: a bulk read is not complete.
    EXPECT_EQ(b.link->failedTransactions(), failed + 1);
    // The other reads take the data as it comes.
    b.device.injectFault(Fault::WrongEcho, 1);
    EXPECT_TRUE(ReadT_User(*b.link, image, 0));
    EXPECT_EQ(b.device.pendingFaults(), 0u);
    EXPECT_EQ(b.link->failedTransactions(), failed + 1);
}

TEST(ParameterBlocks, ReadAllReportsItsLastReadOnlyACircuitStopsAtTheFirstFailure) {
    BlocksBench b;
    b.device.poke(block::Dis_User.address, Bytes{0, 0, 0, 0});  // no user units: 37 reads
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    const DisplayRec display = image.Display;
    b.device.injectFault(Fault::None, 36);
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_FALSE(ReadAllParameters(*b.link, image));
    EXPECT_EQ(image.Display, display);
    EXPECT_EQ(image.Dis_User.Einheiten, 0);

    image = distinctImage(ausbaustufe::HighEnd);
    const T_UserRec first = image.T_User[0];
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_TRUE(ReadAllParameters(*b.link, image));
    EXPECT_EQ(image.T_User[0], first);

    // Reading a circuit stops at its first failure.
    image = distinctImage(ausbaustufe::HighEnd);
    const ParameterImage before = image;
    const auto served = b.device.framesServed();
    b.device.injectFault(Fault::None, 2);
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_FALSE(ReadCircuitParameters(*b.link, image, 1));
    EXPECT_EQ(b.device.framesServed() - served, 6u);  // T, P, then Flow four times
    EXPECT_NE(image.T_User[1], before.T_User[1]);
    EXPECT_EQ(image.Flow_User[1], before.Flow_User[1]);
    EXPECT_EQ(image.Des_User[1], before.Des_User[1]);

    EXPECT_TRUE(ReadCircuitParameters(*b.link, image, 0));
    EXPECT_EQ(codec::Encode(image.Aus_User[3]), b.peek(block::Aus_User(3)));
    EXPECT_EQ(codec::Encode(image.EG_User), b.peek(block::EG_User));
}

TEST(ParameterBlocks, ARecordGoesOutOnlyAsThisConnectionsDeviceReturnedIt) {
    BlocksBench b;
    ParameterImage image;
    const auto writes = [&b] { return b.device.framesServed(cmd::Write); };
    const auto reads = [&b] { return b.device.framesServed(cmd::Read); };
    const Bytes device = b.peek(block::T_User(1));
    T_UserRec expected;
    ASSERT_TRUE(codec::Decode(device, expected));

    // Never read in this connection: refused before anything is sent.
    auto sent = writes();
    EXPECT_FALSE(WriteT_User(*b.link, image, 1));
    EXPECT_FALSE(WriteVorgaben(*b.link, image, 3));
    EXPECT_EQ(writes(), sent);
    EXPECT_EQ(b.link->lastFailure().cause, LinkCause::UnreadRecord);

    // Read: the device's record with the edited field goes out.
    ASSERT_TRUE(ReadT_User(*b.link, image, 1));
    image.T_User[1].Max = 77;
    expected.Max = 77;
    EXPECT_TRUE(WriteT_User(*b.link, image, 1));
    EXPECT_EQ(b.peek(block::T_User(1)), codec::Encode(expected));

    // Every block's read makes its write possible.
    for (int k = 0; k < kBlockKinds; ++k) {
        const auto kind = static_cast<BlockKind>(k);
        for (int i = 0; i < BlockCount(kind); ++i) {
            SCOPED_TRACE(BlockSlot({kind, i}));
            ParameterImage fresh;
            ASSERT_TRUE(ReadRecord(*b.link, fresh, {kind, i}));
            EXPECT_TRUE(WriteRecord(*b.link, fresh, {kind, i}));
        }
    }
    EXPECT_EQ(b.device.writesRejected(), 0u);

    // What an edit needs is read once: only the records not yet held.
    auto read = reads();
    EXPECT_TRUE(ReadUnread(*b.link, image, {{BlockKind::T_User, 0}, {BlockKind::T_User, 1}}));
    EXPECT_TRUE(ReadUnread(*b.link, image, {{BlockKind::T_User, 0}, {BlockKind::T_User, 1}}));
    EXPECT_EQ(reads() - read, 1u);
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_FALSE(ReadUnread(*b.link, image, {{BlockKind::System, 0}}));

    // Each of these leaves the record not held, so its write is refused.
    const std::pair<const char*, std::function<void()>> forgetters[] = {
        {"a new connection", [&] { EXPECT_TRUE(b.link->OpenComPort(1, b.device.baudIndex())); }},
        {"a write the device refused",
         [&] {
             b.device.injectFault(Fault::RejectWrite, 4);
             EXPECT_FALSE(WriteT_User(*b.link, image, 1));
         }},
        {"the defaults", [&] { ResetParameters(image, medium::Gas, true); }},
    };
    for (const auto& [what, forget] : forgetters) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(ReadT_User(*b.link, image, 1));
        forget();
        sent = writes();
        EXPECT_FALSE(WriteT_User(*b.link, image, 1));
        EXPECT_EQ(writes(), sent);
    }
    EXPECT_EQ(b.peek(block::T_User(1)), codec::Encode(expected));

    // Offline an edit changes the image alone: nothing to read.
    b.session.Online = false;
    read = reads();
    EXPECT_TRUE(ReadUnread(*b.link, image, {{BlockKind::Display, 0}}));
    EXPECT_EQ(reads(), read);
}

TEST(ParameterBlocks, BulkOperationsEndWhenTheLineHasGone) {
    // The device stops answering after a few blocks: two silent
    // transactions end the operation, the rest is not tried. The write
    // names the blocks the device took.
    std::vector<std::string> written;
    const std::pair<const char*, std::function<void(Link&, ParameterImage&)>> operations[] = {
        {"read all", [](Link& l, ParameterImage& i) { EXPECT_FALSE(ReadAllParameters(l, i)); }},
        {"write all",
         [&written](Link& l, ParameterImage& i) { WriteAllParameters(l, i, &written); }},
    };
    for (const auto& [what, operation] : operations) {
        SCOPED_TRACE(what);
        BlocksBench b;
        ParameterImage image = distinctImage(ausbaustufe::HighEnd);
        b.device.injectFault(Fault::None, 3);
        b.device.injectFault(Fault::NoReply, 1000);
        const int failed = b.link->failedTransactions();
        operation(*b.link, image);
        EXPECT_EQ(b.device.framesServed(), 3u + 2 * kTransactionAttempts);
        EXPECT_EQ(b.link->failedTransactions() - failed, kSilentTransactions);
        EXPECT_EQ(b.link->lastFailure().cause, LinkCause::NoReply);
        EXPECT_FALSE(b.link->lineGone());  // only within the operation
        // The next single transaction tries the device again.
        b.device.clearFaults();
        EXPECT_TRUE(ReadSystem(*b.link, image));
    }
    // The System read, then two writes.
    EXPECT_EQ(written, (std::vector<std::string>{"T_User1", "P_User1"}));

    // A device that still answers, however badly, is not given up.
    BlocksBench b;
    ParameterImage image;
    b.device.injectFault(Fault::BadChecksum, 40);
    EXPECT_TRUE(ReadAllParameters(*b.link, image));
    EXPECT_EQ(b.link->failedTransactions(), 10);
}

}  // namespace
}  // namespace parvion
