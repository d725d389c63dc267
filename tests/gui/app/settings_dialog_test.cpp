// The settings dialog: on its own over the in-process simulated device
// (opening, the connection and refresh choices, what it hands to the
// connection sequence, whose rules are tests/core/app connection_test, and
// what it shows of the outcome), its layout in each string library, over a
// network port, over the real serial path on a pseudo-terminal (the
// connection test beside the window; Cancel, Escape, the close box, Enter
// held and double clicks while a run goes on), and what the window says
// when the link fails.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cerrno>

#include "core/app/connection.h"
#include "core/link/link_failure.h"
#include "gui/app/qt_serial_line.h"
#include "gui/app/settings_dialog_rig.h"
#include "gui/app/window_line.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "sim/lib/tcp_server.h"
#include "support/sim_pty.h"
#include "support/text_fit.h"
#include "support/window_harness.h"

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
    // Parameters to the device: the choice reaches the sequence.
    chooseOnline(off.rig);
    ClickItem(off.rig.dialog->Akt_Grp, 1);
    off.rig.ok();
    EXPECT_TRUE(off.rig.session.Online);
    EXPECT_GT(off.device.writesAccepted(), 20u);
    EXPECT_FALSE(off.rig.count("fill"));

    SimRig on({}, true);
    on.rig.open();
    ClickItem(on.rig.dialog->Zustand_Grp, 0);
    ClickItem(on.rig.dialog->Zustand_Grp, 1);
    EXPECT_TRUE(on.rig.dialog->Akt_Grp->isHidden());
}

// Online, "Offline" with OK and Cancel alike close the port and the dialog
// and leave the program offline; the comparison switch is taken on OK only.
TEST(SettingsDialogOk, OfflineOrCancelClosesThePortAndTheDialog) {
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "Cancel" : "Offline, OK");
        SimRig s({}, true);
        EinstRig& r = s.rig;
        r.open();
        EXPECT_TRUE(r.dialog->CompareBox->isChecked());
        r.dialog->CompareBox->click();
        if (cancel) {
            r.dialog->BtnCancel->click();
        } else {
            ClickItem(r.dialog->Zustand_Grp, 0);
            r.ok();
        }
        EXPECT_FALSE(r.dialog->isVisible());
        EXPECT_EQ(r.dialog->result(), cancel ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_FALSE(r.session.Online);
        EXPECT_FALSE(s.line.isOpen());
        EXPECT_EQ(r.ui.onlineShown.back(), false);
        EXPECT_EQ(r.ui.menusEnabled.back(), true);
        EXPECT_EQ(s.device.framesServed(), 0u);
        EXPECT_TRUE(r.count("clock"));
        EXPECT_TRUE(r.dialog->Akt_Grp->isHidden());
        EXPECT_EQ(r.session.CompareBeforeWrite, cancel);
        r.open();  // shows the switch in force
        EXPECT_EQ(r.dialog->CompareBox->isChecked(), cancel);
    }
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

// The settings dialog lays itself out with every group readable, in each
// string library: as it opens offline, after "Online" has added the
// transfer choice, and after "Offline" has taken it away again.

// The dialog's texts and controls that do not fit, and overlaps.
std::string faultsOf(const gui::TEinst& dialog) {
    return (TextFitFaults(&dialog) + LayoutFaults(&dialog)).join('\n').toStdString();
}

