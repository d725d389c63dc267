// The frame transport against the in-process device simulator: framing,
// checksum, rejection, time-out and retry rules, the online indicator, a
// dropped line, and the trace file; the frame checksum and the time on the
// wire; start-up identification and the availability test.

#include "core/link/transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/app/error_log.h"
#include "core/link/connect.h"
#include "support/link_bench.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::Fault;

struct Bench : test::LinkBench {
    explicit Bench(sim::DeviceOptions options = {}, int traceLevel = 0) : LinkBench(options) {
        session.TraceLevel = traceLevel;
        open();
    }
    std::filesystem::path traceFile() const {
        return link->traceFile(std::chrono::system_clock::now());
    }
    std::string trace() const { return test::readFileBytes(traceFile()); }
    // One read of the identity, as the start-up sends it.
    bool ident() {
        frame = {cmd::Read, 0x80, 0xB0, 8};
        return link->Transaction(frame, kFrameCapacity, 12);
    }
    Bytes frame;  // as the last of those left it
};

Bytes readFrame(std::uint16_t address, std::uint8_t count) {
    return {cmd::Read, static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address & 0xFF), count};
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Transport, OpenComPortResolvesThePortAndFramesGoOutAsTheDeviceExpectsThem) {
    Bench b;
    EXPECT_TRUE(b.session.Online);
    EXPECT_EQ(b.link->LinkTimeout(), kLinkTimeoutMs);
    EXPECT_EQ(b.line.portName(), "sim:1");
    EXPECT_EQ(b.line.baudRate(), 115200);
    EXPECT_EQ(DefaultPortName(1), "/dev/ttyS0");
    EXPECT_EQ(DefaultPortName(8), "/dev/ttyS7");

    // A read goes out as its four bytes and waits for the caller's length + 2.
    Bytes frame = readFrame(0x80B0, 8);
    const auto before = b.line.bytesWritten();
    ASSERT_TRUE(b.link->Transaction(frame, kFrameCapacity, 12));
    EXPECT_EQ(b.line.bytesWritten() - before, 4u);
    ASSERT_EQ(frame.size(), 14u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 4), readFrame(0x80B0, 8));
    EXPECT_EQ(std::string(frame.begin() + 4, frame.begin() + 12), "PV-GAS2 ");
    EXPECT_EQ(b.link->lastAttempts(), 1);

    // A write goes out with its 16-bit sum appended: ten bytes on the line.
    frame = {cmd::Write, 0x81, 0x78, 0x04, 0x00, 0x00, 0x07, 0x3C};
    ASSERT_TRUE(b.link->Transaction(frame, kFrameCapacity, 1));
    EXPECT_EQ(b.line.bytesWritten() - before, 14u);
    EXPECT_EQ(frame, Bytes{0x00});
    EXPECT_EQ(b.device.peek(0x8178, 4), (Bytes{0x00, 0x00, 0x07, 0x3C}));

    // The block helpers strip the echo and the sum.
    Bytes data = {1, 2, 3};
    ASSERT_TRUE(b.link->readBlock(cmd::Read, 0x8178, 4, data));
    EXPECT_EQ(data, (Bytes{0x00, 0x00, 0x07, 0x3C}));
    const Bytes block = {0x01, 0x02, 0x05, 0x1E};
    ASSERT_TRUE(b.link->writeBlock(0x8178, block));
    EXPECT_EQ(b.device.peek(0x8178, 4), block);

    // Every success shows ONLINE and keeps the offline menus disabled.
    EXPECT_TRUE(
        std::all_of(b.ui.onlineShown.begin(), b.ui.onlineShown.end(), [](bool v) { return v; }));
    EXPECT_FALSE(b.ui.menusEnabled.back());

    // Reopening with an index outside the table keeps the rate.
    EXPECT_TRUE(b.link->OpenComPort(3, 12));
    EXPECT_EQ(b.line.portName(), "sim:3");
    EXPECT_EQ(b.line.baudRate(), 115200);
}

