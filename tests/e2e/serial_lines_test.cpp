// The serial paths a window uses, on a pseudo-terminal served by the
// device simulator: the Qt serial line, and the termios line through a real
// ser2net in front of it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/app/texts.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "gui/app/qt_serial_line.h"
#include "support/device_records.h"
#include "support/pty_link_bench.h"
#include "support/ser2net.h"

namespace parvion {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Waits with the event loop running, as the window's waits do.
class EventLoopUi : public test::RecordingUi {
  public:
    void waitMs(int ms) override {
        test::RecordingUi::waitMs(ms);
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(1ms);
        }
    }
};

struct QtBench : test::PtyLinkBench<gui::QtSerialLine, EventLoopUi> {
    explicit QtBench(sim::DeviceOptions options = {}) : PtyLinkBench(options) {
        ui.realWaits = false;  // the event loop spends them
    }
};

// The Qt serial line at 1200 baud: the window's events run while a
// transaction waits, a reply that stops short is ended by the line's waits,
// and a cable pulled during a transaction ends it offline. (Its writes and
// reads: CircuitPage in tests/gui/parameters; a port that does not exist: the
// settings dialog's link status tests; wrong sums and refused writes do not
// depend on the line: the transport tests.)
TEST(QtSerialLine, ASlowLineKeepsTheWindowRunningRetriesAShortReplyAndEndsOfflineWhenPulled) {
    sim::DeviceOptions options;
    options.baudIndex = 0;  // 1200 baud: the 38-byte reply takes over 300 ms
    QtBench b(options);
    ASSERT_TRUE(b.open());
    b.device.injectFault(sim::Fault::ShortReply, 1);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(10);
    ParameterImage image;
    ASSERT_TRUE(ReadT_User(b.link, image, 0));
    timer.stop();
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(b.link.lastAttempts(), 2);
    // A long write passes at this rate too.
    image.T_User[0].Konst = 42.0f;
    ASSERT_TRUE(WriteT_User(b.link, image, 0));
    EXPECT_EQ(b.link.lastAttempts(), 1);

    std::thread puller([&b] {
        std::this_thread::sleep_for(120ms);
        b.server.stop();
    });
    const auto start = Clock::now();
    const bool result = ReadFlowKorr(b.link, image, 0);
    const auto took = Clock::now() - start;
    puller.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(b.session.Online);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_TRUE(b.line.failed());
    EXPECT_EQ(b.link.lastAttempts(), 1);
    EXPECT_LT(took, 5s);  // a hang would run into the test's time limit instead
    EXPECT_FALSE(b.ui.onlineShown.back());
    EXPECT_TRUE(b.ui.menusEnabled.back());

    // Offline now: nothing is sent.
    EXPECT_FALSE(ReadSystem(b.link, image));
}

// The simulator on a pseudo-terminal behind a real ser2net (RFC 2217 and raw
// accepters): the parameter set arrives byte for byte as over the local line,
// the baud-rate switch goes through RFC 2217, and a stopped server, a second
// client and a refusing server fail with their cause, with nothing written.

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kRfc2217 = "telnet(rfc2217)";
constexpr const char* kRaw = "";

// The simulated device on a pseudo-terminal behind ser2net's accepters, and
// the program's line to reach it.
struct Station : test::PtyLinkBench<test::TermiosPortLine> {
    explicit Station(std::vector<std::string> accepters, sim::DeviceOptions options = {})
        : PtyLinkBench(options), accepters_(std::move(accepters)) {
        std::vector<test::Ser2netConnection> conns;
        for (const std::string& a : accepters_) {
            conns.push_back({a, server.slavePath(), sim::baudRateOfIndex(options.baudIndex)});
        }
        installed = !test::Ser2netProgram().empty();
        served = ser2net.start(dir.path(), conns, &problem);
    }
    // The ser2net port of accepter i, named for its kind.
    std::string name(std::size_t i) const { return ser2net.name(i, accepters_.at(i) != kRaw); }
    bool open(const std::string& port, int baudIndex) {
        link.setPortResolver([port](int) { return port; });
        session.Online = true;
        return link.OpenComPort(1, baudIndex);
    }

    std::vector<std::string> accepters_;
    test::Ser2net ser2net;
    bool installed = true;
    bool served = true;
    std::string problem;
};

// Skips when ser2net cannot be run at all; fails when it is there and does
// not serve.
#define REQUIRE_SER2NET(station)                                                         \
    do {                                                                                 \
        if (!(station).installed) GTEST_SKIP() << (station).problem;                     \
        ASSERT_TRUE((station).served) << "ser2net did not start: " << (station).problem; \
    } while (false)

using test::EndsWithin;

// The parameter set every write below sends: the device's own, edited.
ParameterImage Edited(ParameterImage image) {
    image.T_User[0].Max = 812.5f;
    image.P_User[1].Min = 1.25f;
    image.Flow_User[1].MaxFreq = 2500;
    image.FlowKorr[0].Stelle = {0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4};
    image.Vorgaben[3] = 250;
    return image;
}

TEST(NetworkLine, ParametersReachTheDeviceByteForByteAsOverTheLocalLine) {
    // The reference: the same writes over the local line.
    test::PtyLinkBench<TermiosLine> local;
    ASSERT_TRUE(local.open());
    ParameterImage image;
    ASSERT_TRUE(ReadAllParameters(local.link, image));
    ParameterImage written = Edited(image);
    WriteAllParameters(local.link, written);
    EXPECT_EQ(local.link.failedTransactions(), 0);
    const Bytes expected = test::StableMemory(local.device);
    ASSERT_NE(expected, test::StableMemory(sim::Device{}));

    for (const char* accepter : {kRfc2217, kRaw}) {
        SCOPED_TRACE(accepter);
        Station s({accepter});
        REQUIRE_SER2NET(s);
        ASSERT_TRUE(s.open(s.name(0), 7)) << LinkCauseName(s.link.lastFailure().cause);
        ParameterImage over;
        ASSERT_TRUE(ReadAllParameters(s.link, over));
        EXPECT_EQ(over, image);
        over = Edited(over);
        WriteAllParameters(s.link, over);
        EXPECT_EQ(s.link.failedTransactions(), 0);
        EXPECT_EQ(test::StableMemory(s.device), expected);
        ParameterImage back;
        ASSERT_TRUE(ReadAllParameters(s.link, back));
        EXPECT_EQ(back, written);
        EXPECT_EQ(s.link.TransmissionErrors(), 0);
    }
}

