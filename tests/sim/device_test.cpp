// The simulated device: framing of replies, which writes it takes, and the
// contents of its memory map.

#include "sim/lib/device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "core/link/encoding.h"
#include "sim/lib/device_time.h"
#include "sim/lib/memory_map.h"
#include "sim_frames.h"

namespace parvion::sim {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::readFrame;
using test::sumOk;
using test::writeFrame;

Bytes ask(Device& d, const Bytes& frame) {
    return d.receive(frame);
}

std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

Bytes data(const Bytes& reply) {
    return Bytes(reply.begin() + 4, reply.end() - 2);
}

DeviceDateTime clockOf(Device& d) {
    const Bytes c = d.peek(addr::Clock, 12);
    DeviceDateTime t;
    t.second = static_cast<std::uint16_t>(c[1] * 10 + c[0]);
    t.minute = static_cast<std::uint16_t>(c[3] * 10 + c[2]);
    t.hour = static_cast<std::uint16_t>(c[5] * 10 + c[4]);
    t.day = static_cast<std::uint16_t>(c[7] * 10 + c[6]);
    t.month = static_cast<std::uint16_t>(c[9] * 10 + c[8]);
    t.year = static_cast<std::uint16_t>(fullYear(c[11] * 10 + c[10]));
    return t;
}

// The memory that does not run with time: identity, parameters and tables.
Bytes stableMemory(const Device& d) {
    Bytes m = d.peek(0x8000, 0x176);  // up to the integrator ring
    for (const auto& [at, n] : {std::pair{0x8178, 0x188}, std::pair{0x9000, 0x1000}}) {
        const Bytes part = d.peek(static_cast<std::uint16_t>(at), static_cast<std::size_t>(n));
        m.insert(m.end(), part.begin(), part.end());
    }
    return m;
}

TEST(DeviceFraming, ReadEchoesHeaderAndAppendsSumOfEverythingBefore) {
    Device d;
    const Bytes reply = ask(d, readFrame(addr::Ident, 8));
    ASSERT_EQ(reply.size(), 4u + 8u + 2u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 4), readFrame(addr::Ident, 8));
    EXPECT_EQ(text(data(reply)), "PV-GAS2 ");
    EXPECT_TRUE(sumOk(reply));
}

TEST(DeviceFraming, ProgramAreaReadHasEchoAndSumToo) {
    Device d;
    const Bytes reply = ask(d, readFrame(addr::ProgramText, 16, 0xB1));
    ASSERT_EQ(reply.size(), 22u);
    EXPECT_EQ(reply[0], 0xB1);
    EXPECT_TRUE(sumOk(reply));
    EXPECT_EQ(text(data(reply)).substr(0, 7), "PV-GAS2");
    // The same address of the data memory is other memory.
    EXPECT_NE(data(ask(d, readFrame(addr::ProgramText, 16))), data(reply));
}

TEST(DeviceFraming, ZeroCountReadAndReadAcrossTheTopOfMemoryWrap) {
    Device d;
    EXPECT_EQ(ask(d, readFrame(0x1234, 0)).size(), 6u);
    d.poke(0xFFFF, Bytes{0x5A});
    d.poke(0x0000, Bytes{0xA5});
    const Bytes reply = ask(d, readFrame(0xFFFF, 2));
    ASSERT_EQ(reply.size(), 8u);
    EXPECT_EQ(reply[4], 0x5A);
    EXPECT_EQ(reply[5], 0xA5);
}

TEST(DeviceFraming, FrameSplitOverSeveralChunksIsAnsweredWhenComplete) {
    Device d;
    const Bytes frame = writeFrame(addr::Display, {1, 2, 3, 4});
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        EXPECT_TRUE(d.receive(Bytes{frame[i]}).empty()) << "byte " << i;
    }
    EXPECT_EQ(d.receive(Bytes{frame.back()}), Bytes{kReplyAccepted});
    EXPECT_EQ(d.peek(addr::Display, 4), (Bytes{1, 2, 3, 4}));
}

