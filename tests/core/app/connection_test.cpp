// The connection sequence of the settings dialog against the simulated
// device on a pseudo-terminal: every way it ends, the variant switch, the
// device password, the device's baud rate and the first transfer in both
// directions; the small rules it is built from, and what the dialog says
// while it connects and why it stays open.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/app/connection.h"
#include "core/app/error_log.h"
#include "core/app/texts.h"
#include "core/link/link_failure.h"
#include "core/link/parameter_blocks.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "support/recording_ui.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

using test::RecordingUi;
using test::SimPty;
using test::TempDir;

constexpr std::uint16_t kReady0 = block::Med_User(0).address + 2;
constexpr std::uint16_t kReady1 = block::Med_User(1).address + 2;

// RunConnection with what the settings dialog gives it: "Com 1" is the
// simulated device, "Com 2" a port that does not exist. The hooks count
// what the main window and the password dialog were asked for.
struct Rig {
    explicit Rig(sim::DeviceOptions options = {}, bool online = false, int medium = 0)
        : pty(options), link(line, ui, session, dir.path()), texts(PARVION_BIN_DIR, session) {
        session.Medium = medium;
        session.Baudrate = 7;
        link.setPortResolver(
            [this](int n) { return n == 1 ? pty.path() : (dir / "ttyUSB9").string(); });
        link.setErrorLog(ErrorLogIn(dir.path()));
        if (online) {
            session.Online = true;
            link.OpenComPort(1, 7);
        }
        hooks.variantChanged = [this] { ++variantChanges; };
        hooks.rememberedPassword = [this] { return remembered; };
        hooks.askPassword = [this] {
            ++asked;
            return typed;
        };
        hooks.fillParameterPages = [this] { ++fills; };
    }
    ConnectionOutcome run(ConnectionRequest request) {
        return RunConnection(link, image, state, texts, dir.path(), request, hooks);
    }
    std::string errorLog() const { return test::readFileBytes(dir / "Errors.log"); }  // "": none
    std::string text(std::uint16_t n) const { return texts.LoadText(n); }

    SimPty pty;
    TempDir dir;
    RecordingUi ui;
    Session session;
    ParameterImage image;
    DeviceState state;
    TermiosLine line;
    Link link;
    TextLibrary texts;
    ConnectionHooks hooks;
    std::string remembered, typed;
    int variantChanges = 0, asked = 0, fills = 0;
};

ConnectionRequest Online(int baudIndex = 7, bool transferShown = true) {
    ConnectionRequest r;
    r.online = true;
    r.baudIndex = baudIndex;
    r.transferShown = transferShown;
    return r;
}

sim::DeviceOptions Device(int baudIndex, std::string ident = {}, std::string password = {}) {
    sim::DeviceOptions o;
    o.baudIndex = baudIndex;
    o.ident = std::move(ident);
    o.password = std::move(password);
    return o;
}