TEST(Transport, BadChecksumsAreCountedAndRetried) {
    Bench b;
    // One bad reply: counted once, the second attempt succeeds, no beep.
    b.device.injectFault(Fault::BadChecksum, 1);
    ASSERT_TRUE(b.ident());
    EXPECT_EQ(b.link->TransmissionErrors(), 1);
    EXPECT_EQ(b.link->lastAttempts(), 2);
    EXPECT_EQ(b.frame.size(), 14u);
    EXPECT_EQ(b.ui.waits, (std::vector<int>{150, kRetryPauseMs}));  // open, one retry pause

    // Three bad replies and a good one: a success, so no beep.
    b.device.injectFault(Fault::BadChecksum, 3);
    ASSERT_TRUE(b.ident());
    EXPECT_EQ(b.link->TransmissionErrors(), 4);
    EXPECT_EQ(b.ui.beeps, 0);

    // Four bad replies: false, four counts, one beep, the frame emptied,
    // OFFLINE shown while Online stays set.
    b.device.injectFault(Fault::BadChecksum, 4);
    const auto served = b.device.framesServed();
    EXPECT_FALSE(b.ident());
    EXPECT_EQ(b.device.framesServed() - served, 4u);
    EXPECT_EQ(b.link->TransmissionErrors(), 8);
    EXPECT_EQ(b.ui.beeps, 1);
    EXPECT_TRUE(b.frame.empty());
    EXPECT_TRUE(b.session.Online);
    EXPECT_FALSE(b.ui.onlineShown.back());
    EXPECT_FALSE(b.ui.menusEnabled.back());

    // The next success turns the label back.
    ASSERT_TRUE(b.ident());
    EXPECT_TRUE(b.ui.onlineShown.back());
}

TEST(Transport, NothingHappensWhileOfflineNorForAFrameThatCannotCarryItsChecksum) {
    Bench b;
    b.session.Online = false;
    const auto served = b.device.framesServed();
    const auto shown = b.ui.onlineShown.size();
    EXPECT_FALSE(b.ident());
    EXPECT_EQ(b.device.framesServed(), served);
    EXPECT_EQ(b.ui.onlineShown.size(), shown);  // the label keeps its text
    EXPECT_EQ(b.frame, readFrame(0x80B0, 8));
    EXPECT_FALSE(std::filesystem::exists(b.traceFile()));
    EXPECT_EQ(b.link->failedTransactions(), 0);  // refused before any traffic

    b.session.Online = true;
    Bytes frame(254, 0);
    frame[0] = cmd::Write;
    EXPECT_FALSE(b.link->Transaction(frame, 255, 1));
    Bytes empty;
    EXPECT_FALSE(b.link->Transaction(empty, 255, 1));
    EXPECT_EQ(b.device.framesServed(), served);
    EXPECT_EQ(b.link->lastAttempts(), 0);
}

// Faults that cost the full waiting time are grouped here.
TEST(Transport, TimeOutsOfTheReplyPhase) {
    Bench b({}, 1);
    // No reply at all: the attempt fails after LinkTimeout, the next succeeds.
    b.device.injectFault(Fault::NoReply, 1);
    ASSERT_TRUE(b.ident());
    EXPECT_EQ(b.link->lastAttempts(), 2);
    EXPECT_EQ(b.link->TransmissionErrors(), 0);

    // A first byte later than LinkTimeout fails the attempt.
    b.device.setLateDelay(std::chrono::milliseconds(320));
    b.device.injectFault(Fault::LateFirstByte, 1);
    ASSERT_TRUE(b.ident());
    EXPECT_EQ(b.link->lastAttempts(), 2);

    // A first byte within LinkTimeout is waited for.
    b.device.setLateDelay(std::chrono::milliseconds(120));
    b.device.injectFault(Fault::LateFirstByte, 1);
    ASSERT_TRUE(b.ident());
    EXPECT_EQ(b.link->lastAttempts(), 1);

    // A reply that stops short fails about 50 ms after its last byte, long
    // before LinkTimeout, four times; then the transaction fails without a
    // count or a beep.
    b.device.injectFault(Fault::ShortReply, 4);
    EXPECT_FALSE(b.ident());
    EXPECT_EQ(b.link->lastAttempts(), 4);
    EXPECT_EQ(b.link->TransmissionErrors(), 0);
    EXPECT_EQ(b.ui.beeps, 0);

    const std::string trace = b.trace();
    EXPECT_EQ(count(trace, "...until 7 Zeichen empfangen"), 4u);
    std::size_t at = 0;
    int shortTimeouts = 0;
    while ((at = trace.find("Error Timeout_2 ", at)) != std::string::npos) {
        at += 16;
        const int ms = std::stoi(trace.substr(at));
        const int limit = std::stoi(trace.substr(trace.find('(', at) + 1));
        EXPECT_EQ(limit, kLinkTimeoutMs);
        if (ms < kLinkTimeoutMs) {
            EXPECT_GE(ms, kReplyGapMs);
            ++shortTimeouts;
        }
    }
    EXPECT_EQ(shortTimeouts, 4);
}

