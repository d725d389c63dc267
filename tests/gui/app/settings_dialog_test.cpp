// The settings dialog against the in-process simulated device: opening,
// the connection choice, every way the OK sequence ends, the variant switch,
// the password check and the first transfer in both directions.

#include <gtest/gtest.h>

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/link/parameter_blocks.h"
#include "gui/app/settings_dialog_rig.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"

namespace parvion::test {
namespace {

constexpr std::uint16_t kMedUserReady0 = 0x82C0 + 2;
constexpr std::uint16_t kMedUserReady1 = 0x82E0 + 2;

struct SimRig {
    explicit SimRig(sim::DeviceOptions options = {}, bool online = false, int medium = 0,
                    int baudIndex = 7)
        : device(options), line(device), rig(line, "sim:0", online, medium, baudIndex) {}
    sim::Device device;
    sim::SimLine line;
    EinstRig rig;
};

std::string lastPanel0(const EinstRig& r) {
    for (auto it = r.ui.statusTexts.rbegin(); it != r.ui.statusTexts.rend(); ++it) {
        if (it->rfind("0:", 0) == 0) return *it;
    }
    return {};
}

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
    EXPECT_TRUE(ports[1].startsWith(QStringLiteral("Com 2  /nonexistent/port")));
}

TEST(SettingsDialogOpen, PortItemsMarkExistingDevices) {
    EnsureQApplication();
    sim::Device device;
    sim::SimLine line(device);
    EinstRig r(line, "/dev/null", false);
    r.open();
    EXPECT_EQ(r.dialog->Com_Grp->items()[0], QString::fromUtf8("Com 1  /dev/null \u2713"));
    EXPECT_FALSE(r.dialog->Com_Grp->isEnabled());  // offline: port and rate locked
}

TEST(SettingsDialogChoice, TransferChoiceOnlyWhenGoingOnlineFromOffline) {
    SimRig off;
    off.rig.open();
    EXPECT_TRUE(off.rig.dialog->Akt_Grp->isHidden());
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

TEST(SettingsDialogOk, OnlineReadsTheParametersAndStartsTheChosenRefresh) {
    SimRig s;
    EinstRig& r = s.rig;
    r.session.Baudrate = 3;  // remembered rate; the device talks at 115200
    r.open();
    chooseOnline(r);
    ClickItem(r.dialog->Bd_Grp, 7);
    ClickItem(r.dialog->Ref_Grp, 2);
    EXPECT_EQ(r.interval, 5000);
    r.ok();
    EXPECT_FALSE(r.dialog->isVisible());
    EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::Online);
    EXPECT_TRUE(r.session.Online);
    EXPECT_TRUE(s.line.isOpen());
    EXPECT_EQ(r.session.Baudrate, 7);
    EXPECT_EQ(r.session.Anschluss, 0);
    EXPECT_EQ(r.device.DeviceIdent, "PV-GAS2 ");
    EXPECT_TRUE(r.count("fill"));
    EXPECT_TRUE(r.count("start:5000"));
    EXPECT_GT(s.device.framesServed(0xB0), 30u);  // the whole parameter set
    EXPECT_EQ(s.device.framesServed(0xA0), 0u);
    EXPECT_EQ(r.ui.onlineShown.back(), true);
    EXPECT_EQ(r.ui.menusEnabled.back(), false);
    EXPECT_TRUE(r.errorLog().empty());
    // The image holds the device's system record now.
    std::vector<std::uint8_t> sys = s.device.peek(block::System.address, 16);
    SystemRec expected;
    ASSERT_TRUE(codec::Decode(sys, expected));
    EXPECT_EQ(r.image.System.Ausbaustufe, expected.Ausbaustufe);
    EXPECT_EQ(r.image.System.Faktor, expected.Faktor);
}

TEST(SettingsDialogOk, RefreshChangeWhileOnlineReidentifiesWithoutTransfer) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.open();
    ClickItem(r.dialog->Ref_Grp, 1);
    const auto before = s.device.framesServed();
    r.ok();
    EXPECT_TRUE(r.session.Online);
    EXPECT_TRUE(r.count("start:2000"));
    EXPECT_FALSE(r.count("fill"));
    EXPECT_EQ(s.device.framesServed(0xA0), 0u);
    EXPECT_EQ(s.device.framesServed() - before, 3u);  // identity, system, access record
}

// The dialog opens with the refresh choice in force, the one the last OK
// took; Cancel keeps it (and its interval).
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
    EXPECT_EQ(r.dialog->refreshChoice(), 1);

    // Reopened (in English: "every 2 s").
    {
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
    }

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