TEST(Connection, EveryWayTheSequenceEnds) {
    struct Case {
        const char* name;
        sim::DeviceOptions device;
        bool online;  // before
        ConnectionRequest request;
        std::function<void(Rig&)> prepare;
        ConnectionResult result;
        const char* logged;    // "": nothing
        std::uint16_t status;  // 0: none; %1 the missing port
    };
    const auto none = [](Rig&) {};
    ConnectionRequest secondPort = Online();
    secondPort.comIndex = 1;
    const std::vector<Case> cases = {
        {"offline chosen", Device(7), true, {}, none, ConnectionResult::Offline, "", 0},
        {"online from offline", Device(7), false, Online(), none, ConnectionResult::Online, "", 0},
        {"the device listens at another rate", Device(6), false, Online(), none,
         ConnectionResult::KeepOpen, "ERROR:  Einst, OK, GetInitString\n", kTextNoAnswer},
        {"the port does not exist", Device(7), false, secondPort, none, ConnectionResult::KeepOpen,
         "ttyUSB9) cannot be opened: the port does not exist", link_text::PortMissing},
        {"an unknown device", Device(7, "PV-XYZ9 "), false, Online(), none,
         ConnectionResult::ClosedOffline,
         "ERROR:  Einst, OK, GetInitString ?"
         "?(PV-XYZ9 )",
         0},
        {"an unreadable system record", Device(7), false, Online(),
         [](Rig& r) {
             r.pty.device.injectFault(sim::Fault::None, 1);  // the identity goes through
             r.pty.device.injectFault(sim::Fault::NoReply, 4);
         },
         ConnectionResult::ClosedOffline, "ERROR:  Einst, OK, GetSystem_user", 0},
        {"a wrong password", Device(7, "", "Geheim"), false, Online(),
         [](Rig& r) { r.typed = "geheim"; }, ConnectionResult::PasswordRefused,
         "ERROR:  Einst, OK, Password", kTextPasswordRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.device, c.online);
        r.session.Anschluss = 5;
        c.prepare(r);
        const ConnectionOutcome out = r.run(c.request);
        const bool connected = c.result == ConnectionResult::Online;
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.closesDialog(), c.result != ConnectionResult::KeepOpen);
        EXPECT_EQ(out.baudIndex, c.request.baudIndex);
        EXPECT_EQ(r.session.Online, connected);
        // An unknown or unreadable device leaves the port to the closing dialog.
        EXPECT_EQ(r.line.isOpen(), connected || c.result == ConnectionResult::ClosedOffline);
        // Port and rate are taken only by a connection.
        EXPECT_EQ(r.session.Anschluss, connected ? 0 : 5);
        EXPECT_EQ(r.fills, connected ? 1 : 0);
        const std::string log = r.errorLog();
        EXPECT_EQ(r.ui.beeps, *c.logged != '\0' ? 1 : 0);
        EXPECT_TRUE(*c.logged != '\0' ? log.find(c.logged) != std::string::npos : log.empty())
            << log;
        const std::string status =
            c.status == 0
                ? ""
                : views::FillPlaceholders(r.text(c.status), {(r.dir / "ttyUSB9").string()});
        EXPECT_EQ(out.status, status);
        if (!status.empty()) {
            EXPECT_EQ(r.ui.statusTexts.back(), "0:" + status);
        }
    }
}

// Going online reads the identity and the system record and, with the
// transfer choice shown, the whole parameter set; online again, without the
// choice, only identity, system and access records.
TEST(Connection, OnlineReadsTheDeviceAndTheParametersWhenOffered) {
    Rig r;
    r.session.Baudrate = 3;  // remembered; the device talks at 115200
    ASSERT_EQ(r.run(Online()).result, ConnectionResult::Online);
    EXPECT_EQ(r.session.Baudrate, 7);
    EXPECT_EQ(r.state.DeviceIdent, "PV-GAS2 ");
    EXPECT_GT(r.pty.device.framesServed(0xB0), 30u);
    EXPECT_EQ(r.pty.device.framesServed(0xA0), 0u);
    EXPECT_GE(r.ui.progressHides, 1);
    SystemRec expected;
    ASSERT_TRUE(codec::Decode(r.pty.device.peek(block::System.address, 16), expected));
    EXPECT_EQ(r.image.System.Ausbaustufe, expected.Ausbaustufe);
    EXPECT_EQ(r.image.System.Faktor, expected.Faktor);

    const auto before = r.pty.device.framesServed();
    ASSERT_EQ(r.run(Online(7, false)).result, ConnectionResult::Online);
    EXPECT_EQ(r.pty.device.framesServed() - before, 3u);
    EXPECT_EQ(r.fills, 1);
}