TEST(Transport, LevelOneTracesOnlyTroubledTransactionsWhole) {
    Bench b({}, 1);
    ASSERT_TRUE(b.ident());
    EXPECT_FALSE(std::filesystem::exists(b.traceFile()));

    // Whatever the file held before stays in front.
    test::writeFileBytes(b.traceFile(), "earlier line\n");
    b.device.injectFault(Fault::BadChecksum, 1);
    ASSERT_TRUE(b.ident());
    const std::string trace = b.trace();
    EXPECT_EQ(trace.rfind("earlier line\n", 0), 0u);
    // Both attempts whole, the failed sum once.
    for (const char* line :
         {"FlushOutBuffer\n", "FlushInBuffer\n", "Transmit 4 Zeichen...\n", "TX: B0 80 B0 08\n",
          "repeat warte auf 14 zeichen...\n", "...until 14 Zeichen empfangen\n",
          "RX: B0 80 B0 08 50 56 2D 47 41 53 32 20"}) {
        EXPECT_EQ(count(trace, line), 2u) << line;
    }
    EXPECT_EQ(count(trace, "Error Prüfsumme 14 von 14 zeichen\n"), 1u);

    // A rejected write leaves its own line. It is repeated silently (no
    // count, no beep), changes nothing on the device, and is one failed
    // transaction however many attempts it made.
    b.device.injectFault(Fault::RejectWrite, 4);
    const Bytes before = b.device.peek(0x8178, 4);
    Bytes frame = {cmd::Write, 0x81, 0x78, 0x04, 9, 9, 9, 9};
    EXPECT_FALSE(b.link->Transaction(frame, kFrameCapacity, 1));
    EXPECT_EQ(count(b.trace(), "Error Buff[1] = 224\n"), 4u);
    EXPECT_EQ(count(b.trace(), "Transmit 10 Zeichen...\n"), 4u);
    EXPECT_EQ(b.device.writesRejected(), 4u);
    EXPECT_EQ(b.device.peek(0x8178, 4), before);
    EXPECT_EQ(b.link->TransmissionErrors(), 1);  // the bad sum above only
    EXPECT_EQ(b.ui.beeps, 0);
    EXPECT_FALSE(b.ui.onlineShown.back());
    EXPECT_EQ(b.link->failedTransactions(), 1);

    // The file is named after the day.
    const auto name = b.traceFile().filename().string();
    EXPECT_EQ(name.size(), std::string("2024-01-31-rs232.log").size());
    EXPECT_EQ(name.substr(10), "-rs232.log");

    // Without a data folder the trace goes where the error log goes.
    const Link bare{b.line, b.ui, b.session, {}};
    const auto file = bare.traceFile(std::chrono::system_clock::now());
    EXPECT_EQ(file.parent_path(), ErrorLogFile({}).parent_path());
    EXPECT_TRUE(file.is_absolute()) << file;
}

TEST(Transport, LevelTwoTracesEverythingAndMasksThePassword) {
    sim::DeviceOptions options;
    options.password = "geheim12";
    Bench b(options, 2);
    Bytes frame = readFrame(kAccessRecordAddress, 13);
    ASSERT_TRUE(b.link->Transaction(frame, kFrameCapacity, 17));
    ASSERT_EQ(std::string(frame.begin() + 8, frame.begin() + 16), "geheim12");
    const std::string trace = b.trace();
    EXPECT_NE(trace.find("RX: B0 80 E0 0D "), std::string::npos);
    EXPECT_NE(trace.find(" ** ** ** ** ** ** ** ** "), std::string::npos);
    EXPECT_EQ(trace.find("67 65 68 65 69 6D 31 32"), std::string::npos);  // "geheim12"
    EXPECT_EQ(trace.find("geheim"), std::string::npos);
    EXPECT_EQ(count(trace, "Transmit 4 Zeichen...\n"), 1u);
}

// The float clamps (below 1e-9 either side zero, overflow and the
// infinities clipped) and each float's place in its block are pinned by
// parameter_golden_test.cpp (the random images' ".blocks").
TEST(FrameChecksum, AppendedHighByteFirstWithinCapacity) {
    std::vector<std::uint8_t> frame = {0xA0, 0x81, 0x78, 0x04, 0x11, 0x22, 0x33, 0xFF};
    const unsigned sum = 0xA0 + 0x81 + 0x78 + 0x04 + 0x11 + 0x22 + 0x33 + 0xFF;
    ASSERT_TRUE(AppendChecksum(frame, 255));
    ASSERT_EQ(frame.size(), 10u);
    EXPECT_EQ(frame[8], sum >> 8);
    EXPECT_EQ(frame[9], sum & 0xFF);

    // 253 bytes and their sum fill the capacity exactly; one more does not fit.
    std::vector<std::uint8_t> exact(253, 1);
    EXPECT_TRUE(AppendChecksum(exact, 255));
    EXPECT_EQ(exact.size(), 255u);
    std::vector<std::uint8_t> full(254, 1);
    EXPECT_FALSE(AppendChecksum(full, 255));
    EXPECT_EQ(full.size(), 254u);
}

