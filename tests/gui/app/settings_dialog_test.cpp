// The settings dialog against the in-process simulated device: opening, the
// connection choice, the refresh choice, and how the dialog hands its
// choices to the connection sequence (its rules: tests/core/app
// connection_test) and shows what came back.

#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/app/settings_dialog_rig.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"

namespace parvion::test {
namespace {

struct SimRig {
    explicit SimRig(sim::DeviceOptions options = {}, bool online = false, int medium = 0)
        : device(options), line(device), rig(line, "sim:0", online, medium) {}
    sim::Device device;
    sim::SimLine line;
    EinstRig rig;
};

// Chooses "Online" in a dialog that opened offline.
void chooseOnline(EinstRig& r) {
    ClickItem(r.dialog->Zustand_Grp, 1);
}

TEST(SettingsDialogOpen, ClosesThePortStopsTheTimerAndLoadsTheTexts) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.dialog->Ref_Grp->setItemIndex(2);
    ASSERT_TRUE(s.line.isOpen());
    r.open();
    EXPECT_FALSE(s.line.isOpen());
    EXPECT_TRUE(r.count("stop"));
    EXPECT_TRUE(r.session.Online);  // only the port is closed
    EXPECT_EQ(r.dialog->windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(r.dialog->Ref_Grp->itemIndex(), 0);  // the choice in force: "Manuell" at first
    EXPECT_EQ(r.dialog->Ref_Grp->count(), 3);
    EXPECT_EQ(r.dialog->Zustand_Grp->itemIndex(), 1);
    EXPECT_TRUE(r.dialog->Bd_Grp->isEnabled());
    EXPECT_EQ(r.dialog->Bd_Grp->itemIndex(), 7);
    EXPECT_EQ(r.dialog->RSIndex->text(), QStringLiteral("0"));

    // The port items name their device path and whether it exists.
    const QStringList ports = r.dialog->Com_Grp->items();
    ASSERT_EQ(ports.size(), 8);
    EXPECT_EQ(ports[0], QString::fromUtf8("Com 1  sim:0 \u2717"));
    EXPECT_EQ(ports[1], QString::fromUtf8("Com 2  /nonexistent/port \u2717"));
}

TEST(SettingsDialogChoice, TransferChoiceOnlyWhenGoingOnlineFromOffline) {
    SimRig off;
    off.rig.open();
    EXPECT_TRUE(off.rig.dialog->Akt_Grp->isHidden());
    EXPECT_FALSE(off.rig.dialog->Com_Grp->isEnabled());  // offline: port and rate locked
    chooseOnline(off.rig);
    EXPECT_FALSE(off.rig.dialog->Akt_Grp->isHidden());
    EXPECT_TRUE(off.rig.dialog->Com_Grp->isEnabled());
    ClickItem(off.rig.dialog->Zustand_Grp, 0);
    EXPECT_TRUE(off.rig.dialog->Akt_Grp->isHidden());
    EXPECT_FALSE(off.rig.dialog->Bd_Grp->isEnabled());

    SimRig on({}, true);
    on.rig.open();
    ClickItem(on.rig.dialog->Zustand_Grp, 0);
    ClickItem(on.rig.dialog->Zustand_Grp, 1);
    EXPECT_TRUE(on.rig.dialog->Akt_Grp->isHidden());
}

TEST(SettingsDialogChoice, TheComparisonSwitchIsTakenOnOkOnly) {
    SimRig s;
    EinstRig& r = s.rig;
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

TEST(SettingsDialogOk, OfflineClosesThePortAndTheDialog) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.open();
    ClickItem(r.dialog->Zustand_Grp, 0);
    r.ok();
    EXPECT_FALSE(r.dialog->isVisible());
    EXPECT_EQ(r.dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(r.session.Online);
    EXPECT_FALSE(s.line.isOpen());
    EXPECT_EQ(r.ui.onlineShown.back(), false);
    EXPECT_EQ(r.ui.menusEnabled.back(), true);
    EXPECT_EQ(s.device.framesServed(), 0u);
}

// Online from offline, a program of the other variant: the main window
// reloads its texts and menus, the pages are filled from the device and the
// chosen refresh starts.
TEST(SettingsDialogOk, OnlineFillsThePagesAndStartsTheChosenRefresh) {
    SimRig s({}, false, 1);
    EinstRig& r = s.rig;
    r.open();
    chooseOnline(r);
    ClickItem(r.dialog->Ref_Grp, 2);
    EXPECT_EQ(r.interval, 5000);
    r.ok();
    EXPECT_FALSE(r.dialog->isVisible());
    EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_TRUE(r.session.Online);
    EXPECT_TRUE(s.line.isOpen());
    EXPECT_EQ(r.calls, (std::vector<std::string>{"stop", "texts:0", "menus", "fill", "start:5000",
                                                 "clock"}));
    EXPECT_EQ(r.ui.onlineShown.back(), true);
    EXPECT_EQ(r.ui.menusEnabled.back(), false);
}

// Parameters to the device: the transfer choice reaches the sequence.
TEST(SettingsDialogOk, TheTransferChoiceToTheDeviceWrites) {
    SimRig s;
    EinstRig& r = s.rig;
    r.open();
    chooseOnline(r);
    ClickItem(r.dialog->Akt_Grp, 1);
    r.ok();
    EXPECT_TRUE(r.session.Online);
    EXPECT_GT(s.device.writesAccepted(), 20u);
    EXPECT_FALSE(r.count("fill"));
}

// A device that refuses the new rate: the dialog shows the old one again.
TEST(SettingsDialogOk, ARefusedRateChangeShowsTheOldRate) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.open();
    ClickItem(r.dialog->Bd_Grp, 4);
    s.device.injectFault(sim::Fault::None, 1);  // the read of Betrieb before its write
    s.device.injectFault(sim::Fault::RejectWrite, 4);
    r.ok();
    EXPECT_EQ(r.dialog->Bd_Grp->itemIndex(), 7);
    EXPECT_TRUE(r.session.Online);
    EXPECT_EQ(r.session.Baudrate, 7);
}

// The dialog opens with the refresh choice in force, the one the last OK
// took; Cancel keeps it (and its interval). Online again, nothing is
// transferred.
TEST(SettingsDialogRefresh, OpensWithTheChoiceInForce) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    const auto starts = [&r](const std::string& call) {
        return std::count(r.calls.begin(), r.calls.end(), call);
    };
    r.open();
    EXPECT_EQ(r.dialog->Ref_Grp->itemIndex(), 0);
    ClickItem(r.dialog->Ref_Grp, 1);
    r.ok();
    ASSERT_TRUE(r.session.Online);
    EXPECT_EQ(starts("start:2000"), 1);
    EXPECT_FALSE(r.count("fill"));
    EXPECT_EQ(r.dialog->refreshChoice(), 1);

