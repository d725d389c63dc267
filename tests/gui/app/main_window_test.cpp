// The main window: start-up and shut-down, the library check, the single
// instance guard and its mailbox, the program's arguments, the page rules,
// the busy guard, the clock, the live values, its own dialogs, the safe
// default of every question, and the per-user folders.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "core/app/history_open.h"
#include "core/app/settings.h"
#include "core/link/data_commands.h"
#include "core/link/encoding.h"
#include "core/link/link_failure.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "gui/app/about_box.h"
#include "gui/app/folders.h"
#include "gui/app/instance_channel.h"
#include "gui/app/instance_guard.h"
#include "gui/app/program.h"
#include "gui/parameters/system_page.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/input_dialog.h"
#include "support/page_window.h"
#include "support/temp_dir.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(Start, OnlineReadsCircuit1AndStartsTheClock) {
    Harness h;
    gui::Tfrm_Main& w = h.start();
    EXPECT_TRUE(w.FormReady());
    EXPECT_FALSE(w.Busy());
    EXPECT_TRUE(w.session().Online);
    EXPECT_EQ(w.Label_Online->text(), "ONLINE");
    EXPECT_FALSE(w.mnu_System->menuAction()->isEnabled());
    EXPECT_FALSE(w.mnu_Ausbaustufe->menuAction()->isEnabled());
    EXPECT_GT(child<QListWidget>(&w, "ListeK1")->count(), 10);
    EXPECT_FALSE(child<QLineEdit>(&w, "Ed_DateTime")->text().startsWith("??"));
    EXPECT_TRUE(w.SystemTimer->isActive());
    EXPECT_EQ(w.SystemTimer->interval(), 1000);
    EXPECT_FALSE(w.RefreshTimer->isActive());
    // The refresh reads only online and on a circuit page.
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
    // Online the expansion level is the device's: the menu item changes nothing.
    const std::uint8_t level = w.image().System.Ausbaustufe;
    w.mnu_highendversionClick(w.mnu_Level[3]);
    EXPECT_EQ(w.image().System.Ausbaustufe, level);

    // The clock advances from the device's offset without traffic.
    w.device().ClockOffset = 1.0;  // the device runs a day ahead
    const auto served = h.device.framesServed();
    w.SystemTimerTimer();
    EXPECT_EQ(h.device.framesServed(), served);
    const DeviceDateTime tomorrow =
        RunningDeviceClock(0.0, SystemLocalNow() + std::chrono::hours(24));
    char day[40];
    std::snprintf(day, sizeof day, "%02u.%02u.%u", tomorrow.day, tomorrow.month, tomorrow.year);
    auto* clock = child<QLineEdit>(&w, "Ed_DateTime");
    EXPECT_TRUE(clock->text().startsWith(day)) << clock->text().toStdString();
    // Without a valid clock read nothing is shown.
    w.device().DeviceDateTime = {};
    clock->clear();
    w.SystemTimerTimer();
    EXPECT_TRUE(clock->text().isEmpty());

    // Set writes the PC's time and reads the clock back.
    const auto writes = h.device.writesAccepted();
    w.TabParSystem->cmd_SetDateTimeClick();
    EXPECT_EQ(h.device.writesAccepted(), writes + 1);
    EXPECT_FALSE(clock->text().isEmpty());
    EXPECT_LT(std::abs(w.device().ClockOffset), 5.0 / 86400);
    w.session().Online = false;
    EXPECT_EQ(frames(), 0u);
}

TEST(Start, OfflineLoadsTheDefaultsWithoutTraffic) {
    Harness h(inLibrary(1, 0, false));
    gui::Tfrm_Main& w = h.start();
    EXPECT_EQ(h.device.framesServed(), 0u);
    EXPECT_EQ(w.Label_Online->text(), "OFFLINE");
    EXPECT_TRUE(w.mnu_System->menuAction()->isEnabled());
    EXPECT_TRUE(w.mnu_energy->isChecked());
    EXPECT_EQ(w.image().Display.Enable3, 40);  // energy defaults

    // After a full start, closing writes the settings.
    w.session().Sprache = 1;
    w.close();
    ProfileFile ini(SettingsFile(h.appData()));
    EXPECT_EQ(ini.readString(settings_keys::kSystem, settings_keys::kSprache, ""), "1");
}

