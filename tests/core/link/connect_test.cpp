// Start-up identification and the availability test, against the simulator.

#include "core/link/connect.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/link/transport.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

// Records the user-interface effects of the connection.
class ConnectUi : public UiHooks {
  public:
    void showOnline(bool online) override { label = online ? "ONLINE" : "OFFLINE"; }
    void enableOfflineMenus(bool enabled) override { menusEnabled = enabled ? 1 : 0; }
    void statusText(int panel, const std::string& text) override {
        status.push_back(std::to_string(panel) + ":" + text);
    }
    void waitMs(int) override {}

    std::string label;
    int menusEnabled = -1;
    std::vector<std::string> status;
};

sim::DeviceOptions Options(int medium, std::string ident = {}, std::string password = {}) {
    sim::DeviceOptions o;
    o.medium = medium;
    o.ident = std::move(ident);
    o.password = std::move(password);
    return o;
}

struct Bench {
    explicit Bench(sim::DeviceOptions options = {}) : device(options) {
        session.Online = true;
        session.Anschluss = 2;
        session.Baudrate = 7;
        session.Medium = medium::Gas;
    }
    sim::Device device;
    sim::SimLine line{device};
    ConnectUi ui;
    Session session;
    test::TempDir dir;
    Link link{line, ui, session, dir.path()};
    DeviceState state;
};

TEST(ConnectDevice, GasDeviceGoesOnline) {
    Bench b;
    ConnectDevice(b.link, b.state);
    EXPECT_TRUE(b.session.Online);
    EXPECT_TRUE(b.line.isOpen());
    EXPECT_EQ(b.link.portName(), DefaultPortName(3));
    EXPECT_EQ(b.session.Medium, medium::Gas);
    EXPECT_EQ(b.state.DeviceIdent, "PV-GAS2 ");
    EXPECT_FALSE(b.state.DeviceAccess.isProtected());
    EXPECT_EQ(b.ui.menusEnabled, 0);
    EXPECT_EQ(b.ui.label, "ONLINE");
    EXPECT_TRUE(b.ui.status.empty());
}

TEST(ConnectDevice, EnergyDeviceSetsTheMedium) {
    Bench b(Options(1));
    ConnectDevice(b.link, b.state);
    EXPECT_TRUE(b.session.Online);
    EXPECT_EQ(b.session.Medium, medium::Energy);
    EXPECT_EQ(b.state.DeviceIdent, "PV-ENG2 ");
}

TEST(ConnectDevice, UnknownIdentityIsRefused) {
    // Without the trailing blank (here a NUL in its place) the identity is
    // not one of ours; nor is any other text.
    for (const std::string& ident : {std::string("PV-GAS2\0", 8), std::string("PV-GAS2X"),
                                     std::string("pv-gas2 "), std::string("PV-ENG1 ")}) {
        Bench b(Options(1));
        b.device.poke(0x80B0, std::vector<std::uint8_t>(ident.begin(), ident.end()));
        ConnectDevice(b.link, b.state);
        EXPECT_FALSE(b.session.Online) << ident;
        EXPECT_FALSE(b.line.isOpen()) << ident;
        EXPECT_EQ(b.state.DeviceIdent, ident);
        EXPECT_EQ(b.session.Medium, medium::Gas) << ident;
        EXPECT_EQ(b.ui.status, std::vector<std::string>{"0:Kein GAS- oder DAMPF Rechner"});
        EXPECT_EQ(b.ui.menusEnabled, 1);
        EXPECT_EQ(b.ui.label, "OFFLINE");
    }
}

TEST(ConnectDevice, ProtectedDeviceStaysOffline) {
    Bench b(Options(0, {}, "GEHEIM12"));
    ConnectDevice(b.link, b.state);
    EXPECT_FALSE(b.session.Online);
    EXPECT_TRUE(b.state.DeviceAccess.isProtected());
    EXPECT_EQ(b.state.DeviceAccess.Password, "GEHEIM12");
    EXPECT_EQ(b.state.DeviceIdent, "PV-GAS2 ");
    EXPECT_EQ(b.ui.menusEnabled, 1);
    EXPECT_EQ(b.ui.label, "OFFLINE");
    EXPECT_TRUE(b.ui.status.empty());
}

TEST(ConnectDevice, SilentDeviceLeavesTheProgramOffline) {
    Bench b;
    b.device.injectFault(sim::Fault::NoReply, kTransactionAttempts);
    ConnectDevice(b.link, b.state);
    EXPECT_FALSE(b.session.Online);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_EQ(b.state.DeviceIdent, "");
    EXPECT_EQ(b.ui.menusEnabled, 1);
    EXPECT_EQ(b.ui.label, "OFFLINE");
    EXPECT_TRUE(b.ui.status.empty());
}

TEST(ConnectDevice, OfflineSettingsOpenNothing) {
    Bench b;
    b.session.Online = false;
    ConnectDevice(b.link, b.state);
    EXPECT_FALSE(b.line.isOpen());
    EXPECT_EQ(b.device.framesServed(), 0u);
    EXPECT_EQ(b.ui.menusEnabled, 1);
    EXPECT_EQ(b.ui.label, "OFFLINE");
}

TEST(DeviceAvailable, OfflineAlwaysAvailable) {
    Bench b;
    b.session.Online = false;
    EXPECT_TRUE(DeviceAvailable(b.link, b.state));
    EXPECT_EQ(b.device.framesServed(), 0u);
}

TEST(DeviceAvailable, OnlineOnlyWithASupportedIdentity) {
    Bench gas;
    ConnectDevice(gas.link, gas.state);
    ASSERT_TRUE(gas.session.Online);
    EXPECT_TRUE(DeviceAvailable(gas.link, gas.state));
    gas.device.injectFault(sim::Fault::BadChecksum, kTransactionAttempts);
    EXPECT_FALSE(DeviceAvailable(gas.link, gas.state));

    // The device answers with another identity after the connection: not
    // available, and the medium stays as identified.
    Bench other;
    ConnectDevice(other.link, other.state);
    ASSERT_TRUE(other.session.Online);
    other.device.poke(0x80B0, std::vector<std::uint8_t>{'P', 'V', '-', 'E', 'N', 'G', '2', 0});
    EXPECT_FALSE(DeviceAvailable(other.link, other.state));
    EXPECT_EQ(other.session.Medium, medium::Gas);
    EXPECT_TRUE(other.session.Online);
}

}  // namespace
}  // namespace parvion
