// Page rules of the expansion level and system definition, the busy guard
// of timers and page switches, the clock display and the live-value lines
// (and how they show that a refresh could not renew them).

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/link/data_commands.h"
#include "core/link/link_failure.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "gui/parameters/system_page.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

constexpr std::uint8_t kLevels[4] = {0x00, 0xC0, 0x3C, 0xFE};

Harness* offlineWindow() {
    WindowSetup setup = offline();
    auto* h = new Harness(setup);
    EXPECT_TRUE(h->window->FormCreate());
    return h;
}

TEST(PageRules, EveryLevelAndSystemDefinition) {
    std::unique_ptr<Harness> h(offlineWindow());
    gui::Tfrm_Main& w = *h->window;
    for (std::size_t level = 0; level < 4; ++level) {
        for (int kindValue = 0; kindValue < 4; ++kindValue) {
            const auto kind = static_cast<std::uint8_t>(kindValue);
            SCOPED_TRACE("level " + std::to_string(kLevels[level]) + " kind " +
                         std::to_string(kind));
            w.mnu_highendversionClick(w.mnu_Level[level]);
            w.image().System.Kind = kind;
            EXPECT_EQ(w.image().System.Ausbaustufe, kLevels[level]);
            EXPECT_TRUE(w.mnu_Level[level]->isChecked());
            const bool allOutputs = (kLevels[level] & 0xC0) == 0;
            const bool trend = (kLevels[level] & 0x3E) == 0;
            const bool circuit2 = allOutputs && kind != 1 && kind != 2;

            auto land = [&](QTabWidget* owner, QWidget* page) {
                w.Notebook->setCurrentWidget(owner == w.NBBetrieb ? w.TabBetrieb : w.TabParameter);
                owner->setCurrentWidget(page);
                w.NotebookMouseDown();
                return owner->currentWidget();
            };
            EXPECT_EQ(land(w.NBBetrieb, w.TabKreis2),
                      static_cast<QWidget*>(circuit2 ? w.TabKreis2 : w.TabKreis1));
            EXPECT_EQ(land(w.NBBetrieb, w.TabTrend),
                      trend ? static_cast<QWidget*>(w.TabTrend) : w.TabKreis1);
            land(w.NBBetrieb, w.TabIntegrator);
            EXPECT_EQ(!child<QGroupBox>(&w, "GroupInteg2")->isHidden(), allOutputs);
            EXPECT_EQ(land(w.NBParameter, w.TabPar2),
                      static_cast<QWidget*>(circuit2 ? w.TabPar2 : w.TabPar1));
            EXPECT_EQ(land(w.NBParameter, w.TabParTrend),
                      trend ? static_cast<QWidget*>(w.TabParTrend) : w.TabPar1);
            land(w.NBParameter, w.TabParAusgang);
            for (const char* name : {"GroupAus2", "GroupAus3", "GroupAus4"}) {
                EXPECT_EQ(!child<QGroupBox>(&w, name)->isHidden(), allOutputs) << name;
            }
            auto* compact = child<QCheckBox>(&w, "CheckDisplay");
            compact->setChecked(true);
            land(w.NBParameter, w.TabParDisplay);
            EXPECT_EQ(compact->isEnabled(), allOutputs);
            // The box then shows the compact display of the image, where offered.
            EXPECT_EQ(compact->isChecked(), allOutputs && w.image().Dis_User.Kind != 0);
            for (const char* name : {"DisplayBox2", "DisplayBox3", "DisplayBox4"}) {
                EXPECT_EQ(!child<QGroupBox>(&w, name)->isHidden(), circuit2) << name;
            }
            land(w.NBParameter, w.TabParSystem);
            EXPECT_EQ(!child<QGroupBox>(&w, "GroupSystem")->isHidden(), allOutputs);
            land(w.NBParameter, w.TabParKorrektur);
            EXPECT_EQ(!child<QGroupBox>(&w, "GroupFaktor2")->isHidden(), circuit2);
            EXPECT_FALSE(w.Busy());
        }
    }
}

TEST(PageRules, ClickOnTheTrendTabOfABasicDeviceLandsOnCircuit1) {
    std::unique_ptr<Harness> h(offlineWindow());
    gui::Tfrm_Main& w = *h->window;
    w.mnu_highendversionClick(w.mnu_Level[2]);  // 0x3C: no trend recording
    QTabBar* bar = w.NBBetrieb->tabBar();
    const QPoint at = bar->tabRect(w.NBBetrieb->indexOf(w.TabTrend)).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
    EXPECT_EQ(w.NBBetrieb->currentWidget(), w.TabKreis1);
}

TEST(PageRules, ExpansionLevelMenuOnlyOffline) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    const std::uint8_t before = h.window->image().System.Ausbaustufe;
    h.window->mnu_highendversionClick(h.window->mnu_Level[3]);
    EXPECT_EQ(h.window->image().System.Ausbaustufe, before);
}

TEST(BusyGuard, TimersAndPageSwitchesWaitForARunningSequence) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    bool checked = false;
    bool busy = false;
    std::uint64_t before = 0;
    std::uint64_t after = 0;
    // Writing a new parameter set waits between its blocks; the ticks and
    // clicks that arrive meanwhile must not start a transaction.
    QTimer::singleShot(300, &w, [&] {
        checked = true;
        busy = w.Busy();
        before = h.device.framesServed();
        w.RefreshTimerTimer();
        w.SystemTimerTimer();
        w.NotebookMouseDown();
        w.TabKreis1Enter();
        w.TabParSystem->cmd_SetDateTimeClick();
        w.mnu_LadenClick();
        w.mnu_NeuClick();
        w.mnu_SpeichernClick();
        after = h.device.framesServed();
    });
    h.dialogs.yesNo = {true};
    w.mnu_NeuClick();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(busy);
    EXPECT_EQ(after, before);
    EXPECT_EQ(h.dialogs.log.size(), 1u);  // only the one question
    EXPECT_TRUE(h.dialogs.openRequests.empty());
    EXPECT_FALSE(w.Busy());
}