// A program of the other variant, or one that met an unknown device, takes
// the device's variant; one of the same variant changes nothing.
TEST(Connection, TheProgramTakesTheDevicesVariant) {
    for (const int programMedium : {1, static_cast<int>(medium::Unknown), 0}) {
        SCOPED_TRACE(programMedium);
        Rig r({}, false, programMedium);
        EXPECT_EQ(r.run(Online()).result, ConnectionResult::Online);
        EXPECT_EQ(r.session.Medium, 0);
        EXPECT_EQ(r.variantChanges, programMedium != 0 ? 1 : 0);
    }
}

// The remembered password is tried first, then the user is asked; the
// typed text is padded with '-' to 8 characters and case matters. A device
// keeping "--------" takes an empty entry.
TEST(Connection, ThePasswordRememberedOrAsked) {
    const struct {
        const char* device;
        const char* remembered;
        const char* typed;
        int asked;
        bool online;
    } cases[] = {
        {"pw12", "pw12", "", 0, true},
        {"Geheim", "falsch", "Geheim", 1, true},
        // Case matters: "a wrong password" in EveryWayTheSequenceEnds.
        {"Geheim", "", "", 1, false},
        {"-", "x", "", 1, true},
        {"", "x", "y", 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.device) + " / " + c.remembered + " / " + c.typed);
        Rig r(Device(7, "", c.device));
        r.remembered = c.remembered;
        r.typed = c.typed;
        const ConnectionOutcome out = r.run(Online());
        EXPECT_EQ(r.asked, c.asked);
        EXPECT_EQ(r.session.Online, c.online);
        EXPECT_EQ(out.result,
                  c.online ? ConnectionResult::Online : ConnectionResult::PasswordRefused);
        // No transfer without the password.
        EXPECT_EQ(r.fills, c.online ? 1 : 0);
    }
}

// Online, another rate: the device switches first, over the line as it
// was, and the line follows; a device that refuses keeps the old rate.
TEST(Connection, TheDeviceChangesItsRateFirst) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "accepted");
        Rig r({}, true);
        if (refused) {
            r.pty.device.injectFault(sim::Fault::None, 1);  // the read of Betrieb before its write
            r.pty.device.injectFault(sim::Fault::RejectWrite, 4);
        }
        const ConnectionOutcome out = r.run(Online(4, false));
        const int rate = refused ? 7 : 4;
        EXPECT_EQ(out.result, ConnectionResult::Online);
        // The rate the dialog, the session, the program's set and the device hold.
        EXPECT_EQ((std::vector<int>{out.baudIndex, r.session.Baudrate, r.image.Betrieb.Bytes[0],
                                    r.pty.device.baudIndex()}),
                  std::vector<int>(4, rate));
        EXPECT_EQ(r.link.baudRate(), refused ? 115200 : 19200);
        EXPECT_EQ(r.errorLog().find("ERROR:  Einst, OK, SetBetrieb") != std::string::npos, refused)
            << r.errorLog();
        // The device's other operating bytes stay as they were.
        EXPECT_EQ(r.pty.device.peek(0x80EC, 4),
                  (std::vector<std::uint8_t>{static_cast<std::uint8_t>(rate), 0x01, 0x5A, 0x03}));
    }
}

// The first transfer to the device writes the program's set; the device's
// Ready flags survive when its gas composition is the one written, and are
// cleared in both circuits otherwise.
TEST(Connection, TheTransferToTheDeviceKeepsReadyOnlyForTheSameGas) {
    for (const bool otherGas : {false, true}) {
        SCOPED_TRACE(otherGas ? "other gas" : "same gas");
        Rig r;
        ASSERT_TRUE(codec::Decode(r.pty.device.peek(block::EG_User.address, 16), r.image.EG_User));
        const std::uint8_t ready = 1;
        r.pty.device.poke(kReady0, std::span(&ready, 1));
        r.pty.device.poke(kReady1, std::span(&ready, 1));
        r.image.Med_User[0].Ready = 0;
        r.image.Med_User[1].Ready = 0;
        r.image.Med_User[0].Rho = 0.83f;
        if (otherGas) r.image.EG_User.H2 += 1.0f;
        const EG_UserRec program = r.image.EG_User;
        ConnectionRequest request = Online();
        request.transfer = transfer::ToDevice;
        ASSERT_EQ(r.run(request).result, ConnectionResult::Online);
        EXPECT_GT(r.pty.device.writesAccepted(), 20u);
        EXPECT_EQ(r.fills, 0);
        EXPECT_EQ(r.pty.device.peek(kReady0, 1)[0], otherGas ? 0 : 1);
        EXPECT_EQ(r.pty.device.peek(kReady1, 1)[0], otherGas ? 0 : 1);
        Med_UserRec medium;
        ASSERT_TRUE(codec::Decode(r.pty.device.peek(block::Med_User(0).address, 32), medium));
        EXPECT_EQ(medium.Rho, 0.83f);
        EG_UserRec gas;
        ASSERT_TRUE(codec::Decode(r.pty.device.peek(block::EG_User.address, 16), gas));
        EXPECT_EQ(gas, program);
    }
}