// A device history that cannot be opened: the window starts as always,
// and the status bar says why the history is not written (beside the
// reason of an offline start).
TEST(Start, AHistoryThatCannotBeOpenedIsAWarningNotAStop) {
    Harness h;
    ProfileFile ini(SettingsFile(h.appData()));
    ini.writeString(settings_keys::kHistory, settings_keys::kDatabase, "mysql://elsewhere/db");
    ASSERT_TRUE(ini.save());
    gui::Tfrm_Main& w = h.start();
    EXPECT_TRUE(w.session().Online);
    const std::string status = w.statusPanelText(0).toStdString();
    const std::string warning = w.LoadText(kHistoryWarningText);
    EXPECT_NE(status.find(warning.substr(0, warning.find("%1"))), std::string::npos) << status;
    EXPECT_NE(status.find("[History] Database"), std::string::npos) << status;
}

TEST(Start, LibraryCheck) {
    TempDir programs;
    auto start = [&](const char* signature) {
        {
            std::ofstream lib(programs / "Gasger.txt");
            lib << "0=" << signature << "\n";
        }
        WindowSetup setup = offline();
        setup.programFolder = programs.path();
        Harness h(setup);
        const bool ok = h.window->FormCreate();
        const bool told =
            !h.dialogs.log.empty() && h.dialogs.log.back() == "error:Sprachen - Dll fehlt!:ok";
        return std::make_pair(ok, told);
    };
    EXPECT_EQ(start("GAS2"), std::make_pair(true, false));
    // Either signature passes for either variant.
    EXPECT_EQ(start("ENERGY2"), std::make_pair(true, false));
    EXPECT_EQ(start("GAS3"), std::make_pair(false, true));
    std::filesystem::remove(programs / "Gasger.txt");
    WindowSetup setup = offline();
    setup.programFolder = programs.path();
    Harness h(setup);
    EXPECT_FALSE(h.window->FormCreate());
    EXPECT_FALSE(h.window->FormReady());
}

TEST(InstanceGuard, SecondHolderIsRefusedUntilTheFirstEnds) {
    TempDir dir;
    const auto lock = dir / "parvion2.lock";
    {
        gui::InstanceGuard first(lock);
        EXPECT_TRUE(first.acquired());
        gui::InstanceGuard second(lock);
        EXPECT_FALSE(second.acquired());
        // The first copy is unaffected.
        EXPECT_TRUE(first.acquired());
    }
    gui::InstanceGuard again(lock);
    EXPECT_TRUE(again.acquired());
}

// The running copy's mailbox: a second start's file arrives whole, and only
// the user may connect.
TEST(InstanceChannel, HandsAFileToTheRunningCopy) {
    TempDir dir;
    const auto socket = dir / "parvion2.socket";
    EXPECT_FALSE(gui::InstanceChannel::send(socket, "/x.PGA", 200));  // nobody listens
    writeFileBytes(socket, "left by a copy that ended");
    gui::InstanceChannel channel;
    ASSERT_TRUE(channel.listen(socket));
    struct stat info {};
    ASSERT_EQ(::stat(socket.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u);

    QSignalSpy requested(&channel, &gui::InstanceChannel::fileRequested);
    for (const QString& file : {QStringLiteral("/data/Stationen/Übersicht 7.PGA"),
                                QStringLiteral("/tmp/two\nlines%20.PEG")}) {
        bool sent = false;
        std::thread second([&] { sent = gui::InstanceChannel::send(socket, file); });
        const bool arrived = requested.wait(5000);
        second.join();
        ASSERT_TRUE(arrived);
        EXPECT_TRUE(sent);
        EXPECT_EQ(requested.takeFirst().at(0).toString(), file);
    }
}

TEST(ProgramArguments, OneFileAndTheProgramsOwnOptions) {
    struct Case {
        QStringList args;
        QString file;
        bool version;
        bool help;
        const char* error;
    };
    const QString here = QDir::currentPath();
    const std::vector<Case> cases = {
        {{}, {}, false, false, ""},
        {{"plant.PGA"}, here + "/plant.PGA", false, false, ""},
        {{"/x/y.PEG"}, "/x/y.PEG", false, false, ""},
        {{"--", "-odd.PGA"}, here + "/-odd.PGA", false, false, ""},
        {{"--version"}, {}, true, false, ""},
        {{"-h"}, {}, false, true, ""},
        {{"--frobnicate"}, {}, false, false, "unknown option --frobnicate"},
        {{"a.PGA", "b.PGA"}, here + "/a.PGA", false, false, "only one file"},
    };
    for (const Case& c : cases) {
        const gui::ProgramArguments a = gui::ParseProgramArguments(c.args);
        EXPECT_EQ(a.file, c.file) << c.args.join(' ').toStdString();
        EXPECT_EQ(a.version, c.version);
        EXPECT_EQ(a.help, c.help);
        EXPECT_TRUE(a.error.toStdString().starts_with(c.error)) << a.error.toStdString();
        EXPECT_EQ(a.error.isEmpty(), std::string(c.error).empty());
    }
}

// Offline the box asks the device nothing (the lines online: window_texts_test).
TEST(AboutBox, OfflineLinesAndTheHiddenLabelThatOpensTheLogFolder) {
    Harness off(offline());
    gui::Tfrm_Main& w = off.start();
    gui::TAboutBox* box = w.aboutBox();
    box->FormActivate();
    const QStringList lines = box->memoLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0].toStdString(), w.LoadText(32) + " V02.45");
    EXPECT_EQ(lines[5].toStdString(), w.LoadText(43));
    EXPECT_EQ(box->windowTitle().toStdString(), w.LoadText(44));
    EXPECT_EQ(off.device.framesServed(), 0u);

    // The hidden label opens the log folder, made anew.
    std::filesystem::remove_all(off.appData());
    box->Label1DblClick();
    ASSERT_EQ(off.openedFolders.size(), 1u);
    EXPECT_EQ(off.openedFolders[0].toStdString(), off.appData().string());
    EXPECT_TRUE(std::filesystem::is_directory(off.appData()));
    EXPECT_TRUE(box->Label1->text().isEmpty());
}