TEST(FrameChecksum, WireTimeCountsTenBitsPerByte) {
    EXPECT_EQ(WireTime(24, 1200).count(), 200);
    EXPECT_EQ(WireTime(1, 115200).count(), 1);  // rounded up
}

sim::DeviceOptions Options(int medium, std::string password = {}) {
    sim::DeviceOptions o;
    o.medium = medium;
    o.password = std::move(password);
    return o;
}

// Connection settings for Com 3 at 115200 baud, a gas computer expected.
struct ConnectBench : test::LinkBench {
    explicit ConnectBench(sim::DeviceOptions options = {}) : LinkBench(options) {
        session.Online = true;
        session.Anschluss = 2;
        session.Baudrate = 7;
        session.Medium = medium::Gas;
    }
    // The label and the offline menus as last shown (-1: never touched).
    int online() const { return ui.onlineShown.empty() ? -1 : ui.onlineShown.back(); }
    int menus() const { return ui.menusEnabled.empty() ? -1 : ui.menusEnabled.back(); }
    DeviceState state;
};

TEST(ConnectDevice, OnlineOnlyWithAnUnprotectedDeviceOfOurs) {
    const std::vector<std::string> refused = {"0:Kein GAS- oder DAMPF Rechner"};
    struct Case {
        const char* what;
        sim::DeviceOptions options;  // a password makes the device protected
        std::string ident;           // the identity the device holds and is read
        bool silent;
        bool online;
        int medium;
        bool refused;  // the status bar says it is none of ours
    };
    // An identity without its trailing blank (here a NUL in its place), the
    // nearest miss of all other texts, is not one of ours. The session's
    // medium stays.
    const Case cases[] = {
        {"gas", {}, "PV-GAS2 ", false, true, medium::Gas, false},
        {"energy", Options(1), "PV-ENG2 ", false, true, medium::Energy, false},
        {"protected", Options(0, "GEHEIM12"), "PV-GAS2 ", false, false, medium::Gas, false},
        {"silent", {}, "", true, false, medium::Gas, false},
        {"NUL for the blank", Options(1), std::string("PV-GAS2\0", 8), false, false, medium::Gas,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConnectBench b(c.options);
        const std::string& password = c.options.password;
        if (!c.ident.empty())
            b.device.poke(0x80B0, std::vector<std::uint8_t>(c.ident.begin(), c.ident.end()));
        if (c.silent) b.device.injectFault(sim::Fault::NoReply, kTransactionAttempts);
        ConnectDevice(*b.link, b.state);
        EXPECT_EQ(b.session.Online, c.online);
        if (password.empty()) {
            EXPECT_EQ(b.line.isOpen(), c.online);
        }
        if (c.online) {
            EXPECT_EQ(b.link->portName(), DefaultPortName(3));
        }
        EXPECT_EQ(b.session.Medium, c.medium);
        EXPECT_EQ(b.state.DeviceIdent, c.ident);
        EXPECT_EQ(b.state.DeviceAccess.isProtected(), !password.empty());
        if (!password.empty()) {
            EXPECT_EQ(b.state.DeviceAccess.Password, password);
        }
        EXPECT_EQ(b.menus(), c.online ? 0 : 1);
        EXPECT_EQ(b.online(), c.online ? 1 : 0);
        EXPECT_EQ(b.ui.statusTexts, c.refused ? refused : std::vector<std::string>{});
    }
}

// Offline settings open nothing and the device counts as available.
TEST(DeviceAvailable, AlwaysOfflineOnlineOnlyWithASupportedIdentity) {
    ConnectBench b;
    b.session.Online = false;
    ConnectDevice(*b.link, b.state);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_EQ(b.menus(), 1);
    EXPECT_EQ(b.online(), 0);
    EXPECT_TRUE(DeviceAvailable(*b.link, b.state));
    EXPECT_EQ(b.device.framesServed(), 0u);

    b.session.Online = true;
    ConnectDevice(*b.link, b.state);
    ASSERT_TRUE(b.session.Online);
    EXPECT_TRUE(DeviceAvailable(*b.link, b.state));
    b.device.injectFault(sim::Fault::BadChecksum, kTransactionAttempts);
    EXPECT_FALSE(DeviceAvailable(*b.link, b.state));

    // The device answers with another identity after the connection: not
    // available, and the medium stays as identified.
    b.device.poke(0x80B0, std::vector<std::uint8_t>{'P', 'V', '-', 'E', 'N', 'G', '2', 0});
    EXPECT_FALSE(DeviceAvailable(*b.link, b.state));
    EXPECT_EQ(b.session.Medium, medium::Gas);
    EXPECT_TRUE(b.session.Online);
}

}  // namespace
}  // namespace parvion