TEST(DeviceFraming, UnknownBytesAreDroppedAndTheNextFrameIsServed) {
    Device d;
    Bytes noisy{0x00, 0x13, 0xFF};
    const Bytes frame = readFrame(addr::Ident, 8);
    noisy.insert(noisy.end(), frame.begin(), frame.end());
    const Bytes reply = d.receive(noisy);
    ASSERT_EQ(reply.size(), 14u);
    EXPECT_EQ(text(data(reply)), "PV-GAS2 ");
    EXPECT_EQ(d.noiseBytesDropped(), 3u);
    EXPECT_EQ(d.framesServed(), 1u);
}

TEST(DeviceFraming, TwoFramesInOneChunkGetBothReplies) {
    Device d;
    Bytes two = readFrame(addr::Ident, 8);
    const Bytes second = readFrame(addr::Betrieb, 4);
    two.insert(two.end(), second.begin(), second.end());
    EXPECT_EQ(d.receive(two).size(), 14u + 10u);
    EXPECT_EQ(d.framesServed(0xB0), 2u);
}

TEST(DeviceFraming, UnfinishedFrameIsForgottenAfterAGap) {
    Device d;
    EXPECT_TRUE(d.receive(Bytes{0xB0, 0x80}).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(kFrameGapMs + 50));
    const Bytes reply = d.receive(readFrame(addr::Ident, 8));
    ASSERT_EQ(reply.size(), 14u);
    EXPECT_EQ(text(data(reply)), "PV-GAS2 ");
}

