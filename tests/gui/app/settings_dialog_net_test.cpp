// The settings dialog with "Com 1" mapped to a network port, over the window
// program's line (the core's socket line waiting in the event loop) and the
// simulator's TCP front: the port list names the host, OK connects and
// switches the device's rate through RFC 2217, a raw TCP port keeps the
// server's rate and says so (the connection test's report of a network
// port: cli_doctor_test).

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "gui/app/settings_dialog_rig.h"
#include "gui/app/window_line.h"
#include "sim/lib/device.h"
#include "sim/lib/tcp_server.h"

namespace parvion::test {
namespace {

struct NetRig {
    explicit NetRig(bool rfc2217)
        : server(device, rfc2217), started(start()), rig(line, name, false) {
        rig.ui.realWaits = true;
    }
    bool start() {
        std::string error;
        const bool ok = server.start("127.0.0.1", 0, &error);
        name = server.portName();
        return ok;
    }
    QString firstPortItem() const {
        return rig.dialog->Com_Grp->findChildren<QRadioButton*>().at(0)->text();
    }
    sim::Device device;
    sim::TcpServer server;
    std::string name;
    bool started;
    gui::WindowLine line;
    EinstRig rig;
};

TEST(SettingsDialogNet, AnRfc2217PortConnectsAndSwitchesTheRate) {
    NetRig n(true);
    ASSERT_TRUE(n.started);
    EinstRig& r = n.rig;
    r.open();
    const QString host = QStringLiteral("127.0.0.1:%1").arg(n.server.port());
    EXPECT_EQ(n.firstPortItem(), QStringLiteral("Com 1  %1 (RFC 2217)").arg(host));
    EXPECT_FALSE(r.dialog->NetNote->isVisible());

    ClickItem(r.dialog->Zustand_Grp, 1);
    ClickItem(r.dialog->Bd_Grp, 7);
    r.ok();
    ASSERT_EQ(r.dialog->lastResult(), ConnectionResult::Online) << r.errorLog();
    EXPECT_TRUE(n.line.network());

    // Online, another rate: Betrieb first, then the line follows through
    // the server.
    r.open();
    ClickItem(r.dialog->Bd_Grp, 4);
    r.ok();
    EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::Online) << r.errorLog();
    EXPECT_EQ(n.device.baudIndex(), 4);
    EXPECT_EQ(n.server.clientBaud(), 19200);
    EXPECT_EQ(r.session.Baudrate, 4);

    EXPECT_EQ(n.device.writesAccepted(), 1u);  // the Betrieb switch alone
}

TEST(SettingsDialogNet, ARawPortKeepsTheServersRateAndSaysSo) {
    NetRig n(false);
    ASSERT_TRUE(n.started);
    EinstRig& r = n.rig;
    r.session.Sprache = 1;
    r.open();
    EXPECT_TRUE(n.firstPortItem().endsWith(QStringLiteral(" (TCP)")));
    EXPECT_TRUE(r.dialog->NetNote->isVisible());
    EXPECT_EQ(r.dialog->NetNote->text(),
              QStringLiteral("Com 1 is a raw TCP port: the baud rate is set on the server."));
    ClickItem(r.dialog->Zustand_Grp, 1);
    r.ok();
    ASSERT_EQ(r.dialog->lastResult(), ConnectionResult::Online) << r.errorLog();

    // Another rate cannot reach the device behind the server: nothing is
    // written, the device and the program keep the rate they have.
    r.open();
    ClickItem(r.dialog->Bd_Grp, 4);
    r.ok();
    EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_EQ(n.device.baudIndex(), 7);
    EXPECT_EQ(n.device.writesAccepted(), 0u);
    EXPECT_EQ(r.session.Baudrate, 7);
    EXPECT_NE(r.errorLog().find("SetBetrieb"), std::string::npos);
}

}  // namespace
}  // namespace parvion::test
