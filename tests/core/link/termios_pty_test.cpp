// The termios line on a real pseudo-terminal served by the simulator: slow
// lines, pulled cables, why a port cannot be opened, and each failure's cause.

#include "core/app/error_log.h"
#include "core/link/termios_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/app/texts.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "support/line_decorator.h"
#include "support/pty_link_bench.h"
#include "support/sim_pty.h"
#include "support/unprivileged.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

using PtyBench = test::PtyLinkBench<TermiosLine>;
using test::EndsWithin;

TEST(TermiosPty, ParametersTravelBothWaysAlsoOnASlowLine) {
    // At 1200 baud a 38-byte reply takes over 300 ms; the write passes only
    // because the drain limit grows with the frame. (No attempt count: a
    // starved simulator costs one more.)
    for (const int baudIndex : {7, 0}) {
        SCOPED_TRACE(baudIndex);
        PtyBench b(test::AtBaud(baudIndex));
        ASSERT_TRUE(b.open());
        ParameterImage image;
        ASSERT_TRUE(ReadFlowKorr(b.link, image, 0));  // a record goes out as the device has it
        image.FlowKorr[0].Stelle = {0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4};
        ASSERT_TRUE(WriteFlowKorr(b.link, image, 0));
        ParameterImage back;
        ASSERT_TRUE(ReadFlowKorr(b.link, back, 0));
        EXPECT_EQ(back.FlowKorr[0], image.FlowKorr[0]);
        EXPECT_EQ(b.link.TransmissionErrors(), 0);
    }
}

TEST(TermiosPty, APulledCableEndsTheTransactionOffline) {
    PtyBench b(test::AtBaud(0));
    ASSERT_TRUE(b.open());
    ParameterImage image;
    bool result = true;
    // Pulled once the request is in (not after a fixed time, nor after the
    // reply's first bytes: on a loaded machine the 50 ms gap rule could end
    // the attempt before the pull, and the link would rightly try again).
    std::thread puller([&b] {
        const auto limit = std::chrono::steady_clock::now() + 10s;
        while (b.server.bytesReceived() == 0 && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(1ms);
        }
        b.server.stop();
    });
    EXPECT_TRUE(EndsWithin(10s, [&] { result = ReadFlowKorr(b.link, image, 1); }));
    puller.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(b.link.lastAttempts(), 1);
    EXPECT_FALSE(b.session.Online);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_TRUE(b.line.failed());
    EXPECT_FALSE(b.ui.onlineShown.back());
    EXPECT_TRUE(b.ui.menusEnabled.back());
}

// A line whose output never drains, as a port held back by flow control or
// a driver that has stopped: the request never leaves in time.
class StuckOutputLine : public test::LineDecorator {
  public:
    using LineDecorator::LineDecorator;
    std::size_t bytesPending() override { return 1; }
};