TEST(DeviceWrites, WhatIsTakenIsStoredAndCountedWhatIsRejectedChangesNothing) {
    Bytes badSum = writeFrame(addr::Display, {9, 9, 9, 9});
    badSum.back() = static_cast<std::uint8_t>(badSum.back() + 1);
    const struct {
        const char* what;
        Bytes frame;
        bool taken;
    } cases[] = {
        {"a preset, 10.0f", writeFrame(addr::Vorgaben + 4, {0x41, 0x20, 0x00, 0x00}), true},
        {"a wrong sum", badSum, false},
        {"the identity", writeFrame(addr::Ident, {'X', 'X', 'X', 'X'}), false},
        {"the access record", writeFrame(addr::Access, {0, 0, 0, 0}), false},
        {"the live values", writeFrame(addr::OperatingValues, {0, 0, 0, 0}), false},
        {"the trend directory", writeFrame(addr::TrendDirectory, {0, 0}), false},
        {"an unknown area", writeFrame(0x8300, {1}), false},
        {"from a writable block into a read-only one",
         writeFrame(addr::System + 12, {0, 0, 0, 0, 0, 0, 0, 0}), false},
        // The clock takes the whole digit set of a real date only.
        {"31 February", writeFrame(addr::Clock, {0, 0, 0, 0, 0, 1, 1, 3, 2, 0, 4, 2}), false},
        {"a digit of 12", writeFrame(addr::Clock, {0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 4, 12}), false},
        {"part of the clock", writeFrame(addr::Clock + 2, {0, 0}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Device d;
        Device expected;  // the same device, with the data of a taken write put in
        const auto address = static_cast<std::uint16_t>(c.frame[1] << 8 | c.frame[2]);
        const Bytes data(c.frame.begin() + 4, c.frame.end() - 2);
        if (c.taken) expected.poke(address, data);
        EXPECT_EQ(ask(d, c.frame), Bytes{c.taken ? kReplyAccepted : kReplyRejected});
        EXPECT_EQ(stableMemory(d), stableMemory(expected));
        EXPECT_TRUE(isValidDateTime(clockOf(d)));
        EXPECT_EQ(d.writesAccepted(), c.taken ? 1u : 0u);
        EXPECT_EQ(d.writesRejected(), c.taken ? 0u : 1u);
        if (c.taken) {
            EXPECT_EQ(d.lastWriteAddress(), address);
            EXPECT_EQ(d.lastWriteCount(), static_cast<int>(data.size()));
        }
    }
}

TEST(DeviceWrites, EveryParameterBlockTakesAWriteOfItsSize) {
    Device d;
    const struct {
        std::uint16_t address;
        std::uint8_t count;
    } blocks[] = {{addr::T_User + 32, 32},
                  {addr::P_User + 32, 32},
                  {addr::Flow_User + 32, 32},
                  {addr::Des_User + 32, 32},
                  {addr::Med_User + 32, 32},
                  {addr::Bez_User + 16, 16},
                  {addr::Imp_User + 8, 8},
                  {addr::Alm_User + 16, 16},
                  {addr::Aus_User + 48, 16},
                  {addr::FlowKorr + 32, 32},
                  {addr::EG_User, 16},
                  {addr::Grenzwerte, 16},
                  {addr::System, 16},
                  {addr::Betrieb, 4},
                  {addr::Dis_User, 4},
                  {addr::Trend_User, 4},
                  {addr::UserEinheiten + 240, 16},
                  {addr::Vorgaben + 28, 4},
                  {addr::Display, 4},
                  {0x9580 + 32 * 15, 32},
                  {0x9780, 28},
                  {0x979C, 36},
                  {0x97C0 + 56 * 17, 56},
                  {0x9BC0, 28},
                  {0x9BDC, 36},
                  {0x9C00 + 56 * 17, 56}};
    for (const auto& b : blocks) {
        Bytes payload = d.peek(b.address, b.count);
        EXPECT_EQ(ask(d, writeFrame(b.address, payload)), Bytes{kReplyAccepted})
            << std::hex << b.address;
    }
}

TEST(DeviceWrites, SystemWriteKeepsTheDevicesKindMask) {
    DeviceOptions o;
    o.kindMask = 0x05;
    Device d(o);
    Bytes sys = d.peek(addr::System, 16);
    sys[2] = 0xFF;
    sys[3] = 0x04;
    sys[5] = 0x77;
    EXPECT_EQ(ask(d, writeFrame(addr::System, sys)), Bytes{kReplyAccepted});
    const Bytes after = d.peek(addr::System, 16);
    EXPECT_EQ(after[2], 0x05);
    EXPECT_EQ(after[3], 0x04);
    EXPECT_EQ(after[5], 0x00);
}

TEST(DeviceContents, IdentityFollowsTheVariantOrTheOption) {
    DeviceOptions energy;
    energy.medium = 1;
    EXPECT_EQ(text(Device(energy).peek(addr::Ident, 8)), "PV-ENG2 ");
    DeviceOptions other;
    other.ident = "PV-XYZ9 ";
    EXPECT_EQ(text(Device(other).peek(addr::Ident, 8)), "PV-XYZ9 ");
}

TEST(DeviceContents, AccessRecordCarriesProtectionFlagAndDashPaddedPassword) {
    Device open;
    const Bytes a = data(ask(open, readFrame(addr::Access, 13)));
    EXPECT_EQ(a[3], 0);
    EXPECT_EQ(text(Bytes(a.begin() + 4, a.begin() + 12)), "--------");

    DeviceOptions o;
    o.password = "abc";
    Device locked(o);
    const Bytes b = data(ask(locked, readFrame(addr::Access, 13)));
    EXPECT_NE(b[3], 0);
    EXPECT_EQ(text(Bytes(b.begin() + 4, b.begin() + 12)), "abc-----");
    // Data byte 12 is the first byte of Betrieb.
    EXPECT_EQ(b[12], 7);
}

TEST(DeviceContents, SystemBlockHoldsExpansionLevelAndKindMask) {
    DeviceOptions o;
    o.ausbaustufe = 0xC0;
    o.kindMask = 0x03;
    Device d(o);
    const Bytes s = d.peek(addr::System, 16);
    EXPECT_EQ(s[0], 0xC0);
    EXPECT_EQ(s[2], 0x03);
    EXPECT_EQ(s[3] & ~s[2], 0);
    EXPECT_FLOAT_EQ(wire::GetFloat(s, 8), 1.0f);
    // Without circuit 2 its live values stay 0.
    const Bytes live = d.peek(addr::OperatingValues + addr::OperatingValuesStride, 80);
    EXPECT_EQ(live, Bytes(80, 0));
}

TEST(DeviceContents, SerialNumberAndProgramTextArePrintable) {
    Device d;
    for (std::uint8_t c : d.peek(addr::SerialNo, 16)) EXPECT_GE(c, 32);
    EXPECT_EQ(text(d.peekProgram(addr::ProgramText, 7)), "PV-GAS2");
}

TEST(DeviceClock, DigitsFormAValidDateNearThePcClock) {
    Device d;
    const Bytes c = d.peek(addr::Clock, 16);
    for (int i = 0; i < 12; ++i) EXPECT_LE(c[static_cast<std::size_t>(i)], 9) << i;
    const DeviceDateTime t = clockOf(d);
    ASSERT_TRUE(isValidDateTime(t));
    EXPECT_LE(std::llabs(toEpochSeconds(t) - localNowSeconds()), 5);
}

TEST(DeviceClock, RunsAndCanBeSetByWritingTwelveDigits) {
    Device d;
    // 23:59:58 on 31.12.1999: second units first, year tens last.
    EXPECT_EQ(ask(d, writeFrame(addr::Clock, {8, 5, 9, 5, 3, 2, 1, 3, 2, 1, 9, 9})),
              Bytes{kReplyAccepted});
    DeviceDateTime t = clockOf(d);
    EXPECT_EQ(t.year, 1999);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.second, 58);
    d.advanceTime(3s);
    t = clockOf(d);
    EXPECT_EQ(t.year, 2000);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    EXPECT_GE(t.second, 1);
}

TEST(DeviceLiveValues, TotalsIntegrateAndValuesArePlausible) {
    DeviceOptions o;
    o.medium = 1;
    Device d(o);
    const Bytes a = d.peek(addr::OperatingValues, 80);
    d.advanceTime(std::chrono::hours(1));
    const Bytes b = d.peek(addr::OperatingValues, 80);

    const float kelvin = wire::GetFloat(a, 24);
    EXPECT_GT(kelvin, 273.15f + 150.0f);  // steam circuit
    EXPECT_LT(kelvin, 273.15f + 210.0f);
    EXPECT_GT(wire::GetFloat(a, 20), 0.0f);  // pressure

    const double massA = double{wire::GetFloat(a, 40)} + double{wire::GetFloat(a, 44)};
    const double massB = double{wire::GetFloat(b, 40)} + double{wire::GetFloat(b, 44)};
    const double flow = wire::GetFloat(b, 36);  // kg/h
    EXPECT_NEAR(massB - massA, flow, flow * 0.3);
    EXPECT_NEAR(double(wire::GetLong(b, 60)) - double(wire::GetLong(a, 60)), 3600.0, 2.0);
    EXPECT_NE(wire::GetFloat(a, 24), wire::GetFloat(b, 24));  // temperature drifts

    const Bytes currents = d.peek(addr::OutputCurrents, 16);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_GE(wire::GetFloat(currents, 4 * k), 3.8f);
        EXPECT_LE(wire::GetFloat(currents, 4 * k), 20.5f);
    }
}