// Page rules of the expansion level and system definition, the busy guard
// of timers and page switches, the clock display and the live-value lines
// (and how they show that a refresh could not renew them).

constexpr std::uint8_t kLevels[4] = {0x00, 0xC0, 0x3C, 0xFE};

TEST(PageRules, EveryLevelAndSystemDefinition) {
    Window win(offline());
    gui::Tfrm_Main& w = win.w();
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
                win.open(page);
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
    Harness h(offline());
    gui::Tfrm_Main& w = h.start();
    w.mnu_highendversionClick(w.mnu_Level[2]);  // 0x3C: no trend recording
    QTabBar* bar = w.NBBetrieb->tabBar();
    const QPoint at = bar->tabRect(w.NBBetrieb->indexOf(w.TabTrend)).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
    EXPECT_EQ(w.NBBetrieb->currentWidget(), w.TabKreis1);
}

TEST(BusyGuard, TimersAndPageSwitchesWaitForARunningSequence) {
    Harness h;
    gui::Tfrm_Main& w = h.start();
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

TEST(LiveValues, AFailedRefreshMarksTheValuesStaleUntilAReadSucceeds) {
    Window win;
    Harness& h = win.h;
    gui::Tfrm_Main& w = win.w();
    w.show();
    auto* list = child<QListWidget>(&w, "ListeK1");
    auto* note = child<QLabel>(&w, "StaleNote1");
    const auto texts = [&win] { return win.lines("ListeK1"); };
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
    const std::string lost = QString::fromStdString(w.LoadText(link_text::PortClosed))
                                 .arg(QString::fromStdString(w.link().portName()))
                                 .toStdString();
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

// The system factor through the value input dialog. (The settings dialog
// behind "Einstellungen...": LevelMenu in parameter_files_test.)

// The system factor is a setting of the balance definition (Kind 4) only.
void doubleClickSystemFactor(gui::Tfrm_Main& w) {
    if (w.image().System.Kind != 4) {
        w.image().System.Kind = 4;
        w.TabParSystem->redisplay();
    }
    QTest::mouseDClick(child<QLineEdit>(&w, "ed_SystemFaktor"), Qt::LeftButton);
}

// The factor typed into the value dialog: offline into the image only,
// online also onto the device; Cancel and the
// close box (Cancel without Cancelled) change and send nothing.
TEST(SystemFactor, AnEntryReachesTheImageAndOnlineTheDevice) {
    enum class Leave { Ok, Cancel, CloseBox };
    struct Case {
        bool online;
        const char* keys;
        Leave leave;
        float expected;  // negative: unchanged
    };
    for (const Case c :
         {Case{false, "1.05", Leave::Ok, 1.05f}, Case{false, "0.95", Leave::Cancel, -1},
          Case{true, "0.97", Leave::Ok, 0.97f}, Case{true, "0.95", Leave::CloseBox, -1}}) {
        SCOPED_TRACE(std::string(c.keys) + (c.online ? " online" : " offline"));
        Harness h(c.online ? WindowSetup{} : offline());
        h.start();
        const float before = h.window->image().System.Faktor;
        const auto frames = h.device.framesServed();
        gui::TInputDlg* dlg = h.window->inputDialog();
        QTimer::singleShot(0, dlg, [dlg, c] {
            dlg->Input->selectAll();
            QTest::keyClicks(dlg->Input, QString::fromLatin1(c.keys));
            if (c.leave == Leave::CloseBox) {
                dlg->close();
            } else {
                (c.leave == Leave::Ok ? dlg->OKBtn : dlg->CancelBtn)->click();
            }
        });
        doubleClickSystemFactor(*h.window);
        const float expected = c.expected < 0 ? before : c.expected;
        EXPECT_FLOAT_EQ(h.window->image().System.Faktor, expected);
        if (c.online && c.leave == Leave::Ok) {
            EXPECT_FLOAT_EQ(wire::GetFloat(h.device.peek(0x80A0, 16), 8), expected);
        } else {
            EXPECT_EQ(h.device.framesServed(), frames);
        }
        EXPECT_EQ(dlg->Cancelled, c.leave == Leave::Cancel);
        EXPECT_FALSE(h.window->Busy());
    }
}

// Questions whose Yes overwrites the device or a file have No (or Cancel) as
// their default button, so a stray Enter changes nothing: the real message
// boxes and the comparison window (what the menus ask: parameter_files_test).

using gui::DefaultAnswer;

// What the first modal window showed: the text of its default button. Enter
// is pressed on it, as a stray key press would.
struct Seen {
    bool shown = false;
    QString defaultButton;
};

void pressEnterOnNextModal(Seen& seen, int patience = 400) {
    QTimer::singleShot(5, [&seen, patience] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            if (patience > 0) pressEnterOnNextModal(seen, patience - 1);
            return;
        }
        seen.shown = true;
        for (QPushButton* b : modal->findChildren<QPushButton*>()) {
            if (b->isDefault()) seen.defaultButton = b->text().remove(QLatin1Char('&'));
        }
        QTest::keyClick(modal, Qt::Key_Return);
    });
}