    // Reopened (in English: "every 2 s").
    r.session.Sprache = 1;
    r.open();
    EXPECT_EQ(r.dialog->Ref_Grp->itemIndex(), 1);
    EXPECT_EQ(r.dialog->Ref_Grp->items().value(1).toStdString(),
              r.texts.LoadText(gui::kEinstRefItems + 1));
    // Another choice, cancelled: the one in force stays, with its interval.
    ClickItem(r.dialog->Ref_Grp, 2);
    EXPECT_EQ(r.interval, 5000);
    r.dialog->BtnCancel->click();
    EXPECT_EQ(r.interval, 2000);
    EXPECT_EQ(r.dialog->refreshChoice(), 1);

    // Cancel left the program offline; going online again without touching
    // the choice starts the timer at 2 s again.
    r.open();
    EXPECT_EQ(r.dialog->Ref_Grp->itemIndex(), 1);
    chooseOnline(r);
    r.ok();
    ASSERT_TRUE(r.session.Online);
    EXPECT_EQ(starts("start:2000"), 2);

    // "Manuell" taken by OK is what the next opening shows.
    r.open();
    ClickItem(r.dialog->Ref_Grp, 0);
    r.ok();
    r.open();
    EXPECT_EQ(r.dialog->Ref_Grp->itemIndex(), 0);
    EXPECT_EQ(starts("start:2000"), 2);
}

TEST(SettingsDialogCancel, CancelWhileOnlineLeavesTheProgramOffline) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.open();
    r.dialog->BtnCancel->click();
    EXPECT_FALSE(r.dialog->isVisible());
    EXPECT_EQ(r.dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(r.session.Online);
    EXPECT_FALSE(s.line.isOpen());
    EXPECT_EQ(r.ui.onlineShown.back(), false);
    EXPECT_TRUE(r.count("clock"));
    EXPECT_TRUE(r.dialog->Akt_Grp->isHidden());
}

// The device asks for its password: the password dialog is shown empty, a
// typed one is kept for next time, Cancel keeps none; a refused one closes
// the dialog and text 48 stays in the status bar.
TEST(SettingsDialogPassword, TypedWrongAndCancelled) {
    struct Case {
        QString typed;
        bool cancel, online;
        QString keptAfter;
    };
    const Case cases[] = {
        {"Geheim", false, true, "Geheim"},
        {"geheim", false, false, "geheim"},
        {"Geheim", true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + (c.cancel ? " cancelled" : ""));
        sim::DeviceOptions o;
        o.password = "Geheim";
        SimRig s(o);
        s.rig.password->setText(QStringLiteral("falsch"));
        QString shownWith = QStringLiteral("?");
        ModalAnswer answer(*s.rig.password, [&] {
            shownWith = s.rig.password->Password->text();
            s.rig.password->Password->setText(c.typed);
            (c.cancel ? s.rig.password->CancelBtn : s.rig.password->mrOk)->click();
        });
        s.rig.open();
        chooseOnline(s.rig);
        s.rig.ok();
        EXPECT_EQ(answer.answered, 1);
        EXPECT_EQ(shownWith, QString());
        EXPECT_EQ(s.rig.session.Online, c.online);
        EXPECT_EQ(s.rig.password->text(), c.keptAfter);
        EXPECT_FALSE(s.rig.dialog->isVisible());
        EXPECT_EQ(s.rig.dialog->lastResult(),
                  c.online ? ConnectionResult::Online : ConnectionResult::PasswordRefused);
        if (c.online) continue;
        EXPECT_FALSE(s.line.isOpen());
        EXPECT_EQ(s.rig.ui.statusTexts.back(), "0:" + s.rig.texts.LoadText(48));
        EXPECT_EQ(s.rig.ui.onlineShown.back(), false);
    }
}

}  // namespace
}  // namespace parvion::test