TEST(Connection, PasswordRefreshAndPortRules) {
    EXPECT_EQ(PadPassword(""), "--------");
    EXPECT_EQ(PadPassword("123456789"), "12345678");
    EXPECT_TRUE(PasswordMatches("Geheim", "Geheim--"));
    EXPECT_FALSE(PasswordMatches("geheim", "Geheim--"));

    const int intervals[] = {10000, 10000, 2000, 5000, 10000};
    for (int choice = -1; choice < 4; ++choice) {
        SCOPED_TRACE(choice);
        EXPECT_EQ(RefreshIntervalMs(choice), intervals[choice + 1]);
        EXPECT_EQ(RefreshTimerRuns(choice), choice == 1 || choice == 2);
    }

    EXPECT_TRUE(PortExists("/dev/null"));
    EXPECT_FALSE(PortExists("/nonexistent/port"));
    EXPECT_FALSE(PortExists(""));
    struct Item {
        const char* label;
        const char* path;
        bool exists;
        const char* text;
    };
    for (const Item& i :
         {Item{"Com 1", "/dev/ttyS0", true, "Com 1  /dev/ttyS0 \u2713"},
          Item{"Com 6", "tcp://host", false, "Com 6  tcp://host \u2717"},
          Item{"Com 3", "", false, "Com 3"},
          Item{"Com 4", "rfc2217://station-7:4001", false, "Com 4  station-7:4001 (RFC 2217)"},
          Item{"Com 5", "tcp://10.0.0.5:4002", false, "Com 5  10.0.0.5:4002 (TCP)"}}) {
        EXPECT_EQ(PortItemText(i.label, i.path, i.exists), i.text);
    }
}

TEST(ConnectionProgress, NamesPortRateAndCause) {
    Session english;
    english.Sprache = 1;
    const TextLibrary library(PARVION_BIN_DIR, english);
    const views::TextLoader text = [&library](std::uint16_t n) { return library.LoadText(n); };
    const std::tuple<const char*, const char*, int, const char*> cases[] = {
        {"Com 2", "/dev/ttyUSB0", 4, "Connecting to Com 2 (/dev/ttyUSB0) at 19200 baud …"},
        {"Com 1 /dev/ttyS0", "/dev/ttyS0", 7, "Connecting to Com 1 /dev/ttyS0 at 115200 baud …"},
        {"Com 3", "", 0, "Connecting to Com 3 at 1200 baud …"},
        {"", "/dev/pts/4", 3, "Connecting to /dev/pts/4 at 9600 baud …"},
        {"Com 1", "/dev/ttyS0", 8, "Connecting to Com 1 (/dev/ttyS0) at ? baud …"},
    };
    for (const auto& [label, path, baud, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(ConnectingText(text, label, path, baud), expected);
    }
    EXPECT_EQ(NotConnectedText(text, "No reply"), "Not connected: No reply");
    EXPECT_EQ(NotConnectedText(text, ""), "");
}

}  // namespace
}  // namespace parvion