TEST(BusyGuard, RefreshTimerReadsOnlyOnlineOnACircuitPage) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    auto frames = [&] {
        const auto n = h.device.framesServed();
        w.RefreshTimerTimer();
        return h.device.framesServed() - n;
    };
    EXPECT_GT(frames(), 0u);
    w.Notebook->setCurrentWidget(w.TabParameter);
    EXPECT_EQ(frames(), 0u);
    w.Notebook->setCurrentWidget(w.TabBetrieb);
    w.NBBetrieb->setCurrentWidget(w.TabFehler);
    EXPECT_EQ(frames(), 0u);
    w.NBBetrieb->setCurrentWidget(w.TabKreis1);
    w.session().Online = false;
    EXPECT_EQ(frames(), 0u);
}

TEST(Clock, AdvancesFromTheOffsetWithoutTraffic) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    w.device().ClockOffset = 1.0;  // the device runs a day ahead
    const auto frames = h.device.framesServed();
    w.SystemTimerTimer();
    EXPECT_EQ(h.device.framesServed(), frames);
    const DeviceDateTime tomorrow =
        RunningDeviceClock(0.0, SystemLocalNow() + std::chrono::hours(24));
    char day[40];
    std::snprintf(day, sizeof day, "%02u.%02u.%u", tomorrow.day, tomorrow.month, tomorrow.year);
    EXPECT_TRUE(child<QLineEdit>(&w, "Ed_DateTime")->text().startsWith(day))
        << child<QLineEdit>(&w, "Ed_DateTime")->text().toStdString();
    // Without a valid clock read nothing is shown.
    w.device().DeviceDateTime = {};
    child<QLineEdit>(&w, "Ed_DateTime")->clear();
    w.SystemTimerTimer();
    EXPECT_TRUE(child<QLineEdit>(&w, "Ed_DateTime")->text().isEmpty());
}

TEST(Clock, SetWritesThePcTimeAndReadsItBack) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    child<QLineEdit>(h.window.get(), "Ed_DateTime")->clear();
    const auto writes = h.device.writesAccepted();
    h.window->TabParSystem->cmd_SetDateTimeClick();
    EXPECT_EQ(h.device.writesAccepted(), writes + 1);
    EXPECT_FALSE(child<QLineEdit>(h.window.get(), "Ed_DateTime")->text().isEmpty());
    EXPECT_LT(std::abs(h.window->device().ClockOffset), 5.0 / 86400);
}

// A library text with its %1 filled in.
std::string Filled(std::string text, const std::string& first) {
    const std::size_t at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, first);
    return text;
}

TEST(LiveValues, AFailedRefreshMarksTheValuesStaleUntilAReadSucceeds) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    w.show();
    auto* list = child<QListWidget>(&w, "ListeK1");
    auto* note = child<QLabel>(&w, "StaleNote1");
    auto texts = [list] {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    };
    const QStringList good = texts();
    ASSERT_FALSE(good.isEmpty());
    EXPECT_FALSE(w.TabKreis1->stale());
    EXPECT_FALSE(note->isVisible());
    const QString blackList = list->styleSheet();

    // The device stops answering: the lines stay, greyed, under the note.
    h.device.injectFault(sim::Fault::NoReply, 4);
    w.ReadCircuitValues(0);
    EXPECT_TRUE(w.TabKreis1->stale());
    EXPECT_EQ(texts(), good);
    EXPECT_NE(list->styleSheet(), blackList);
    EXPECT_TRUE(note->isVisible());
    const QRegularExpression time(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d"));
    EXPECT_TRUE(note->text().contains(time)) << note->text().toStdString();
    EXPECT_TRUE(note->text().contains(QString::fromStdString(w.LoadText(link_text::NoReply))))
        << note->text().toStdString();

    // A good read takes the mark away.
    w.ReadCircuitValues(0);
    EXPECT_FALSE(w.TabKreis1->stale());
    EXPECT_FALSE(note->isVisible());
    EXPECT_EQ(list->styleSheet(), blackList);

    // A line that goes dead takes the program offline; the note says so,
    // and after a language switch in the other language.
    h.device.injectFault(sim::Fault::DropLine, 1);
    w.ReadCircuitValues(0);
    EXPECT_FALSE(w.session().Online);
    EXPECT_TRUE(w.TabKreis1->stale());
    const std::string lost = Filled(w.LoadText(link_text::PortClosed), w.link().portName());
    EXPECT_TRUE(note->text().toStdString().find(lost) != std::string::npos)
        << note->text().toStdString();
    const QString german = note->text();
    w.mnu_DeutschClick(w.mnu_Englisch);
    EXPECT_TRUE(w.TabKreis1->stale());
    EXPECT_NE(note->text(), german);
    EXPECT_TRUE(note->text().toStdString().find(w.LoadText(22638).substr(0, 6)) !=
                std::string::npos)
        << note->text().toStdString();
}

}  // namespace
}  // namespace parvion::test