TEST(SettingsDialogOk, NoAnswerKeepsTheDialogOpenAndASecondOkConnects) {
    SimRig s;
    EinstRig& r = s.rig;
    r.open();
    chooseOnline(r);
    ClickItem(r.dialog->Bd_Grp, 3);  // the device listens at 115200
    r.ok();
    EXPECT_TRUE(r.dialog->isVisible());
    EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::KeepOpen);
    EXPECT_FALSE(r.session.Online);
    EXPECT_FALSE(s.line.isOpen());
    EXPECT_EQ(r.ui.beeps, 1);
    EXPECT_EQ(lastPanel0(r), "0:" + r.texts.LoadText(49));
    EXPECT_NE(r.errorLog().find("ERROR:  Einst, OK, GetInitString\n"), std::string::npos);
    EXPECT_EQ(r.session.Baudrate, 7);  // nothing taken over

    ClickItem(r.dialog->Bd_Grp, 7);
    r.ok();
    EXPECT_FALSE(r.dialog->isVisible());
    EXPECT_TRUE(r.session.Online);
    EXPECT_EQ(lastPanel0(r), "0:");  // cleared on closing
}

// A device the program does not know, or whose system record cannot be
// read: the dialog closes, the program offline, nothing transferred.
TEST(SettingsDialogOk, AnUnknownDeviceOrAnUnreadableSystemRecordClosesOffline) {
    struct Case {
        const char* ident;  // null: the simulator's own
        const char* logged;
    };
    for (const Case c : {Case{"PV-XYZ9 ",
                              "ERROR:  Einst, OK, GetInitString ?"
                              "?(PV-XYZ9 )"},
                         Case{nullptr, "ERROR:  Einst, OK, GetSystem_user"}}) {
        SCOPED_TRACE(c.logged);
        sim::DeviceOptions o;
        if (c.ident != nullptr) o.ident = c.ident;
        SimRig s(o);
        EinstRig& r = s.rig;
        r.open();
        chooseOnline(r);
        if (c.ident == nullptr) {
            s.device.injectFault(sim::Fault::None, 1);  // the identity goes through
            s.device.injectFault(sim::Fault::NoReply, 4);
        }
        r.ok();
        EXPECT_FALSE(r.dialog->isVisible());
        EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::ClosedOffline);
        EXPECT_FALSE(r.session.Online);
        EXPECT_FALSE(s.line.isOpen());  // closed when the dialog closed
        EXPECT_EQ(r.ui.onlineShown.back(), false);
        if (c.ident != nullptr) {
            EXPECT_EQ(r.ui.beeps, 1);
        }
        EXPECT_NE(r.errorLog().find(c.logged), std::string::npos) << r.errorLog();
        EXPECT_FALSE(r.count("fill"));
    }
}

