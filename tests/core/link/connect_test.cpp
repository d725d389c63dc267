// Start-up identification and the availability test, against the simulator.

#include "core/link/connect.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/link_bench.h"

namespace parvion {
namespace {

sim::DeviceOptions Options(int medium, std::string ident = {}, std::string password = {}) {
    sim::DeviceOptions o;
    o.medium = medium;
    o.ident = std::move(ident);
    o.password = std::move(password);
    return o;
}

// Connection settings for Com 3 at 115200 baud, a gas computer expected.
struct Bench : test::LinkBench {
    explicit Bench(sim::DeviceOptions options = {}) : LinkBench(options) {
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
    // Without the trailing blank (here a NUL in its place) the identity is
    // not one of ours; nor is any other text. The session's medium stays.
    const Case cases[] = {
        {"gas", {}, "PV-GAS2 ", false, true, medium::Gas, false},
        {"energy", Options(1), "PV-ENG2 ", false, true, medium::Energy, false},
        {"protected", Options(0, {}, "GEHEIM12"), "PV-GAS2 ", false, false, medium::Gas, false},
        {"silent", {}, "", true, false, medium::Gas, false},
        {"NUL for the blank", Options(1), std::string("PV-GAS2\0", 8), false, false, medium::Gas,
         true},
        {"an old device", Options(1), "PV-ENG1 ", false, false, medium::Gas, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench b(c.options);
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

TEST(ConnectDevice, OfflineSettingsOpenNothingAndTheDeviceCountsAsAvailable) {
    Bench b;
    b.session.Online = false;
    ConnectDevice(*b.link, b.state);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_EQ(b.menus(), 1);
    EXPECT_EQ(b.online(), 0);
    EXPECT_TRUE(DeviceAvailable(*b.link, b.state));
    EXPECT_EQ(b.device.framesServed(), 0u);
}

TEST(DeviceAvailable, OnlineOnlyWithASupportedIdentity) {
    Bench gas;
    ConnectDevice(*gas.link, gas.state);
    ASSERT_TRUE(gas.session.Online);
    EXPECT_TRUE(DeviceAvailable(*gas.link, gas.state));
    gas.device.injectFault(sim::Fault::BadChecksum, kTransactionAttempts);
    EXPECT_FALSE(DeviceAvailable(*gas.link, gas.state));

    // The device answers with another identity after the connection: not
    // available, and the medium stays as identified.
    Bench other;
    ConnectDevice(*other.link, other.state);
    ASSERT_TRUE(other.session.Online);
    other.device.poke(0x80B0, std::vector<std::uint8_t>{'P', 'V', '-', 'E', 'N', 'G', '2', 0});
    EXPECT_FALSE(DeviceAvailable(*other.link, other.state));
    EXPECT_EQ(other.session.Medium, medium::Gas);
    EXPECT_TRUE(other.session.Online);
}

}  // namespace
}  // namespace parvion
