// The settings dialog over the real serial path (the Qt serial line on a
// pseudo-terminal served by the simulated device, with baud-rate pacing)
// while the connection test and the connection run: the test runs beside
// the window, which paints and shows the busy cursor and each step, and the
// report offers the port and rate found; Cancel, Escape and the close box
// stop the test and keep the dialog; during the connection they, OK and
// Enter are ignored; why no device was reached is said in the dialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/app/connection.h"
#include "gui/app/qt_serial_line.h"
#include "gui/app/settings_dialog_rig.h"
#include "support/sim_pty.h"

namespace parvion::test {
namespace {

// The settings dialog (in English), offline, on the simulated device at a
// baud rate.
struct PtyRig {
    explicit PtyRig(int deviceBaud) : pty(AtBaud(deviceBaud)) {
        rig = std::make_unique<EinstRig>(line, pty.path(), false);
        rig->session.Sprache = 1;
        rig->ui.realWaits = true;
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
        gui::TEinst& d = *p.rig->dialog;
        p.rig->open();
        ClickItem(d.Zustand_Grp, 1);
        ClickItem(d.Bd_Grp, 7);
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
        gui::TEinst& d = *p.rig->dialog;
        p.rig->open();
        ClickItem(d.Zustand_Grp, 1);
        ClickItem(d.Bd_Grp, 7);
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
    gui::TEinst& d = *p.rig->dialog;
    p.rig->ui.duringWaits = [] { QCoreApplication::processEvents(); };
    p.rig->open();
    ClickItem(d.Zustand_Grp, 1);
    ClickItem(d.Bd_Grp, 7);
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
        gui::TEinst& d = *p.rig->dialog;
        p.rig->open();
        ClickItem(d.Zustand_Grp, 1);
        ClickItem(d.Bd_Grp, 7);
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

}  // namespace
}  // namespace parvion::test