TEST(SettingsDialogLayout, EveryGroupReadableOnTheWayOnlineAndBack) {
    for (const Library& lib : kLibraries) {
        SCOPED_TRACE(lib.name());
        SimRig s({}, false, lib.medium);
        EinstRig& r = s.rig;
        r.session.Sprache = lib.sprache;
        r.open();
        gui::TEinst& d = *r.dialog;
        ASSERT_FALSE(d.Akt_Grp->isVisibleTo(&d));
        EXPECT_EQ(faultsOf(d), "");
        const QSize offline = d.size();

        ClickItem(d.Zustand_Grp, 1);
        QCoreApplication::processEvents();
        ASSERT_TRUE(d.Akt_Grp->isVisibleTo(&d));
        EXPECT_EQ(faultsOf(d), "");
        // The transfer choice took room of its own: the other groups kept
        // theirs.
        EXPECT_GT(d.height(), offline.height());
        for (const gui::RadioGroup* g : {d.Bd_Grp, d.Zustand_Grp, d.Akt_Grp}) {
            EXPECT_GE(g->height(), g->sizeHint().height()) << g->objectName().toStdString();
        }

        ClickItem(d.Zustand_Grp, 0);
        QCoreApplication::processEvents();
        EXPECT_FALSE(d.Akt_Grp->isVisibleTo(&d));
        EXPECT_EQ(d.size(), offline);
        EXPECT_EQ(faultsOf(d), "");
        d.reject();
    }
}

// The settings dialog with "Com 1" mapped to a network port, over the window
// program's line (the core's socket line waiting in the event loop) and the
// simulator's TCP front: the port list names the host, OK connects and
// switches the device's rate through RFC 2217, a raw TCP port keeps the
// server's rate and says so (the connection test's report of a network
// port: cli_doctor_test).

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

// The settings dialog over the real serial path (the Qt serial line on a
// pseudo-terminal served by the simulated device, with baud-rate pacing)
// while the connection test and the connection run: the test runs beside
// the window, which paints and shows the busy cursor and each step, and the
// report offers the port and rate found; Cancel, Escape and the close box
// stop the test and keep the dialog; during the connection they, OK and
// Enter are ignored; why no device was reached is said in the dialog.

// The settings dialog (in English), offline, on the simulated device at a
// baud rate.
struct PtyRig {
    explicit PtyRig(int deviceBaud) : pty(AtBaud(deviceBaud)) {
        rig = std::make_unique<EinstRig>(line, pty.path(), false);
        rig->session.Sprache = 1;
        rig->ui.realWaits = true;
    }
    // Opened, "Online" at 115200 chosen.
    gui::TEinst& openOnline() {
        rig->open();
        ClickItem(rig->dialog->Zustand_Grp, 1);
        ClickItem(rig->dialog->Bd_Grp, 7);
        return *rig->dialog;
    }
    SimPty pty;
    gui::QtSerialLine line;
    std::unique_ptr<EinstRig> rig;
};

