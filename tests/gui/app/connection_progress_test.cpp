// The settings dialog while the connection test and the connection run,
// over a real pseudo-terminal with the simulated device: the test runs beside
// the window, which paints and shows the busy cursor and each step; Cancel,
// Escape and the close box stop it and keep the dialog; why no device was
// reached is said in the dialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/app/connection.h"
#include "gui/app/qt_serial_line.h"
#include "gui/app/settings_dialog_rig.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/sim_pty.h"

namespace parvion::test {
namespace {

// The settings dialog (in English) on the simulated device at a baud rate.
struct PtyRig {
    explicit PtyRig(int deviceBaud) : device(AtBaud(deviceBaud)) {
        started = server.start(nullptr);
        rig = std::make_unique<EinstRig>(line, server.slavePath(), false);
        rig->session.Sprache = 1;
        rig->ui.realWaits = true;
    }
    sim::Device device;
    sim::PtyServer server{device};
    bool started = false;
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

// What the dialog showed while a run went on, seen from the event loop.
struct Watch {
    explicit Watch(gui::TEinst& d, std::function<void(Watch&)> act = {}) : dialog(d) {
        timer.setInterval(3);
        QObject::connect(&timer, &QTimer::timeout, [this, act] {
            const QString text =
                dialog.ProgressText->isVisible() ? dialog.ProgressText->text() : QString();
            if (!text.isEmpty() && (texts.isEmpty() || texts.back() != text)) texts << text;
            if (dialog.sequenceRunning()) {
                const QCursor* c = QApplication::overrideCursor();
                busyCursor = busyCursor || (c != nullptr && c->shape() == Qt::WaitCursor);
                okDisabled = okDisabled || !dialog.BtnOk->isEnabled();
            }
            if (auto* report = dialog.findChild<gui::TDoctorDlg*>();
                report != nullptr && report->isVisible()) {
                ++reports;
                report->reject();
            }
            if (act) act(*this);
        });
        timer.start();
    }
    gui::TEinst& dialog;
    QTimer timer;
    QStringList texts;
    int reports = 0;
    bool busyCursor = false;
    bool okDisabled = false;
    bool acted = false;
};

TEST(ConnectionProgress, TheTestRunsBesideTheWindowAndSaysWhatItTests) {
    PtyRig p(4);  // 19200; the dialog asks at 115200 first
    ASSERT_TRUE(p.started);
    gui::TEinst& d = *p.rig->dialog;
    p.rig->open();
    ClickItem(d.Bd_Grp, 7);
    PaintCounter painted(d.ProgressText);
    Watch watch(d);
    d.BtnTest->click();
    const QString path = QString::fromStdString(p.server.slavePath());
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
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(d.BtnOk->isEnabled());
    EXPECT_FALSE(p.rig->busy.held());
    EXPECT_EQ(d.ProgressText->text(),
              QStringLiteral("A device answered on %1 at 19200 baud.").arg(path));
    EXPECT_EQ(p.device.writesAccepted(), 0u);  // identity requests only
    // Reopened: the line is gone.
    d.BtnCancel->click();
    p.rig->open();
    EXPECT_FALSE(d.ProgressText->isVisible());
}

TEST(ConnectionProgress, CancelEscapeAndTheCloseBoxStopTheTestAndKeepTheDialog) {
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
        ASSERT_TRUE(p.started);
        gui::TEinst& d = *p.rig->dialog;
        p.rig->open();
        ClickItem(d.Bd_Grp, 7);
        // Stopped as soon as the third rate is being tried.
        Watch watch(d, [&c](Watch& w) {
            if (w.acted || !w.dialog.testRunning() ||
                !w.dialog.ProgressText->text().contains(QStringLiteral(" 2400 baud")))
                return;
            w.acted = true;
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
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(watch.reports, 0);
        EXPECT_TRUE(
            d.ProgressText->text().startsWith(QStringLiteral("Test cancelled after 0 of ")));
        EXPECT_EQ(p.device.writesAccepted(), 0u);
        // The dialog works on as before: Cancel closes it now.
        EXPECT_TRUE(d.BtnCancel->isEnabled());
        d.BtnCancel->click();
        EXPECT_FALSE(d.isVisible());
    }
}

TEST(ConnectionProgress, WhyNoDeviceWasReachedIsSaidInTheDialog) {
    PtyRig p(6);  // 57600; the dialog asks at 115200
    ASSERT_TRUE(p.started);
    gui::TEinst& d = *p.rig->dialog;
    p.rig->ui.duringWaits = [] { QCoreApplication::processEvents(); };
    p.rig->open();
    ClickItem(d.Zustand_Grp, 1);
    ClickItem(d.Bd_Grp, 7);
    Watch watch(d);
    p.rig->ok();
    EXPECT_EQ(d.lastResult(), ConnectionResult::KeepOpen);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(watch.busyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const views::TextLoader text = [&p](std::uint16_t n) { return p.rig->texts.LoadText(n); };
    ASSERT_FALSE(watch.texts.isEmpty());
    EXPECT_EQ(watch.texts[0].toStdString(), ConnectingText(text, "Com 1", p.server.slavePath(), 7));
    // The cause the status bar gives, in the dialog too.
    std::string cause;
    for (const std::string& t : p.rig->ui.statusTexts) {
        if (t.starts_with("0:") && t.size() > 2) cause = t.substr(2);
    }
    ASSERT_FALSE(cause.empty());
    EXPECT_EQ(d.ProgressText->text().toStdString(), NotConnectedText(text, cause));
}

}  // namespace
}  // namespace parvion::test
