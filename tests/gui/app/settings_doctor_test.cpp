// "Test connection" in the settings dialog over a real pseudo-terminal with
// the simulated device: the report names the rate the device answers at,
// and the dialog takes port and rate when the user accepts; the comparison
// switch goes into the session on OK only.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/app/qt_serial_line.h"
#include "gui/app/settings_dialog_rig.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/sim_pty.h"

namespace parvion::test {
namespace {

struct DoctorRig {
    explicit DoctorRig(int deviceBaud) : device(AtBaud(deviceBaud)), server(device) {
        std::string error;
        started = server.start(&error);
        rig = std::make_unique<EinstRig>(line, server.slavePath(), false);
    }
    sim::Device device;
    sim::PtyServer server;
    bool started = false;
    gui::QtSerialLine line;
    std::unique_ptr<EinstRig> rig;
};

// Runs the test and answers its report window with `answer`; returns the
// report text.
QString RunTest(gui::TEinst& dialog, const std::function<void(gui::TDoctorDlg&)>& answer) {
    QString report;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dlg = dialog.findChild<gui::TDoctorDlg*>();
        if (dlg == nullptr || !dlg->isVisible()) return;
        report = dlg->DoctorReport->toPlainText();
        answer(*dlg);
    });
    timer.start();
    dialog.BtnTest->click();
    return report;
}

TEST(SettingsDoctor, FindsTheDeviceAtAnotherRateAndTakesPortAndRate) {
    for (const bool take : {false, true}) {
        DoctorRig d(4);  // 19200
        ASSERT_TRUE(d.started);
        EinstRig& r = *d.rig;
        r.open();
        ClickItem(r.dialog->Zustand_Grp, 1);
        ClickItem(r.dialog->Bd_Grp, 7);
        const QString report = RunTest(*r.dialog, [take](gui::TDoctorDlg& dlg) {
            ASSERT_NE(dlg.BtnTake, nullptr);
            (take ? dlg.BtnTake : dlg.BtnClose)->click();
        });
        EXPECT_TRUE(report.contains(QStringLiteral("19200"))) << report.toStdString();
        EXPECT_TRUE(report.contains(QString::fromStdString(d.server.slavePath())));
        ASSERT_FALSE(r.dialog->doctorReports().empty());
        EXPECT_EQ(r.dialog->doctorReports()[0].answeredBaudIndex, 4);
        EXPECT_EQ(r.dialog->Bd_Grp->itemIndex(), take ? 4 : 7);
        EXPECT_EQ(r.dialog->Com_Grp->itemIndex(), 0);
        // Only identity requests: the device was not changed.
        EXPECT_EQ(d.device.writesAccepted(), 0u);
        EXPECT_EQ(d.device.baudIndex(), 4);
        if (take) {
            r.ok();
            EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::Online);
            EXPECT_EQ(r.session.Baudrate, 4);
        }
    }
}

TEST(SettingsDoctor, TheComparisonSwitchIsTakenOnOkOnly) {
    DoctorRig d(7);
    ASSERT_TRUE(d.started);
    EinstRig& r = *d.rig;
    r.open();
    EXPECT_TRUE(r.dialog->CompareBox->isChecked());
    r.dialog->CompareBox->click();
    r.dialog->BtnCancel->click();
    EXPECT_TRUE(r.session.CompareBeforeWrite);
    r.open();
    EXPECT_TRUE(r.dialog->CompareBox->isChecked());
    r.dialog->CompareBox->click();
    r.ok();  // offline: closes at once
    EXPECT_FALSE(r.session.CompareBeforeWrite);
}

}  // namespace
}  // namespace parvion::test
