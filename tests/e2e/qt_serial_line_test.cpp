// The Qt serial line on a pseudo-terminal served by the device simulator at
// the device's baud rate: the transport and the parameter commands through
// QSerialPort, faults, a pulled cable, and a window that keeps running its
// events while a transaction waits. (A port that does not exist: the link
// status tests of the settings dialog, which opens it through this line.)

#include "gui/app/qt_serial_line.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <string>
#include <thread>

#include "core/link/parameter_blocks.h"
#include "support/pty_link_bench.h"

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

TEST(QtSerialLine, ParametersAndFaultsThroughQSerialPort) {
    QtBench b;
    ASSERT_TRUE(b.open());
    ParameterImage image;
    ASSERT_TRUE(ReadAllParameters(b.link, image));
    image.Des_User[1].DesQN = 1234.5f;
    ASSERT_TRUE(WriteDes_User(b.link, image, 1));
    ParameterImage back;
    ASSERT_TRUE(ReadDes_User(b.link, back, 1));
    EXPECT_EQ(back.Des_User[1], image.Des_User[1]);

    // A reply that stops short is ended by this line's waits (wrong sums and
    // refused writes do not depend on the line: the transport tests).
    b.device.injectFault(sim::Fault::ShortReply, 1);
    ASSERT_TRUE(ReadTrend_User(b.link, back));
    EXPECT_EQ(b.link.lastAttempts(), 2);
    EXPECT_TRUE(b.session.Online);
}

TEST(QtSerialLine, TheWindowKeepsRunningDuringASlowTransaction) {
    sim::DeviceOptions options;
    options.baudIndex = 0;  // 1200 baud: the 38-byte reply takes over 300 ms
    QtBench b(options);
    ASSERT_TRUE(b.open());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(10);
    ParameterImage image;
    ASSERT_TRUE(ReadT_User(b.link, image, 0));
    timer.stop();
    EXPECT_GT(ticks, 5);
    // A long write passes at this rate too.
    image.T_User[0].Konst = 42.0f;
    ASSERT_TRUE(WriteT_User(b.link, image, 0));
    EXPECT_EQ(b.link.lastAttempts(), 1);
}

TEST(QtSerialLine, APulledCableEndsOfflineWithoutSpinning) {
    sim::DeviceOptions options;
    options.baudIndex = 0;
    QtBench b(options);
    ASSERT_TRUE(b.open());
    std::thread puller([&b] {
        std::this_thread::sleep_for(120ms);
        b.server.stop();
    });
    ParameterImage image;
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

}  // namespace
}  // namespace parvion