class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// What the dialog showed while a run went on, seen from the event loop; the
// test's report window is answered with `report` (null: closed).
struct Watch {
    explicit Watch(gui::TEinst& d, std::function<void(Watch&)> act = {},
                   std::function<void(gui::TDoctorDlg&)> answer = {})
        : dialog(d) {
        timer.setInterval(3);
        QObject::connect(&timer, &QTimer::timeout, [this, act, answer] {
            const QString text =
                dialog.ProgressText->isVisible() ? dialog.ProgressText->text() : QString();
            if (!text.isEmpty() && (texts.isEmpty() || texts.back() != text)) texts << text;
            if (dialog.sequenceRunning()) {
                const QCursor* c = QApplication::overrideCursor();
                busyCursor = busyCursor || (c != nullptr && c->shape() == Qt::WaitCursor);
                okDisabled = okDisabled || !dialog.BtnOk->isEnabled();
            }
            if (auto* dlg = dialog.findChild<gui::TDoctorDlg*>();
                dlg != nullptr && dlg->isVisible()) {
                ++reports;
                report = dlg->DoctorReport->toPlainText();
                answer ? answer(*dlg) : dlg->reject();
            }
            if (act) act(*this);
        });
        timer.start();
    }
    gui::TEinst& dialog;
    QTimer timer;
    QStringList texts;
    QString report;
    int reports = 0;
    bool busyCursor = false;
    bool okDisabled = false;
    bool acted = false;
};

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// The device answers at 19200, the dialog asks at 115200: the report says
// so and offers both; taken, the dialog shows them and OK connects.
TEST(SettingsDialogPty, TheTestRunsBesideTheWindowAndOffersWhatItFound) {
    for (const bool take : {false, true}) {
        SCOPED_TRACE(take ? "taken" : "closed");
        PtyRig p(4);
        ASSERT_TRUE(p.pty.started);
        gui::TEinst& d = p.openOnline();
        PaintCounter painted(d.ProgressText);
        Watch watch(d, {}, [take](gui::TDoctorDlg& dlg) {
            ASSERT_NE(dlg.BtnTake, nullptr);
            (take ? dlg.BtnTake : dlg.BtnClose)->click();
        });
        d.BtnTest->click();
        const QString path = QString::fromStdString(p.pty.path());
        // Each step was shown (their order: the core's doctor test) while the
        // window kept painting.
        ASSERT_GE(watch.texts.size(), 3);
        EXPECT_TRUE(watch.texts[0].startsWith(QStringLiteral("Testing ")));
        EXPECT_GE(watch.texts.filter(path).size(), 2);
        EXPECT_FALSE(watch.texts.filter(QStringLiteral("115200")).isEmpty());
        EXPECT_GT(painted.paints, 2);
        EXPECT_TRUE(watch.busyCursor);
        EXPECT_TRUE(watch.okDisabled);
        // The window's link and hooks were not used for the test.
        EXPECT_TRUE(p.rig->ui.waits.empty());
        // Ended: the report window, and the outcome in the dialog.
        EXPECT_EQ(watch.reports, 1);
        EXPECT_TRUE(watch.report.contains(QStringLiteral("19200"))) << watch.report.toStdString();
        EXPECT_TRUE(watch.report.contains(path));
        ASSERT_FALSE(d.doctorReports().empty());
        EXPECT_EQ(d.doctorReports()[0].answeredBaudIndex, 4);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(d.BtnOk->isEnabled());
        EXPECT_FALSE(p.rig->busy.held());
        EXPECT_EQ(d.ProgressText->text(),
                  QStringLiteral("A device answered on %1 at 19200 baud.").arg(path));
        EXPECT_EQ(p.pty.device.writesAccepted(), 0u);  // identity requests only
        EXPECT_EQ(d.Bd_Grp->itemIndex(), take ? 4 : 7);
        EXPECT_EQ(d.Com_Grp->itemIndex(), 0);
        if (take) {
            p.rig->ok();
            EXPECT_EQ(d.lastResult(), ConnectionResult::Online);
            EXPECT_EQ(p.rig->session.Baudrate, 4);
        } else {
            // Reopened: the line is gone.
            d.BtnCancel->click();
            p.rig->open();
            EXPECT_FALSE(d.ProgressText->isVisible());
        }
    }
}

