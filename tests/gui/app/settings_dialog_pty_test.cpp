// The settings dialog over the real serial path: the Qt serial line on a
// pseudo-terminal served by the simulated device, with baud-rate pacing. A
// device that changes its rate, and a protected device.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "gui/app/qt_serial_line.h"
#include "gui/app/settings_dialog_rig.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"

namespace parvion::test {
namespace {

struct PtyRig {
    explicit PtyRig(sim::DeviceOptions options, bool online)
        : device(options), server(device), started(start()), rig(line, path, online) {
        rig.ui.realWaits = true;
    }
    bool start() {
        std::string error;
        const bool ok = server.start(&error);
        path = server.slavePath();
        return ok;
    }
    sim::Device device;
    sim::PtyServer server;
    std::string path;
    bool started;
    gui::QtSerialLine line;
    EinstRig rig;
};

TEST(SettingsDialogPty, DeviceChangesItsBaudRateAndAnswersAtTheNewOne) {
    PtyRig p({}, true);
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.rig.session.Online);
    p.rig.open();
    ClickItem(p.rig.dialog->Bd_Grp, 5);  // 38400
    p.rig.ok();
    EXPECT_EQ(p.device.baudIndex(), 5);
    EXPECT_EQ(p.rig.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_TRUE(p.rig.session.Online);
    EXPECT_EQ(p.rig.session.Baudrate, 5);
    EXPECT_EQ(p.rig.link.baudRate(), 38400);
    EXPECT_TRUE(p.rig.errorLog().empty()) << p.rig.errorLog();
}

TEST(SettingsDialogPty, WrongRateFromOfflineGetsNoAnswerThenTheRightOneConnects) {
    sim::DeviceOptions o;
    o.baudIndex = 6;  // 57600
    PtyRig p(o, false);
    ASSERT_TRUE(p.started);
    p.rig.open();
    ClickItem(p.rig.dialog->Zustand_Grp, 1);
    ClickItem(p.rig.dialog->Bd_Grp, 7);
    p.rig.ok();
    EXPECT_EQ(p.rig.dialog->lastResult(), ConnectionResult::KeepOpen);
    EXPECT_TRUE(p.rig.dialog->isVisible());
    EXPECT_FALSE(p.line.isOpen());
    ClickItem(p.rig.dialog->Bd_Grp, 6);
    p.rig.ok();
    EXPECT_EQ(p.rig.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_EQ(p.rig.session.Baudrate, 6);
}

TEST(SettingsDialogPty, ProtectedDeviceRightWrongAndRememberedPassword) {
    sim::DeviceOptions o;
    o.password = "pw12";
    PtyRig p(o, false);
    ASSERT_TRUE(p.started);
    QString typed = QStringLiteral("pw13");
    ModalAnswer answer(*p.rig.password, [&] {
        p.rig.password->Password->setText(typed);
        p.rig.password->mrOk->click();
    });
    // Wrong.
    p.rig.open();
    ClickItem(p.rig.dialog->Zustand_Grp, 1);
    p.rig.ok();
    EXPECT_EQ(p.rig.dialog->lastResult(), ConnectionResult::PasswordRefused);
    EXPECT_FALSE(p.rig.session.Online);
    EXPECT_FALSE(p.line.isOpen());
    // Right, typed ("pw12" padded to "pw12----").
    typed = QStringLiteral("pw12");
    p.rig.open();
    ClickItem(p.rig.dialog->Zustand_Grp, 1);
    p.rig.ok();
    EXPECT_EQ(p.rig.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_EQ(answer.answered, 2);
    // Remembered: not asked again.
    p.rig.open();
    p.rig.ok();
    EXPECT_EQ(p.rig.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_EQ(answer.answered, 2);
    EXPECT_TRUE(p.line.isOpen());
}

}  // namespace
}  // namespace parvion::test