TEST(DeviceHistory, TrendDirectoryAndBlockHeadersAreValid) {
    Device d;
    const Bytes dir = d.peek(addr::TrendDirectory, 36);
    EXPECT_EQ(dir[0], 1);
    ASSERT_LT(dir[1], addr::TrendBlockCount);
    int valid = 0;
    for (int b = 0; b < addr::TrendBlockCount; ++b) {
        const auto base = static_cast<std::uint16_t>(addr::TrendBlocks + addr::TrendBlockSize * b);
        const Bytes h = d.peek(base, 8);
        const bool ok = h[0] <= 2 && h[1] >= 1 && h[1] <= 100 && h[3] >= 1 && h[3] <= 12 &&
                        h[4] >= 1 && h[4] <= 31 && h[5] <= 23 && h[6] <= 59 && h[7] <= 60;
        if (!ok) {
            EXPECT_EQ(h, Bytes(8, 0xFF)) << "block " << b << " neither valid nor erased";
            continue;
        }
        ++valid;
        // Temperatures in tenths of a kelvin plus 2731: a gas line near 10 °C.
        const Bytes t = d.peek(static_cast<std::uint16_t>(base + addr::TrendSeries1), 2);
        const int celsiusTenths = wire::GetWord(t, 0) - 2731;
        EXPECT_GT(celsiusTenths, -100) << b;
        EXPECT_LT(celsiusTenths, 300) << b;
    }
    EXPECT_GE(valid, 30);
    // The newest block is a valid one, the block after it is not.
    const auto newest =
        static_cast<std::uint16_t>(addr::TrendBlocks + addr::TrendBlockSize * dir[1]);
    EXPECT_LE(d.peek(newest, 8)[7], 60);
    EXPECT_NE(d.peek(newest, 8)[3], 0xFF);
}

