// The simulated device: framing corners, which writes it takes, its running
// clock and live values, fault injection and its baud-rate switch; the
// in-process serial line to it; and the device served on a real
// pseudo-terminal: baud-rate pacing (loose sanity only), baud mismatch, late
// replies and its clients. Its memory contents are read back by the link
// tests; the wrong sum, short, late and dropped replies are pinned by the
// transport tests; the pulled cables by the termios and network line tests.

#include "sim/lib/device.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <tuple>

#include "core/link/data_commands.h"
#include "core/link/encoding.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "sim/lib/device_time.h"
#include "sim/lib/memory_map.h"
#include "sim/lib/pty_server.h"
#include "sim/lib/sim_line.h"
#include "support/device_records.h"
#include "support/sim_pty.h"
#include "support/unprivileged.h"

namespace parvion::sim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Requests as the transport sends them.
Bytes readFrame(std::uint16_t address, std::uint8_t count) {
    return {0xB0, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
            count};
}

Bytes writeFrame(std::uint16_t address, const Bytes& data) {
    Bytes f{0xA0, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
            static_cast<std::uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    const std::uint16_t s = FrameSum(f);
    f.insert(f.end(), {static_cast<std::uint8_t>(s >> 8), static_cast<std::uint8_t>(s)});
    return f;
}

// True when a read reply carries a correct trailing sum.
bool sumOk(const Bytes& reply) {
    return reply.size() >= 2 && FrameSum(std::span(reply).first(reply.size() - 2)) ==
                                    (reply[reply.size() - 2] << 8 | reply.back());
}

const Bytes kIdent = readFrame(addr::Ident, 8);

// The data of a read reply, as text.
std::string text(const Bytes& reply) {
    return std::string(reply.begin() + 4, reply.end() - 2);
}

DeviceDateTime clockOf(Device& d) {
    const auto t = data::DecodeClockDigits(d.peek(addr::Clock, 12));
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
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

TEST(DeviceFraming, AFrameInPiecesIsAnsweredWhenCompleteAndForgottenAfterAGap) {
    Device d;
    const Bytes frame = writeFrame(addr::Display, {1, 2, 3, 4});
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        EXPECT_TRUE(d.receive(Bytes{frame[i]}).empty()) << "byte " << i;
    }
    EXPECT_EQ(d.receive(Bytes{frame.back()}), Bytes{kReplyAccepted});
    EXPECT_EQ(d.peek(addr::Display, 4), (Bytes{1, 2, 3, 4}));

    EXPECT_TRUE(d.receive(Bytes{0xB0, 0x80}).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(kFrameGapMs + 50));
    const Bytes reply = d.receive(kIdent);
    ASSERT_EQ(reply.size(), 14u);
    EXPECT_EQ(text(reply), "PV-GAS2 ");
}

TEST(DeviceFraming, UnknownBytesAreDroppedAndEveryFrameOfAChunkIsServed) {
    Device d;
    Bytes chunk{0x00, 0x13, 0xFF};
    for (const Bytes& f : {kIdent, readFrame(addr::Betrieb, 4)}) {
        chunk.insert(chunk.end(), f.begin(), f.end());
    }
    const Bytes reply = d.receive(chunk);
    ASSERT_EQ(reply.size(), 14u + 10u);
    EXPECT_EQ(text(Bytes(reply.begin(), reply.begin() + 14)), "PV-GAS2 ");
    EXPECT_EQ(d.noiseBytesDropped(), 3u);
    EXPECT_EQ(d.framesServed(0xB0), 2u);
}

TEST(DeviceWrites, WhatIsTakenIsStoredAndCountedWhatIsRejectedChangesNothing) {
    Bytes badSum = writeFrame(addr::Display, {9, 9, 9, 9});
    badSum.back() = static_cast<std::uint8_t>(badSum.back() + 1);
    const std::tuple<const char*, Bytes, bool> cases[] = {
        {"a preset, 10.0f", writeFrame(addr::Vorgaben + 4, {0x41, 0x20, 0x00, 0x00}), true},
        // Stored, but a baud-rate index outside the table keeps the rate.
        {"baud-rate index 9", writeFrame(addr::Betrieb, {9, 1, 2, 3}), true},
        {"a wrong sum", badSum, false},
        {"the identity", writeFrame(addr::Ident, {'X', 'X', 'X', 'X'}), false},
        {"the access record", writeFrame(addr::Access, {0, 0, 0, 0}), false},
        {"an unknown area", writeFrame(0x8300, {1}), false},
        {"from a writable block into a read-only one",
         writeFrame(addr::System + 12, {0, 0, 0, 0, 0, 0, 0, 0}), false},
        // The clock takes the whole digit set of a real date only.
        {"31 February", writeFrame(addr::Clock, {0, 0, 0, 0, 0, 1, 1, 3, 2, 0, 4, 2}), false},
        {"a digit of 12", writeFrame(addr::Clock, {0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 4, 12}), false},
        {"part of the clock", writeFrame(addr::Clock + 2, {0, 0}), false},
    };
    for (const auto& [what, frame, taken] : cases) {
        SCOPED_TRACE(what);
        Device d;
        Device expected;  // the same device, with the data of a taken write put in
        const auto address = static_cast<std::uint16_t>(frame[1] << 8 | frame[2]);
        const Bytes data(frame.begin() + 4, frame.end() - 2);
        if (taken) expected.poke(address, data);
        EXPECT_EQ(d.receive(frame), Bytes{taken ? kReplyAccepted : kReplyRejected});
        EXPECT_EQ(parvion::test::StableMemory(d), parvion::test::StableMemory(expected));
        EXPECT_TRUE(isValidDateTime(clockOf(d)));
        EXPECT_EQ(d.baudIndex(), 7);
        EXPECT_EQ(d.writesAccepted(), taken ? 1u : 0u);
        EXPECT_EQ(d.writesRejected(), taken ? 0u : 1u);
        if (taken) {
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

TEST(DeviceFaults, NoReplySwallowsTheFrameUnexecutedGarbageComesAheadOfAnIntactReply) {
    Device d;
    d.injectFault(Fault::NoReply);
    EXPECT_TRUE(d.receive(writeFrame(addr::Display, {5, 5, 5, 5})).empty());
    EXPECT_NE(d.peek(addr::Display, 4), (Bytes{5, 5, 5, 5}));
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
    EXPECT_EQ(d.framesServed(), 2u);

    d.injectFault(Fault::GarbageBefore);
    const Bytes r = d.receive(kIdent);
    ASSERT_GT(r.size(), 14u);
    const Bytes tail(r.end() - 14, r.end());
    EXPECT_TRUE(sumOk(tail));
    EXPECT_EQ(tail[0], 0xB0);
}

bool send(SimLine& line, const Bytes& b) {
    return line.write(b.data(), b.size());
}

Bytes readAll(SimLine& line) {
    Bytes b(line.bytesWaiting());
    b.resize(line.read(b.data(), b.size()));
    return b;
}

struct SimLineTest : ::testing::Test {
    Device device;
    SimLine line{device};
    void SetUp() override { ASSERT_TRUE(line.open("sim", 115200, nullptr)); }
};

TEST_F(SimLineTest, ReplyIsReadableAtOnceInPiecesAndDiscardedAndAWaitSleepsForNewBytes) {
    ASSERT_TRUE(send(line, kIdent));
    EXPECT_EQ(line.bytesPending(), 0u);
    EXPECT_EQ(line.bytesWaiting(), 14u);
    const auto t0 = Clock::now();
    line.waitForActivity(t0 + 5s);
    EXPECT_LT(Clock::now() - t0, 1s) << "the wait returns for bytes already there";
    std::uint8_t buf[5];
    EXPECT_EQ(line.read(buf, 5), 5u);
    EXPECT_EQ(line.bytesWaiting(), 9u);
    line.discardInput();
    EXPECT_EQ(line.bytesWaiting(), 0u);

    // Without new bytes the wait sleeps to the deadline.
    device.injectFault(Fault::ShortReply);
    send(line, kIdent);
    line.waitForActivity(Clock::now() + 5s);  // reports the half reply
    const auto t1 = Clock::now();
    line.waitForActivity(t1 + 60ms);
    EXPECT_GE(Clock::now() - t1, 60ms);
    EXPECT_EQ(line.bytesWaiting(), 7u);
}

TEST_F(SimLineTest, DiscardingInputKeepsALateReplyThatHasNotArrivedYet) {
    device.setLateDelay(150ms);
    device.injectFault(Fault::LateFirstByte);
    const auto t0 = Clock::now();
    send(line, kIdent);
    line.discardInput();
    line.waitForActivity(t0 + 5s);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

// The device meets a line at another rate as a silent device, and is
// reached again by reopening at its new rate or by changing the line's.
TEST_F(SimLineTest, BetriebSwitchIsFollowedByReopeningAtTheNewRate) {
    send(line, writeFrame(addr::Betrieb, {4, 0, 0, 0}));
    EXPECT_EQ(readAll(line), Bytes{0x00});  // the reply at the old rate
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 0u) << "device now at 19200";
    EXPECT_EQ(device.framesServed(), 1u);
    line.close();
    ASSERT_TRUE(line.open("sim", 19200, nullptr));
    send(line, kIdent);
    EXPECT_EQ(readAll(line).size(), 14u);
    ASSERT_TRUE(line.setBaudRate(9600));
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 0u);
    line.setBaudRate(19200);
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

TEST_F(SimLineTest, DroppedLineFailsAndClosesUntilRestored) {
    device.injectFault(Fault::DropLine);
    send(line, kIdent);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(send(line, kIdent));
    EXPECT_EQ(line.bytesWaiting(), 0u);
    line.waitForActivity(Clock::now() + 10s);  // returns at once on a failed line
    std::string why;
    EXPECT_FALSE(line.open("sim", 115200, &why));
    EXPECT_FALSE(why.empty());
    device.restoreLine();
    ASSERT_TRUE(line.open("sim", 115200, nullptr));
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

// The client end: the program's own terminal line, read with a time limit.
struct Client {
    TermiosLine line;
    bool write(const Bytes& b) { return line.write(b.data(), b.size()); }
    Bytes read(std::size_t n, std::chrono::milliseconds limit) {
        Bytes out;
        const auto deadline = Clock::now() + limit;
        while (out.size() < n && line.isOpen() && Clock::now() < deadline) {
            line.waitForActivity(deadline);
            std::uint8_t buf[512];
            out.insert(out.end(), buf, buf + line.read(buf, std::min(sizeof buf, n - out.size())));
        }
        return out;
    }
};

struct Served {
    Device device;
    PtyServer server;
    Client client;
    explicit Served(DeviceOptions o = {}, bool pacing = true)
        : device(std::move(o)), server(device, pacing) {}
    void open(int baud) {
        std::string why;
        ASSERT_TRUE(server.start(&why)) << why;
        ASSERT_TRUE(client.line.open(server.slavePath(), baud, &why)) << why;
    }
};

TEST(PtyServer, PacesAtTheDevicesBaudRate) {
    // 4 request bytes and 134 reply bytes at 4800 baud: about 290 ms on the
    // wire. Only loose bounds: the point is that pacing happens at all.
    Clock::duration took[2];  // unpaced, paced
    for (const bool pacing : {true, false}) {
        Served s(parvion::test::AtBaud(2), pacing);
        s.open(4800);
        const auto t0 = Clock::now();
        s.client.write(readFrame(addr::SaturationTable, 128));
        const Bytes r = s.client.read(134, 5s);
        took[pacing] = Clock::now() - t0;
        ASSERT_EQ(r.size(), 134u);
        EXPECT_TRUE(sumOk(r));
    }
    EXPECT_GE(took[1], 200ms);
    EXPECT_LT(took[1], 4s);
    EXPECT_LT(took[0], took[1]);
}

TEST(PtyServer, ClientAtAnotherBaudRateMeetsASilentDeviceAndALateReplyComesLate) {
    Served s;
    s.open(9600);
    s.client.write(kIdent);
    EXPECT_TRUE(s.client.read(14, 300ms).empty());
    EXPECT_EQ(s.server.bytesIgnored(), 4u);
    EXPECT_EQ(s.device.framesServed(), 0u);
    ASSERT_TRUE(s.client.line.setBaudRate(115200));
    s.client.write(kIdent);
    EXPECT_EQ(s.client.read(14, 2s).size(), 14u);

    // A late first byte arrives after the delay.
    s.device.injectFault(Fault::LateFirstByte);
    const auto t0 = Clock::now();
    s.client.write(kIdent);
    EXPECT_TRUE(s.client.read(1, 200ms).empty());
    const Bytes r = s.client.read(14, 3s);
    EXPECT_EQ(r.size(), 14u);
    EXPECT_GE(Clock::now() - t0, 290ms);
}

TEST(PtyServer, AClientThatDiedInExclusiveModeDoesNotBlockTheNext) {
    Served s;
    std::string why;
    ASSERT_TRUE(s.server.start(&why)) << why;
    const std::string path = s.server.slavePath();
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    // The first client takes the port exclusively and dies without closing
    // it. (Root ignores exclusive mode: the clients run as a plain user.)
    ASSERT_EQ(parvion::test::runUnprivileged([&path] {
                  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
                  if (fd < 0 || ::ioctl(fd, TIOCEXCL) != 0) return 1;
                  ::_exit(0);
              }),
              0);
    // The next one gets the port within a few seconds.
    EXPECT_EQ(parvion::test::runUnprivileged([&path] {
                  const auto limit = Clock::now() + 10s;
                  while (Clock::now() < limit) {
                      const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
                      if (fd >= 0) {
                          ::close(fd);
                          return 0;
                      }
                      std::this_thread::sleep_for(50ms);
                  }
                  return 1;
              }),
              0);
}

TEST(PtyServer, DestructorStopsWithAClientStillAttached) {
    Client client;
    {
        Device device;
        PtyServer server(device);
        ASSERT_TRUE(server.start(nullptr));
        ASSERT_TRUE(client.line.open(server.slavePath(), 115200, nullptr));
        client.write(kIdent);
    }
    client.read(100, 200ms);
    EXPECT_TRUE(client.line.failed());
}

}  // namespace
}  // namespace parvion::sim