TEST(SettingsDialogPty, CancelEscapeAndTheCloseBoxStopTheTestAndKeepTheDialog) {
    struct Case {
        const char* what;
        std::function<void(gui::TEinst&)> act;
    };
    const Case cases[] = {
        {"Cancel", [](gui::TEinst& d) { d.BtnCancel->click(); }},
        {"Escape", [](gui::TEinst& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"the close box", [](gui::TEinst& d) { EXPECT_FALSE(d.close()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PtyRig p(6);  // 57600: asked after 115200 and 1200 … 38400
        ASSERT_TRUE(p.pty.started);
        gui::TEinst& d = p.openOnline();
        // Stopped as soon as the third rate is being tried; OK meanwhile
        // does not start the connection.
        Watch watch(d, [&c](Watch& w) {
            if (w.acted || !w.dialog.testRunning() ||
                !w.dialog.ProgressText->text().contains(QStringLiteral(" 2400 baud")))
                return;
            w.acted = true;
            w.dialog.BtnOkClick();
            EXPECT_TRUE(w.dialog.BtnCancel->isEnabled());
            c.act(w.dialog);
            EXPECT_TRUE(w.dialog.testRunning());
            EXPECT_TRUE(w.dialog.ProgressText->text().startsWith(QStringLiteral("Stopping")));
        });
        d.BtnTest->click();
        EXPECT_TRUE(watch.acted);
        QCoreApplication::processEvents();
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.testRunning());
        EXPECT_FALSE(p.rig->busy.held());
        EXPECT_FALSE(p.rig->session.Online);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(watch.reports, 0);
        EXPECT_TRUE(
            d.ProgressText->text().startsWith(QStringLiteral("Test cancelled after 0 of ")));
        EXPECT_EQ(p.pty.device.writesAccepted(), 0u);
        EXPECT_EQ(Occurrences(p.rig->errorLog(), "GetInitString"), 0u) << p.rig->errorLog();
        // The dialog works on as before: Cancel closes it now.
        EXPECT_TRUE(d.BtnCancel->isEnabled());
        d.BtnCancel->click();
        EXPECT_FALSE(d.isVisible());
    }
}

// The dialog asks at 115200, the device listens at 57600: the dialog says
// whom it connects to, then why no device was reached, and stays open; at
// the right rate OK connects.
TEST(SettingsDialogPty, WhyNoDeviceWasReachedIsSaidInTheDialog) {
    PtyRig p(6);
    ASSERT_TRUE(p.pty.started);
    p.rig->ui.duringWaits = [] { QCoreApplication::processEvents(); };
    gui::TEinst& d = p.openOnline();
    Watch watch(d);
    p.rig->ok();
    EXPECT_EQ(d.lastResult(), ConnectionResult::KeepOpen);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(p.line.isOpen());
    EXPECT_TRUE(watch.busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const views::TextLoader text = [&p](std::uint16_t n) { return p.rig->texts.LoadText(n); };
    ASSERT_FALSE(watch.texts.isEmpty());
    EXPECT_EQ(watch.texts[0].toStdString(), ConnectingText(text, "Com 1", p.pty.path(), 7));
    // The cause the status bar gives, in the dialog too.
    std::string cause;
    for (const std::string& t : p.rig->ui.statusTexts) {
        if (t.starts_with("0:") && t.size() > 2) cause = t.substr(2);
    }
    ASSERT_FALSE(cause.empty());
    EXPECT_EQ(d.ProgressText->text().toStdString(), NotConnectedText(text, cause));

    ClickItem(d.Bd_Grp, 6);
    p.rig->ok();
    EXPECT_EQ(d.lastResult(), ConnectionResult::Online);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(p.rig->session.Baudrate, 6);
}

// While the connection sequence waits for a device that does not answer,
// the user does something that would close the dialog or start the
// sequence again. It is ignored: one sequence, one "GetInitString" line, the
// dialog stays open.
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
        PtyRig p(6);
        ASSERT_TRUE(p.pty.started);
        gui::TEinst& d = p.openOnline();
        bool acted = false;
        QTimer::singleShot(30, &d, [&] {
            EXPECT_TRUE(d.sequenceRunning());
            EXPECT_TRUE(p.rig->busy.held());
            acted = true;
            c.act(d);
        });
        p.rig->ok();
        // Posted events that the sequence's waits did not reach yet.
        QCoreApplication::processEvents();
        EXPECT_TRUE(acted);
        EXPECT_FALSE(d.sequenceRunning());
        EXPECT_FALSE(p.rig->busy.held());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.lastResult(), ConnectionResult::KeepOpen);
        EXPECT_EQ(Occurrences(p.rig->errorLog(), "GetInitString"), 1u) << p.rig->errorLog();
        EXPECT_EQ(p.rig->ui.beeps, 1);
        // Once the sequence has ended, Cancel closes the dialog as ever.
        d.BtnCancel->click();
        EXPECT_FALSE(d.isVisible());
    }
}

// What the window says when the link to the device fails: why a start ends
// offline and why the settings dialog cannot connect, in the status bar and
// the user's language.

// A library text with its %1 filled in.
std::string Filled(std::string text, const std::string& first) {
    const std::size_t at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, first);
    return text;
}

std::string Panel0(gui::Tfrm_Main& w) {
    return w.statusPanelText(0).toStdString();
}