TEST(DeviceHistory, NoTrendRecordingMeansAnEmptyTrendMemory) {
    DeviceOptions o;
    o.ausbaustufe = 0x3C;
    Device d(o);
    EXPECT_EQ(d.peek(addr::TrendBlocks, 8), Bytes(8, 0xFF));
}

TEST(DeviceHistory, ErrorProtocolRingsAndStateAgree) {
    Device d;
    const Bytes head = d.peek(addr::ErrorState, 32);
    int active = 0;
    for (int g = 0; g < addr::ErrorGroups; ++g) {
        const int ring = head[static_cast<std::size_t>(16 + g)];
        ASSERT_LT(ring, 8);
        const auto page = static_cast<std::uint16_t>(addr::ErrorPages + 128 * g);
        const Bytes entries = d.peek(page, 128);
        for (int e = 0; e < 8; ++e) {
            const std::size_t at = static_cast<std::size_t>(16 * e);
            if (entries[at] != 0) {
                ++active;
                EXPECT_EQ(e, ring) << "an ongoing error sits at its group's ring position";
            }
            if (entries[at + 6] != 0) {  // start day set: a real entry
                EXPECT_GE(entries[at + 5], 1);
                EXPECT_LE(entries[at + 5], 12);
            }
        }
    }
    EXPECT_EQ(head[addr::ErrorStateCount], active);
    EXPECT_NE(head[addr::ErrorStateBits], 0);
}

TEST(DeviceHistory, IntegratorNewestSlotIsBeforeTheRingPosition) {
    Device d;
    const Bytes ring = d.peek(addr::IntegratorRing, 2);
    for (int c = 0; c < 2; ++c) {
        const int pos = ring[static_cast<std::size_t>(c)];
        ASSERT_LT(pos, 8);
        const int newest = pos == 0 ? 7 : pos - 1;
        const auto a = static_cast<std::uint16_t>(addr::Integrators + 256 * c + 32 * newest);
        const Bytes rec = d.peek(a, 32);
        EXPECT_NE(rec[8], 0) << "second time has a day";
        EXPECT_GT(wire::GetFloat(rec, 12), 0.0f);
    }
    // Circuit 2 has fewer records than slots: an empty one has day 0.
    EXPECT_EQ(d.peek(static_cast<std::uint16_t>(addr::Integrators + 256 + 32 * 7), 32)[8], 0);
}

TEST(DeviceHistory, TablesHaveRisingAxes) {
    Device d;
    for (const auto& t : addr::PropertyTable) {
        const Bytes cols = d.peek(t.columns, 28);
        const Bytes rows = d.peek(t.rows, 36);
        for (std::size_t i = 1; i < 14; ++i)
            EXPECT_GT(wire::GetWord(cols, 2 * i), wire::GetWord(cols, 2 * i - 2));
        for (std::size_t i = 1; i < 18; ++i)
            EXPECT_GT(wire::GetWord(rows, 2 * i), wire::GetWord(rows, 2 * i - 2));
        EXPECT_GT(wire::GetFloat(d.peek(t.values, 4), 0), 0.0f);
    }
    const Bytes sat = d.peek(addr::SaturationTable, 512);
    for (std::size_t r = 1; r < 32; ++r) {
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_GT(wire::GetFloat(sat, 16 * r + 4 * k),
                      wire::GetFloat(sat, 16 * (r - 1) + 4 * k))
                << "row " << r << " column " << k;
        }
    }
}

}  // namespace
}  // namespace parvion::sim
