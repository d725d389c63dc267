// The termios serial line on a real pseudo-terminal served by the device
// simulator at the device's baud rate: whole operations, faults with real
// timing, a cable pulled in the middle of a transaction, and the reasons a
// port cannot be opened.

#include "core/link/termios_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

struct PtyBench {
    explicit PtyBench(sim::DeviceOptions options = {}) : device(options) {
        std::string error;
        started = server.start(&error);
        EXPECT_TRUE(started) << error;
        session.Baudrate = options.baudIndex;
        link.setPortResolver([this](int) { return server.slavePath(); });
        ui.realWaits = true;
    }
    bool open() { return link.OpenComPort(1, session.Baudrate); }

    test::TempDir dir;
    sim::Device device;
    sim::PtyServer server{device};
    bool started = false;
    TermiosLine line;
    test::RecordingUi ui;
    Session session;
    Link link{line, ui, session, dir.path()};
};

// Runs fn on another thread and tells whether it ended within the limit, so
// that a hang fails the test instead of blocking it.
template <typename Fn>
bool endsWithin(std::chrono::seconds limit, Fn fn) {
    auto done = std::async(std::launch::async, fn);
    return done.wait_for(limit) == std::future_status::ready;
}

TEST(TermiosPty, ParametersTravelBothWays) {
    PtyBench b;
    ASSERT_TRUE(b.open());
    ParameterImage image;
    ASSERT_TRUE(ReadAllParameters(b.link, image));
    image.T_User[0].Max = 812.5f;
    image.Flow_User[1].MaxFreq = 2500;
    ASSERT_TRUE(WriteT_User(b.link, image, 0));
    ASSERT_TRUE(WriteFlow_User(b.link, image, 1));
    ParameterImage back;
    ASSERT_TRUE(ReadT_User(b.link, back, 0));
    ASSERT_TRUE(ReadFlow_User(b.link, back, 1));
    EXPECT_EQ(back.T_User[0], image.T_User[0]);
    EXPECT_EQ(back.Flow_User[1], image.Flow_User[1]);
    EXPECT_EQ(b.link.TransmissionErrors(), 0);
}

TEST(TermiosPty, SlowLineAndFaultsWithRealTiming) {
    sim::DeviceOptions options;
    options.baudIndex = 0;  // 1200 baud: a 38-byte reply takes over 300 ms
    PtyBench b(options);
    b.session.TraceLevel = 1;
    ASSERT_TRUE(b.open());
    ParameterImage image;
    image.FlowKorr[0].Stelle = {0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4};
    // A 38-byte frame needs over 300 ms on the wire: it gets through only
    // because the drain limit grows with the frame. (Attempt counts are not
    // pinned at this rate: a simulator thread starved for more than the 50 ms
    // byte gap on a loaded machine costs an honest extra attempt.)
    ASSERT_TRUE(WriteFlowKorr(b.link, image, 0));
    ParameterImage back;
    ASSERT_TRUE(ReadFlowKorr(b.link, back, 0));
    EXPECT_EQ(back.FlowKorr[0], image.FlowKorr[0]);

    // A wrong sum is counted and the block read again.
    b.device.injectFault(sim::Fault::BadChecksum, 1);
    ASSERT_TRUE(ReadDis_User(b.link, back));
    EXPECT_GE(b.link.lastAttempts(), 2);
    EXPECT_EQ(b.link.TransmissionErrors(), 1);

    // A reply that stops half-way fails each attempt; the record stays.
    b.device.injectFault(sim::Fault::ShortReply, 4);
    back.Display = {1, 2, 3, 4};
    EXPECT_FALSE(ReadDisplay(b.link, back));
    EXPECT_EQ(b.link.lastAttempts(), 4);
    EXPECT_EQ(back.Display, (DisplayRec{1, 2, 3, 4}));
    EXPECT_TRUE(b.session.Online);
    const std::string trace =
        test::readFileBytes(b.link.traceFile(std::chrono::system_clock::now()));
    EXPECT_NE(trace.find("...until 5 Zeichen empfangen"), std::string::npos);  // half of 10
}

TEST(TermiosPty, APulledCableEndsTheTransactionOffline) {
    sim::DeviceOptions options;
    options.baudIndex = 0;
    PtyBench b(options);
    ASSERT_TRUE(b.open());
    ParameterImage image;
    bool result = true;
    // The server goes away while the 38-byte reply is on its way (about
    // 320 ms at 1200 baud): as soon as its first bytes are out, not after a
    // fixed time, so that a loaded machine cannot make the first attempt end
    // by a gap time-out before the cable is pulled.
    std::thread puller([&b] {
        const auto limit = std::chrono::steady_clock::now() + 10s;
        while (b.server.bytesSent() == 0 && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(1ms);
        }
        b.server.stop();
    });
    EXPECT_TRUE(endsWithin(10s, [&] { result = ReadFlowKorr(b.link, image, 1); }));
    puller.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(b.link.lastAttempts(), 1);
    EXPECT_FALSE(b.session.Online);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_TRUE(b.line.failed());
    EXPECT_FALSE(b.ui.onlineShown.back());
    EXPECT_TRUE(b.ui.menusEnabled.back());
}

TEST(TermiosPty, ADroppedLineIsNoticedAtOnce) {
    PtyBench b;
    ASSERT_TRUE(b.open());
    b.device.injectFault(sim::Fault::DropLine, 1);
    ParameterImage image;
    bool result = true;
    EXPECT_TRUE(endsWithin(10s, [&] { result = ReadSystem(b.link, image); }));
    EXPECT_FALSE(result);
    EXPECT_FALSE(b.session.Online);
}

TEST(TermiosPty, WhyAPortCannotBeOpened) {
    PtyBench b;
    // Missing: the reason goes to the error log, the program stays offline.
    b.link.setPortResolver([&b](int) { return (b.dir / "ttyMissing").string(); });
    EXPECT_FALSE(b.link.OpenComPort(2, 7));
    EXPECT_FALSE(b.session.Online);
    const std::string log = test::readFileBytes(b.dir / "Errors.log");
    EXPECT_NE(log.find("Com 2"), std::string::npos) << log;
    EXPECT_NE(log.find("does not exist"), std::string::npos) << log;

    // Busy: another line holds the port.
    TermiosLine first;
    std::string error;
    ASSERT_TRUE(first.open(b.server.slavePath(), 115200, &error)) << error;
    TermiosLine second;
    EXPECT_FALSE(second.open(b.server.slavePath(), 115200, &error));
    EXPECT_NE(error.find("busy"), std::string::npos) << error;
    first.close();
    EXPECT_TRUE(second.open(b.server.slavePath(), 115200, &error)) << error;
    second.close();

    // Not a terminal.
    test::writeFileBytes(b.dir / "plain", "x");
    EXPECT_FALSE(second.open((b.dir / "plain").string(), 9600, &error));
    EXPECT_NE(error.find("not a serial port"), std::string::npos) << error;

    // Permission denied, with the hint a user needs.
    const std::string locked = (b.dir / "plain").string();
    ::chmod(locked.c_str(), 0600);
    ::chmod(b.dir.path().c_str(), 0755);
    const int rc = test::runUnprivileged([&locked] {
        TermiosLine line;
        std::string reason;
        if (line.open(locked, 9600, &reason)) return 2;
        return reason.find("dialout") != std::string::npos ? 0 : 1;
    });
    EXPECT_EQ(rc, 0);
}

}  // namespace
}  // namespace parvion