// The port does not exist; it opens and nothing answers; offline by choice
// there is nothing to say.
TEST(LinkStatus, AStartThatEndsOfflineSaysWhyInTheUsersLanguage) {
    TempDir dir;
    const std::string missing = (dir / "ttyUSB9").string();
    struct Case {
        std::string port;
        bool online;
        int noReplies;
        std::uint16_t text;  // 0: nothing
    };
    for (const Case& c : {Case{missing, true, 0, link_text::PortMissing},
                          Case{"", true, 4, link_text::NoReply}, Case{"", false, 0, 0}}) {
        SCOPED_TRACE(c.text);
        WindowSetup setup = inLibrary(0, 1, c.online);
        setup.portPath = c.port;
        Harness h(setup);
        if (c.noReplies > 0) h.device.injectFault(sim::Fault::NoReply, c.noReplies);
        gui::Tfrm_Main& w = h.start();
        EXPECT_FALSE(w.session().Online);
        EXPECT_EQ(w.Label_Online->text(), "OFFLINE");
        EXPECT_EQ(Panel0(w), c.text == 0 ? "" : Filled(w.LoadText(c.text), missing));
        EXPECT_EQ(child<QListWidget>(&w, "ListeK1")->count(), 0);
        if (!c.port.empty()) {
            EXPECT_EQ(w.link().lastFailure().errorNumber, ENOENT);
        }
    }
}

// Each cause, with a usual port name, fits the status bar's message panel in
// each of the four libraries (the panel's tooltip holds a longer one).
TEST(LinkStatus, EveryCauseFitsTheStatusBar) {
    Harness h(offline());
    gui::Tfrm_Main& w = h.start();
    w.show();
    const QLabel* panel = w.StatusPanel0;
    std::vector<LinkFailure> all;
    for (const LinkCause cause :
         {LinkCause::Offline, LinkCause::PortClosed, LinkCause::NoReply, LinkCause::IncompleteReply,
          LinkCause::BadChecksum, LinkCause::Rejected, LinkCause::RefusedReply,
          LinkCause::SendTimeout, LinkCause::BadFrame}) {
        all.push_back(LinkFailure{cause, 0, {}, "/dev/ttyUSB0", 115200});
    }
    for (const int number : {ENOENT, EACCES, EBUSY, ENOTTY, EINVAL, EIO}) {
        all.push_back(LinkFailure{LinkCause::OpenFailed, number, {}, "/dev/ttyUSB0", 115200});
    }
    for (const Library& lib : kLibraries) {
        w.session().Medium = lib.medium;
        w.session().Sprache = lib.sprache;
        for (const LinkFailure& f : all) {
            const QString text = QString::fromStdString(
                LinkFailureText(f, [&w](std::uint16_t n) { return w.LoadText(n); }));
            EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), panel->contentsRect().width())
                << text.toStdString();
        }
    }
}

TEST(LinkStatus, TheSettingsDialogNamesAPortThatCannotBeOpened) {
    TempDir dir;
    const std::string missing = (dir / "ttyACM7").string();
    gui::QtSerialLine line;
    EinstRig r(line, missing, false);
    r.session.Sprache = 1;
    r.open();
    ClickItem(r.dialog->Zustand_Grp, 1);
    r.ok();
    EXPECT_EQ(r.dialog->lastResult(), ConnectionResult::KeepOpen);
    const std::string cause = Filled(r.texts.LoadText(link_text::PortMissing), missing);
    ASSERT_FALSE(r.ui.statusTexts.empty());
    EXPECT_EQ(r.ui.statusTexts.back(), "0:" + cause);
    // The error log has the same cause in its own words.
    EXPECT_NE(r.errorLog().find(missing + ") cannot be opened: the port does not exist"),
              std::string::npos)
        << r.errorLog();
    // Closing the dialog leaves the cause in the status bar.
    r.dialog->BtnCancel->click();
    EXPECT_EQ(r.ui.statusTexts.back(), "0:" + cause);
}

}  // namespace
}  // namespace parvion::test