// The program takes the gas device's variant, texts reloaded, before the
// system read; a program of the same variant reloads nothing.
TEST(SettingsDialogOk, TheProgramTakesTheDevicesVariantBeforeTheSystemRead) {
    for (const int programMedium : {1, static_cast<int>(medium::Unknown), 0}) {
        SCOPED_TRACE(programMedium);
        SimRig s({}, false, programMedium);
        s.rig.open();
        chooseOnline(s.rig);
        s.rig.ok();
        EXPECT_EQ(s.rig.session.Medium, 0);
        EXPECT_TRUE(s.rig.session.Online);
        EXPECT_EQ(static_cast<bool>(s.rig.count("texts:0")), programMedium != 0);
        if (programMedium == 1) {
            EXPECT_TRUE(s.rig.count("menus"));
        }
    }
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

// --- transfer to the device --------------------------------------------------

struct ToDevice : ::testing::Test {
    void SetUp() override {
        // The program's set: the device's own gas composition, Ready cleared.
        ASSERT_TRUE(codec::Decode(s.device.peek(block::EG_User.address, 16), s.rig.image.EG_User));
        const std::uint8_t ready = 1;
        s.device.poke(kMedUserReady0, std::span(&ready, 1));
        s.device.poke(kMedUserReady1, std::span(&ready, 1));
        s.rig.image.Med_User[0].Ready = 0;
        s.rig.image.Med_User[1].Ready = 0;
        s.rig.image.Med_User[0].Rho = 0.83f;
        s.rig.open();
        chooseOnline(s.rig);
        ClickItem(s.rig.dialog->Akt_Grp, 1);
    }
    std::uint8_t deviceReady(std::uint16_t at) { return s.device.peek(at, 1)[0]; }
    SimRig s;
};

TEST_F(ToDevice, SameGasCompositionKeepsTheDevicesReadyFlags) {
    s.rig.ok();
    EXPECT_TRUE(s.rig.session.Online);
    EXPECT_GT(s.device.writesAccepted(), 20u);
    EXPECT_EQ(deviceReady(kMedUserReady0), 1);
    EXPECT_EQ(deviceReady(kMedUserReady1), 1);
    Med_UserRec written;
    ASSERT_TRUE(codec::Decode(s.device.peek(block::Med_User(0).address, 32), written));
    EXPECT_EQ(written.Rho, 0.83f);  // the program's values otherwise
    EXPECT_GE(s.rig.ui.progressHides, 1);
}

TEST_F(ToDevice, OtherGasCompositionClearsReadyInBothCircuits) {
    s.rig.image.EG_User.H2 += 1.0f;
    const EG_UserRec program = s.rig.image.EG_User;
    s.rig.ok();
    EXPECT_TRUE(s.rig.session.Online);
    EXPECT_EQ(deviceReady(kMedUserReady0), 0);
    EXPECT_EQ(deviceReady(kMedUserReady1), 0);
    EG_UserRec written;
    ASSERT_TRUE(codec::Decode(s.device.peek(block::EG_User.address, 16), written));
    EXPECT_EQ(written, program);
}

// --- password ----------------------------------------------------------------

// The device asks for its password: the dialog is shown empty each time; a
// typed one is padded and kept for next time; a wrong one (case matters)
// leaves the program offline with text 48; Cancel counts as an empty one,
// which a device keeping "--------" takes.
TEST(SettingsDialogPassword, TypedWrongAndCancelled) {
    struct Case {
        const char* device;
        QString remembered, typed;
        bool cancel, online;
        QString keptAfter;
    };
    const Case cases[] = {
        {"Geheim", "falsch", "Geheim", false, true, "Geheim"},
        {"Geheim", "", "geheim", false, false, "geheim"},
        {"Geheim", "", "Geheim", true, false, ""},
        {"-", "x", "", true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + (c.cancel ? " cancelled" : ""));
        sim::DeviceOptions o;
        o.password = c.device;
        SimRig s(o);
        s.rig.password->setText(c.remembered);
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
        if (c.online || c.cancel) continue;
        EXPECT_FALSE(s.rig.dialog->isVisible());
        EXPECT_EQ(s.rig.dialog->lastResult(), ConnectionResult::PasswordRefused);
        EXPECT_FALSE(s.line.isOpen());
        EXPECT_EQ(lastPanel0(s.rig), "0:" + s.rig.texts.LoadText(48));
        EXPECT_NE(s.rig.errorLog().find("ERROR:  Einst, OK, Password"), std::string::npos);
        EXPECT_EQ(s.rig.ui.beeps, 1);
        EXPECT_EQ(s.rig.session.Baudrate, 7);
        EXPECT_FALSE(s.rig.count("fill"));  // no transfer without the password
        EXPECT_EQ(s.rig.ui.onlineShown.back(), false);
    }
}

// --- baud rate -----------------------------------------------------------------

TEST(SettingsDialogBaud, DeviceChangesItsRateFirst) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.open();
    ClickItem(r.dialog->Bd_Grp, 4);
    r.ok();
    EXPECT_EQ(s.device.baudIndex(), 4);
    EXPECT_EQ(s.line.baudRate(), 19200);
    EXPECT_TRUE(r.session.Online);
    EXPECT_EQ(r.session.Baudrate, 4);
    EXPECT_EQ(r.image.Betrieb.Bytes[0], 4);
    // The device's other operating bytes stay as they were.
    EXPECT_EQ(s.device.peek(0x80EC, 4), (std::vector<std::uint8_t>{4, 0x01, 0x5A, 0x03}));
    EXPECT_TRUE(r.errorLog().empty());
}

TEST(SettingsDialogBaud, RefusedRateChangeKeepsTheOldRate) {
    SimRig s({}, true);
    EinstRig& r = s.rig;
    r.open();
    ClickItem(r.dialog->Bd_Grp, 4);
    s.device.injectFault(sim::Fault::None, 1);  // the read of Betrieb before its write
    s.device.injectFault(sim::Fault::RejectWrite, 4);
    r.ok();
    EXPECT_NE(r.errorLog().find("ERROR:  Einst, OK, SetBetrieb"), std::string::npos);
    EXPECT_EQ(r.dialog->Bd_Grp->itemIndex(), 7);
    EXPECT_EQ(r.image.Betrieb.Bytes[0], 7);
    EXPECT_EQ(s.device.baudIndex(), 7);
    EXPECT_TRUE(r.session.Online);
    EXPECT_EQ(r.session.Baudrate, 7);
}

}  // namespace
}  // namespace parvion::test