QString buttonText(QMessageBox::StandardButton b) {
    QMessageBox box;
    return box.addButton(b)->text().remove(QLatin1Char('&'));
}

TEST(Questions, EnterOnAQuestionPressesItsSafeButton) {
    gui::QtDialogs dialogs;
    gui::ComparisonView compare;
    compare.title = QStringLiteral("Compare");
    compare.writeText = QStringLiteral("Write");
    compare.closeText = QStringLiteral("Cancel");
    compare.rows.push_back({"Kreis 1", "T_User0", "Max", "100", "120"});

    struct Case {
        const char* question;
        std::function<bool()> ask;
        QString expectedDefault;
        bool enterAnswers;
    };
    const std::vector<Case> cases = {
        {"the device's parameters are overwritten (text 16)",
         [&] { return dialogs.askYesNo(nullptr, QStringLiteral("Overwrite?"), DefaultAnswer::No); },
         buttonText(QMessageBox::No), false},
        {"a file is overwritten",
         [&] {
             return dialogs.askOkCancel(nullptr, QStringLiteral("Warnung"),
                                        QStringLiteral("Datei überschreiben ?"));
         },
         buttonText(QMessageBox::Cancel), false},
        {"the comparison before the device is written",
         [&] { return dialogs.showComparison(nullptr, compare); }, compare.closeText, false},
        // Work that would be lost: Enter goes back to it.
        {"unsaved work on closing",
         [&] {
             return dialogs.askKeepWork(nullptr,
                                        {QStringLiteral("Unsaved"), QStringLiteral("&Save"),
                                         QStringLiteral("&Discard"), QStringLiteral("&Cancel")}) ==
                    gui::KeepWorkAnswer::Keep;
         },
         QStringLiteral("Cancel"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        Seen seen;
        pressEnterOnNextModal(seen);
        EXPECT_EQ(c.ask(), c.enterAnswers);
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.defaultButton, c.expectedDefault);
    }
}

// Closing with work that exists nowhere else asks Save / Discard / Cancel;
// the title carries a mark meanwhile. Online only the remark lines count:
// every other edit is on the device already.
TEST(Questions, ClosingWithUnsavedWorkAsks) {
    using A = gui::KeepWorkAnswer;
    struct Case {
        const char* name;
        bool online;
        std::function<void(gui::Tfrm_Main&)> edit;
        std::vector<A> answers;
        bool saveDialogAnswers;  // the save dialog gets a file name
        bool asked;
        bool closes;
    };
    const auto remark = [](gui::Tfrm_Main& w) {
        child<QPlainTextEdit>(&w, "Param_Memo")->setPlainText(QStringLiteral("Schacht 4"));
    };
    const auto level = [](gui::Tfrm_Main& w) { w.mnu_Level[3]->trigger(); };
    const std::vector<Case> cases = {
        {"offline, nothing changed", false, [](gui::Tfrm_Main&) {}, {}, false, false, true},
        {"online, nothing changed", true, [](gui::Tfrm_Main&) {}, {}, false, false, true},
        {"offline edit, Cancel", false, level, {A::Cancel}, false, true, false},
        {"offline edit, Discard", false, level, {A::Discard}, false, true, true},
        {"online remark, Save, dialog cancelled", true, remark, {A::Keep}, false, true, false},
        {"online remark, Save", true, remark, {A::Keep}, true, true, true},
        {"offline remark, Save", false, remark, {A::Keep}, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h(c.online ? WindowSetup{} : offline());
        h.start();
        c.edit(*h.window);
        h.window->refreshUnsavedMark();
        EXPECT_EQ(h.window->isWindowModified(), c.asked);
        const QString file = QString::fromStdString((h.documents() / "station.PGA").string());
        if (c.saveDialogAnswers) h.dialogs.saveAnswers.push_back(file);
        h.dialogs.keepWork = {c.answers.begin(), c.answers.end()};
        EXPECT_EQ(h.window->close(), c.closes);
        EXPECT_EQ(h.dialogs.log.size() == 1 && h.dialogs.log[0].startsWith("keepwork:"), c.asked)
            << (h.dialogs.log.empty() ? "" : h.dialogs.log[0].toStdString());
        EXPECT_EQ(std::filesystem::exists(file.toStdString()), c.saveDialogAnswers);
        if (!c.closes) {
            // Still there, still marked; Discard now lets it go.
            EXPECT_TRUE(h.window->isWindowModified());
            h.dialogs.keepWork = {A::Discard};
            EXPECT_TRUE(h.window->close());
        }
    }
}

namespace fs = std::filesystem;
using gui::AppDataFolder;
using gui::DocumentsFolder;
using gui::ToPath;

// Points the per-user locations at a temporary home for one test and puts
// the environment back afterwards.
class FakeHome {
  public:
    explicit FakeHome(const fs::path& home) {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(
                name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
        setenv("HOME", home.c_str(), 1);
    }
    ~FakeHome() {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
        }
    }
    FakeHome(const FakeHome&) = delete;
    FakeHome& operator=(const FakeHome&) = delete;

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(Folders, CreatedUnderTheUsersLocations) {
    TempDir home;
    FakeHome fake(home.path());
    const QString data = AppDataFolder();
    EXPECT_EQ(ToPath(data), home.path() / ".local/share/parvion2");
    EXPECT_TRUE(fs::is_directory(home.path() / ".local/share/parvion2"));
    const QString docs = DocumentsFolder();
    EXPECT_EQ(ToPath(docs), home.path() / "Documents/parvion2");
    EXPECT_TRUE(fs::is_directory(home.path() / "Documents/parvion2"));
    // Asking again finds the folders that exist.
    EXPECT_EQ(AppDataFolder(), data);

    // XDG_DATA_HOME moves the data folder.
    TempDir other;
    setenv("XDG_DATA_HOME", (other.path() / "deep/data").c_str(), 1);
    EXPECT_EQ(ToPath(AppDataFolder()), other.path() / "deep/data/parvion2");
    EXPECT_TRUE(fs::is_directory(other.path() / "deep/data/parvion2"));
}

TEST(Folders, EmptyWhenTheFolderCannotBeCreated) {
    TempDir home;
    // A file where the folder should go: no user, root included, can
    // create a folder below it.
    test::writeFileBytes(home / "file", "x");
    FakeHome fake(home / "file");
    EXPECT_TRUE(AppDataFolder().isEmpty());
    EXPECT_TRUE(DocumentsFolder().isEmpty());
    EXPECT_TRUE(ToPath(QString()).empty());

    // The program's folder name taken by a file.
    setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    test::writeFileBytes(home / "parvion2", "x");
    EXPECT_TRUE(AppDataFolder().isEmpty());
}

}  // namespace
}  // namespace parvion::test