TEST(NetworkLine, BetriebSwitchesTheRateThroughRfc2217AndNotOverARawPort) {
    Station s({kRfc2217, kRaw});
    REQUIRE_SER2NET(s);
    ParameterImage image;

    // Raw: the server's rate is fixed, so the device keeps its rate and
    // nothing is written.
    ASSERT_TRUE(s.open(s.name(1), 7));
    EXPECT_FALSE(s.line.followsBaudRate());
    EXPECT_FALSE(WriteDeviceBaudRate(s.link, image, 3));
    EXPECT_EQ(s.device.baudIndex(), 7);
    EXPECT_EQ(s.device.writesAccepted(), 0u);
    s.line.close();

    // RFC 2217: the device switches after its reply, the line follows it
    // through the server, and only the new rate reaches the device.
    ASSERT_TRUE(s.open(s.name(0), 7));
    ASSERT_TRUE(WriteDeviceBaudRate(s.link, image, 3));
    EXPECT_EQ(s.device.baudIndex(), 3);
    ASSERT_TRUE(s.link.OpenComPort(1, 3));
    std::string ident;
    EXPECT_TRUE(ReadDeviceIdent(s.link, ident));
    ASSERT_TRUE(s.link.OpenComPort(1, 7));
    s.link.setAttempts(1);
    EXPECT_FALSE(ReadDeviceIdent(s.link, ident));
    EXPECT_EQ(s.link.lastFailure().cause, LinkCause::NoReply);
    EXPECT_GT(s.server.bytesIgnored(), 0u);
}

TEST(NetworkLine, AServerStoppedMidTransactionEndsOfflineWithItsCause) {
    sim::DeviceOptions slow;
    slow.baudIndex = 3;  // 9600: the parameter set takes long enough to stop it in between
    Station s({kRfc2217}, slow);
    REQUIRE_SER2NET(s);
    ASSERT_TRUE(s.open(s.name(0), 3));
    std::thread stopper([&s] {
        const auto limit = Clock::now() + 10s;
        while (s.server.bytesSent() < 200 && Clock::now() < limit) std::this_thread::sleep_for(1ms);
        s.ser2net.stop();
    });
    ParameterImage image;
    bool ok = true;
    // Without the pause a dead line would cost each of the 40-odd blocks
    // its full time-outs.
    EXPECT_TRUE(EndsWithin(10s, [&] { ok = ReadAllParameters(s.link, image); }));
    stopper.join();
    EXPECT_FALSE(ok);
    EXPECT_FALSE(s.session.Online);
    EXPECT_EQ(s.link.lastFailure().cause, LinkCause::PortClosed);
    EXPECT_EQ(s.device.writesAccepted(), 0u);
    const TextLibrary texts(PARVION_BIN_DIR, s.session);
    const std::string why =
        LinkFailureText(s.link.lastFailure(), [&](std::uint16_t n) { return texts.LoadText(n); });
    EXPECT_NE(why.find(s.name(0)), std::string::npos) << why;
    EXPECT_NE(why.find("abgerissen"), std::string::npos) << why;
}

TEST(NetworkLine, ASecondClientAndARefusingServerFailWithTheirCause) {
    Station s({kRfc2217, kRaw, "telnet"});
    REQUIRE_SER2NET(s);
    const TextLibrary texts(PARVION_BIN_DIR, s.session);
    s.session.Sprache = 1;
    struct Case {
        std::string port;
        bool holdFirst;  // another client holds the port
        int errorNumber;
        const char* says;
    };
    // A raw port named rfc2217:// (never answers) is left to the scripted servers.
    const std::vector<Case> cases = {
        {s.name(0), true, ECONNRESET, "another client"},
        {s.name(1), true, ECONNRESET, "another client"},
        {"rfc2217://127.0.0.1:" + std::to_string(s.ser2net.port(2)), false, EOPNOTSUPP,
         "refuses RFC 2217"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        test::TermiosPortLine first;
        std::string error;
        if (c.holdFirst) {
            // The accepters share the device: ser2net lets the next one
            // have it once the last connection has wound down.
            const auto limit = Clock::now() + 3s;
            while (!first.open(c.port, 115200, &error) && Clock::now() < limit) {
                std::this_thread::sleep_for(50ms);
            }
            ASSERT_TRUE(first.isOpen()) << error;
        }
        const auto started = Clock::now();
        EXPECT_FALSE(s.open(c.port, 7));
        EXPECT_LT(Clock::now() - started, 5s);
        EXPECT_FALSE(s.session.Online);
        EXPECT_EQ(s.link.lastFailure().cause, LinkCause::OpenFailed);
        EXPECT_EQ(s.link.lastFailure().errorNumber, c.errorNumber);
        const std::string why = LinkFailureText(s.link.lastFailure(),
                                                [&](std::uint16_t n) { return texts.LoadText(n); });
        EXPECT_NE(why.find(c.port), std::string::npos) << why;
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
        first.close();
    }
    EXPECT_EQ(s.device.writesAccepted(), 0u);
}

}  // namespace
}  // namespace parvion