TEST(TermiosPty, EveryFailureKeepsItsCause) {
    struct Case {
        const char* name;
        sim::Fault fault;
        int count;
        std::function<bool(Link&, ParameterImage&)> operation;
        LinkCause cause;
        bool online;  // the session afterwards
    };
    const auto readSystem = [](Link& l, ParameterImage& i) { return ReadSystem(l, i); };
    const auto writeDisplay = [](Link& l, ParameterImage& i) { return WriteDisplay(l, i); };
    const Case cases[] = {
        {"silent device", sim::Fault::NoReply, 4, readSystem, LinkCause::NoReply, true},
        {"reply stops short", sim::Fault::ShortReply, 4, readSystem, LinkCause::IncompleteReply,
         true},
        {"wrong sum", sim::Fault::BadChecksum, 4, readSystem, LinkCause::BadChecksum, true},
        {"write rejected", sim::Fault::RejectWrite, 4, writeDisplay, LinkCause::Rejected, true},
        {"another block's echo", sim::Fault::WrongEcho, 1,
         [](Link& l, ParameterImage& i) { return ReadMed_User(l, i, 0); }, LinkCause::RefusedReply,
         true},
        {"line dropped", sim::Fault::DropLine, 1, readSystem, LinkCause::PortClosed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyBench b;
        ASSERT_TRUE(b.open());
        EXPECT_EQ(b.link.lastFailure().cause, LinkCause::None);
        ParameterImage image;
        ASSERT_TRUE(ReadDisplay(b.link, image));  // so that the write may go out
        b.device.injectFault(c.fault, c.count);
        bool result = true;
        EXPECT_TRUE(EndsWithin(10s, [&] { result = c.operation(b.link, image); }));
        EXPECT_FALSE(result);
        const LinkFailure& f = b.link.lastFailure();
        EXPECT_EQ(LinkCauseName(f.cause), std::string(LinkCauseName(c.cause)));
        EXPECT_EQ(f.port, b.server.slavePath());
        EXPECT_EQ(f.baud, 115200);
        EXPECT_EQ(b.session.Online, c.online);
        // A good transaction afterwards leaves the cause of the failure.
        if (c.online) {
            ASSERT_TRUE(ReadSystem(b.link, image));
            EXPECT_EQ(b.link.lastFailure().cause, c.cause);
        }
    }
}

TEST(TermiosPty, ARequestThatNeverLeavesThePortIsASendTimeout) {
    PtyBench b;
    StuckOutputLine stuck(b.line);
    Link link(stuck, b.ui, b.session, b.dir.path());
    link.setPortResolver([&b](int) { return b.server.slavePath(); });
    ASSERT_TRUE(link.OpenComPort(1, b.session.Baudrate));
    link.setAttempts(1);
    ParameterImage image;
    EXPECT_FALSE(ReadSystem(link, image));
    EXPECT_EQ(link.lastFailure().cause, LinkCause::SendTimeout);
    EXPECT_TRUE(b.session.Online);
}

TEST(TermiosPty, OfflineKeepsTheCauseThatTookTheLinkOffline) {
    PtyBench b;
    ParameterImage image;
    // A port that cannot be opened: every later request names it.
    b.link.setPortResolver([&b](int) { return (b.dir / "ttyMissing").string(); });
    b.session.Online = true;
    EXPECT_FALSE(b.open());
    EXPECT_FALSE(ReadSystem(b.link, image));
    EXPECT_EQ(b.link.lastFailure().cause, LinkCause::OpenFailed);
    EXPECT_EQ(b.link.lastFailure().errorNumber, ENOENT);

    // A port that opens clears it; offline by choice is Offline.
    b.link.setPortResolver([&b](int) { return b.server.slavePath(); });
    ASSERT_TRUE(b.open());
    EXPECT_EQ(b.link.lastFailure().cause, LinkCause::None);
    b.device.injectFault(sim::Fault::NoReply, 4);
    EXPECT_FALSE(ReadSystem(b.link, image));
    b.session.Online = false;
    EXPECT_FALSE(ReadSystem(b.link, image));
    EXPECT_EQ(b.link.lastFailure().cause, LinkCause::Offline);
}

TEST(TermiosPty, OpenFailuresSayWhyAndCarryTheSystemErrorNumber) {
    PtyBench b;
    test::writeFileBytes(b.dir / "plain", "x");
    TermiosLine holder;
    std::string error;
    ASSERT_TRUE(holder.open(b.server.slavePath(), 115200, &error)) << error;
    struct Case {
        std::string path;
        int errorNumber;
        const char* says;
    };
    const Case cases[] = {
        {(b.dir / "ttyMissing").string(), ENOENT, "does not exist"},
        {(b.dir / "plain").string(), ENOTTY, "not a serial port"},
        {b.server.slavePath(), EBUSY, "busy"},  // held by another line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TermiosLine line;
        int number = 0;
        EXPECT_FALSE(line.open(c.path, 9600, &error, &number));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(ErrorName(number), ErrorName(c.errorNumber));
        // Through the link: offline, the cause kept, the reason in the error log.
        b.link.setPortResolver([&c](int) { return c.path; });
        b.session.Online = true;
        EXPECT_FALSE(b.link.OpenComPort(2, 7));
        const LinkFailure& f = b.link.lastFailure();
        EXPECT_EQ(f.cause, LinkCause::OpenFailed);
        EXPECT_EQ(ErrorName(f.errorNumber), ErrorName(c.errorNumber));
        EXPECT_EQ(f.port, c.path);
        EXPECT_FALSE(b.session.Online);
        const std::string log = test::readFileBytes(b.dir / "Errors.log");
        EXPECT_NE(log.find("Com 2 (" + c.path + ")"), std::string::npos) << log;
        EXPECT_NE(log.rfind(c.says), std::string::npos) << log;
    }
    // Once the holder lets go, the port opens.
    holder.close();
    TermiosLine second;
    EXPECT_TRUE(second.open(b.server.slavePath(), 115200, &error)) << error;

    // Permission denied, as a user outside the dialout group meets it.
    const std::string locked = (b.dir / "plain").string();
    ::chmod(locked.c_str(), 0600);
    ::chmod(b.dir.path().c_str(), 0755);
    const int rc = test::runUnprivileged([&locked] {
        TermiosLine line;
        std::string reason;
        int number = 0;
        if (line.open(locked, 9600, &reason, &number)) return 2;
        if (reason.find("dialout") == std::string::npos) return 1;
        return number == EACCES ? 0 : 3;
    });
    EXPECT_EQ(rc, 0);
}

// Each cause named in the user's language, by the four string libraries.
TEST(LinkFailureText, EveryCauseInBothLanguagesAndBothVariants) {
    const std::string port = "/dev/ttyUSB0";
    const std::pair<LinkCause, int> all[] = {
        {LinkCause::Offline, 0},         {LinkCause::PortClosed, 0},
        {LinkCause::NoReply, 0},         {LinkCause::IncompleteReply, 0},
        {LinkCause::BadChecksum, 0},     {LinkCause::Rejected, 0},
        {LinkCause::RefusedReply, 0},    {LinkCause::SendTimeout, 0},
        {LinkCause::BadFrame, 0},        {LinkCause::OpenFailed, ENOENT},
        {LinkCause::OpenFailed, EACCES}, {LinkCause::OpenFailed, EBUSY},
        {LinkCause::OpenFailed, ENOTTY}, {LinkCause::OpenFailed, EINVAL},
        {LinkCause::OpenFailed, EIO},
    };
    for (int medium = 0; medium < 2; ++medium) {
        Session session;
        session.Medium = medium;
        const TextLibrary lib(PARVION_BIN_DIR, session);
        const auto text = [&lib](std::uint16_t n) { return lib.LoadText(n); };
        for (const auto& [cause, errorNumber] : all) {
            SCOPED_TRACE(std::string(LinkCauseName(cause)) + " " + std::to_string(errorNumber));
            const LinkFailure f{cause, errorNumber, "", port, 1200};
            session.Sprache = 0;
            const std::string german = LinkFailureText(f, text);
            session.Sprache = 1;
            const std::string english = LinkFailureText(f, text);
            EXPECT_FALSE(german.empty());
            EXPECT_NE(german, english);
            for (const std::string& t : {german, english}) {
                EXPECT_EQ(t.find('%'), std::string::npos) << t;
                if (cause == LinkCause::OpenFailed || cause == LinkCause::PortClosed ||
                    cause == LinkCause::SendTimeout) {
                    EXPECT_NE(t.find(port), std::string::npos) << t;
                }
                if (errorNumber == EACCES) {
                    EXPECT_NE(t.find("dialout"), std::string::npos) << t;
                }
            }
            if (errorNumber == EIO) {
                EXPECT_NE(english.find("EIO"), std::string::npos) << english;
            }
            if (cause == LinkCause::SendTimeout) {
                EXPECT_NE(english.find("1200"), std::string::npos) << english;
            }
            if (cause == LinkCause::NoReply) {
                EXPECT_EQ(english, lib.LoadText(49));
            }
        }
    }
    EXPECT_EQ(LinkFailureText(LinkFailure{}, [](std::uint16_t) { return "x"; }), "");
}

}  // namespace
}  // namespace parvion
