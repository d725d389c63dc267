// The simulated device: framing corners, which writes it takes, its running
// clock and live values. Its memory contents are read back by the link tests.

#include "sim/lib/device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "core/link/data_commands.h"
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

std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

Bytes data(const Bytes& reply) {
    return Bytes(reply.begin() + 4, reply.end() - 2);
}

DeviceDateTime clockOf(Device& d) {
    const auto t = data::DecodeClockDigits(d.peek(addr::Clock, 12));
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
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

TEST(DeviceFraming, ZeroCountReadAndReadAcrossTheTopOfMemoryWrap) {
    Device d;
    EXPECT_EQ(d.receive(readFrame(0x1234, 0)).size(), 6u);
    d.poke(0xFFFF, Bytes{0x5A});
    d.poke(0x0000, Bytes{0xA5});
    const Bytes reply = d.receive(readFrame(0xFFFF, 2));
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
        EXPECT_EQ(d.receive(c.frame), Bytes{c.taken ? kReplyAccepted : kReplyRejected});
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

TEST(DeviceClock, RunsAndCanBeSetByWritingTwelveDigits) {
    Device d;
    // 23:59:58 on 31.12.1999: second units first, year tens last.
    EXPECT_EQ(d.receive(writeFrame(addr::Clock, {8, 5, 9, 5, 3, 2, 1, 3, 2, 1, 9, 9})),
              Bytes{kReplyAccepted});
    EXPECT_EQ(clockOf(d), (DeviceDateTime{1999, 12, 31, 23, 59, 58}));
    d.advanceTime(3s);
    const DeviceDateTime t = clockOf(d);
    EXPECT_EQ(t, (DeviceDateTime{2000, 1, 1, 0, 0, t.second}));
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

TEST(DeviceHistory, NoTrendRecordingMeansAnEmptyTrendMemory) {
    DeviceOptions o;
    o.ausbaustufe = 0x3C;
    Device d(o);
    EXPECT_EQ(d.peek(addr::TrendBlocks, 8), Bytes(8, 0xFF));
}

}  // namespace
}  // namespace parvion::sim
