// The settings dialog over the real serial path: the Qt serial line on a
// pseudo-terminal served by the simulated device, with baud-rate pacing. A
// device that changes its rate, and a protected device.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

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

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// While the connection sequence waits for a device that does not answer
// (the dialog asks at 115200, the device listens at 57600), the user does
// something that would close the dialog or start the sequence again. It is
// ignored: one sequence, one "GetInitString" line, the dialog stays open.
TEST(SettingsDialogPty, WhileTheSequenceRunsOkCancelEnterAndTheCloseBoxAreIgnored) {
    struct Case {
        const char* what;
        std::function<void(gui::TEinst&)> act;
    };
    const auto key = [](gui::TEinst& d, int k, bool autoRepeat) {
        QCoreApplication::postEvent(&d, new QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier,
                                                      QStringLiteral("\r"), autoRepeat));
    };
    const std::vector<Case> cases = {
        {"a double click on OK",
         [](gui::TEinst& d) { QTest::mouseDClick(d.BtnOk, Qt::LeftButton); }},
        {"Enter held: hundreds of key presses queued",
         [key](gui::TEinst& d) {
             for (int i = 0; i < 400; ++i)
                 key(d, i % 2 == 0 ? Qt::Key_Return : Qt::Key_Enter, i > 0);
         }},
        {"Escape", [](gui::TEinst& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"the close box", [](gui::TEinst& d) { EXPECT_FALSE(d.close()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::DeviceOptions o;
        o.baudIndex = 6;
        PtyRig p(o, false);
        ASSERT_TRUE(p.started);
        gui::TEinst& d = *p.rig.dialog;
        p.rig.open();
        ClickItem(d.Zustand_Grp, 1);
        ClickItem(d.Bd_Grp, 7);
        bool acted = false;
        QTimer::singleShot(30, &d, [&] {
            EXPECT_TRUE(d.sequenceRunning());
            EXPECT_TRUE(p.rig.busy.held());
            acted = true;
            c.act(d);
        });
        p.rig.ok();
        // Posted events that the sequence's waits did not reach yet.
        QCoreApplication::processEvents();
        EXPECT_TRUE(acted);
        EXPECT_FALSE(d.sequenceRunning());
        EXPECT_FALSE(p.rig.busy.held());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.lastResult(), ConnectionResult::KeepOpen);
        EXPECT_EQ(Occurrences(p.rig.errorLog(), "GetInitString"), 1u) << p.rig.errorLog();
        EXPECT_EQ(p.rig.ui.beeps, 1);
        // Once the sequence has ended, Cancel closes the dialog as ever.
        d.BtnCancel->click();
        EXPECT_FALSE(d.isVisible());
    }
}

// The connection test's port checks wait for the device too: the dialog
// neither closes nor starts the connection meanwhile.
TEST(SettingsDialogPty, WhileTheConnectionTestRunsTheDialogStaysAndOkIsIgnored) {
    sim::DeviceOptions o;
    o.baudIndex = 6;
    PtyRig p(o, false);
    ASSERT_TRUE(p.started);
    gui::TEinst& d = *p.rig.dialog;
    // The port checks wait as the window does: with its event loop running.
    p.rig.ui.duringWaits = [] { QCoreApplication::processEvents(); };
    p.rig.open();
    ClickItem(d.Zustand_Grp, 1);
    bool acted = false;
    QTimer::singleShot(30, &d, [&] {
        acted = true;
        EXPECT_TRUE(d.sequenceRunning());
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.close());
        d.BtnOkClick();
        EXPECT_TRUE(d.isVisible());
    });
    // The report that follows the test is closed as soon as it shows.
    QTimer closeReport;
    QObject::connect(&closeReport, &QTimer::timeout, [&] {
        if (auto* report = d.findChild<gui::TDoctorDlg*>();
            report != nullptr && report->isVisible()) {
            report->reject();
        }
    });
    closeReport.start(20);
    d.BtnTestClick();
    EXPECT_TRUE(acted);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(p.rig.busy.held());
    EXPECT_EQ(Occurrences(p.rig.errorLog(), "GetInitString"), 0u) << p.rig.errorLog();
    EXPECT_FALSE(p.rig.session.Online);
}

}  // namespace
}  // namespace parvion::test
