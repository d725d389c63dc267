// The main window's menus: language and variant switches, the parameter
// menu (new, load, save, recent files, drops) online and offline, the
// expansion level, pages switched by key, and compare before writing with
// the comparison window.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <fstream>

#include "core/app/recent_files.h"
#include "core/app/texts.h"
#include "core/edit/parameter_compare.h"
#include "core/history/history.h"
#include "core/link/parameter_blocks.h"
#include "core/model/profile_file.h"
#include "core/views/text_source.h"
#include "gui/app/about_box.h"
#include "gui/app/compare_dialog.h"
#include "gui/app/settings_dialog.h"
#include "gui/shared/radio_group.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// Language and variant switches, and the parameter menu (new, load, save)
// online and offline.

std::string libraryText(int medium, int sprache, std::uint16_t n) {
    Session s;
    s.Medium = medium;
    s.Sprache = sprache;
    return TextLibrary(PARVION_BIN_DIR, s).LoadText(n);
}

QString tab(QTabWidget* owner, QWidget* page) {
    return owner->tabText(owner->indexOf(page));
}

void expectTextsOf(gui::Tfrm_Main& w, int medium, int sprache) {
    EXPECT_EQ(w.windowTitle().remove(QStringLiteral("[*]")).toStdString(),
              libraryText(medium, sprache, 1));
    EXPECT_EQ(tab(w.Notebook, w.TabBetrieb).toStdString(), libraryText(medium, sprache, 512));
    EXPECT_EQ(w.mnu_Neu->text().toStdString(), libraryText(medium, sprache, 1025));
    EXPECT_EQ(child<QGroupBox>(&w, "TBox1")->title().toStdString(),
              libraryText(medium, sprache, 2048));
    ASSERT_GT(child<QComboBox>(&w, "ComboPT2")->count(), 3);
    EXPECT_EQ(child<QComboBox>(&w, "ComboPT2")->itemText(3).toStdString(),
              libraryText(medium, sprache, 2052) + " 1");
    EXPECT_EQ(child<QGroupBox>(&w, "GroupAus4")->title().toStdString(),
              libraryText(medium, sprache, 8192) + " 4");
}

TEST(Texts, LanguageAndVariantSwitchesReloadEverything) {
    Harness h(offline());
    gui::Tfrm_Main& w = h.start();
    expectTextsOf(w, 0, 0);
    w.mnu_DeutschClick(w.mnu_Englisch);
    EXPECT_TRUE(w.mnu_Englisch->isChecked());
    EXPECT_FALSE(w.mnu_Deutsch->isChecked());
    expectTextsOf(w, 0, 1);
    EXPECT_FALSE(w.aboutBox()->isVisible());
    EXPECT_EQ(child<gui::RadioGroup>(&w, "Radio_E_Leistung")->count(), 9);  // standard volume flows
    // The variant in force chosen again keeps the parameter set and its edits.
    w.image().T_User[0].Max = 123.0f;
    w.mnu_energyClick(w.mnu_gas);
    EXPECT_EQ(w.image().T_User[0].Max, 123.0f);
    EXPECT_TRUE(w.mnu_gas->isChecked());
    w.mnu_energyClick(w.mnu_energy);
    EXPECT_EQ(w.session().Medium, 1);
    EXPECT_TRUE(w.mnu_energy->isChecked());
    EXPECT_FALSE(w.mnu_gas->isChecked());
    expectTextsOf(w, 1, 1);
    EXPECT_EQ(child<gui::RadioGroup>(&w, "Radio_E_Leistung")->count(), 6);  // power units
    EXPECT_EQ(child<gui::RadioGroup>(&w, "Radio_E_Masse")->columns(), 3);
    EXPECT_EQ(child<gui::RadioGroup>(&w, "Radio_E_Temp")->columns(), 1);
    EXPECT_EQ(w.image().Display.Enable3, 40);
}

TEST(Texts, MissingLanguageLibraryKeepsTheTexts) {
    TempDir programs;
    for (const char* f : {"Gasger.txt", "Steamger.txt"}) {
        std::filesystem::copy_file(std::filesystem::path(PARVION_BIN_DIR) / f, programs / f);
    }
    WindowSetup setup = offline();
    setup.programFolder = programs.path();
    Harness h(setup);
    gui::Tfrm_Main& w = h.start();
    w.mnu_DeutschClick(w.mnu_Englisch);
    ASSERT_FALSE(h.dialogs.log.empty());
    EXPECT_EQ(h.dialogs.log.back(), "error:Sprachen - Dll fehlt!:yes");
    EXPECT_EQ(w.session().Sprache, 0);
    EXPECT_TRUE(w.mnu_Deutsch->isChecked());
    expectTextsOf(w, 0, 0);
}

TEST(Texts, UnknownDeviceOnAVariantSwitchGoesOffline) {
    Harness h;
    gui::Tfrm_Main& w = h.start();
    w.mnu_energyClick(w.mnu_energy);  // a gas device stays gas
    EXPECT_EQ(w.session().Medium, 0);
    EXPECT_TRUE(w.mnu_gas->isChecked());
    const std::string other = "PV-XXX2 ";
    h.device.poke(0x80B0, std::span(reinterpret_cast<const std::uint8_t*>(other.data()), 8));
    w.mnu_energyClick(w.mnu_energy);
    EXPECT_EQ(w.session().Medium, -1);
    EXPECT_FALSE(w.session().Online);
    EXPECT_EQ(w.Label_Online->text(), "OFFLINE");
}

// "Einstellungen..." with the connection `state` (0 offline, 1 online)
// chosen and OK.
void ChooseInSettings(gui::Tfrm_Main& w, int state) {
    gui::TEinst* einst = w.settingsDialog();
    QTimer::singleShot(0, einst, [einst, state] {
        einst->Zustand_Grp->setItemIndex(state);
        einst->Zustand_GrpClick(state);
        einst->BtnOkClick();
    });
    w.mnu_Einstellungen->trigger();
}

class FileMenu : public ::testing::Test {
  protected:
    gui::Tfrm_Main& start(bool online) {
        h = std::make_unique<Harness>(online ? WindowSetup{} : offline());
        return h->start();
    }
    QString doc(const char* name) const {
        return QString::fromStdString((h->documents() / name).string());
    }
    // The parameters saved through the menu as `name`.PGA.
    std::filesystem::path save(const char* name) {
        h->dialogs.saveAnswers = {doc(name)};
        h->window->mnu_SpeichernClick();
        return h->documents() / (std::string(name) + ".PGA");
    }
    std::unique_ptr<Harness> h;
};

TEST_F(FileMenu, SaveOfflineForcesTheExtensionAndAsksBeforeOverwriting) {
    gui::Tfrm_Main& w = start(false);
    h->dialogs.saveAnswers = {doc("plant.txt")};
    w.mnu_SpeichernClick();
    ASSERT_EQ(h->dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(h->dialogs.saveRequests[0].filters, QStringList{"Gas Parameter (*.PGA)"});
    EXPECT_EQ(h->dialogs.saveRequests[0].defaultSuffix, "PGA");
    const auto file = h->documents() / "plant.PGA";
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(w.statusPanelText(0).toStdString(), file.string());
    const std::string saved = readFileBytes(file);

    w.image().Trend_User.Time = 5;
    h->dialogs.saveAnswers = {doc("plant.PGA")};
    h->dialogs.okCancel = {false};
    w.mnu_SpeichernClick();
    EXPECT_EQ(h->dialogs.log.back(), "okcancel:Warnung:Datei überschreiben ?");
    // Confirmed, it is overwritten: RemarksPage.TypedLinesGoIntoTheImageAndTheFile.
    EXPECT_EQ(readFileBytes(file), saved);
}

// Load asks for the file first; a file from outside the menu (the command
// line, a second start, the recent files, a drop) goes the same way. Only a
// good file replaces the image; a missing one, one of the other variant or
// none at all, and a value that is not a number get the loader's message; a
// file that lacks keys loads with their defaults and says which.
TEST_F(FileMenu, LoadOfflineReplacesTheImageOnlyWithAGoodFile) {
    gui::Tfrm_Main& w = start(false);
    save("plant");
    w.image().Trend_User.Time = 5;
    w.mnu_LadenClick();  // cancelled: nothing changes
    ASSERT_EQ(h->dialogs.openRequests.size(), 1u);
    EXPECT_EQ(h->dialogs.openRequests[0].filters,
              (QStringList{"Gas Parameter (*.PGA)", "Parameter (*.PAR)"}));
    EXPECT_EQ(w.image().Trend_User.Time, 5);
    struct Case {
        const char* file;
        const char* content;  // null: none written
        std::string message;  // the start of the one message; empty: none
        const char* names;
        int time;  // Trend_User.Time afterwards
    };
    const std::vector<Case> cases = {
        {"missing.PGA", nullptr,
         "warning:" + w.LoadText(gui::kFileUnreadableText) + " " +
             (h->documents() / "missing.PGA").string(),
         "", 5},
        {"steam.PEG", "[Medium]\r\nIdent=STEAM\r\n", "info:" + w.LoadText(4), "", 5},
        {"notes.PGA", "shopping list\nmilk\n", "info:" + w.LoadText(4), "", 5},
        {"bad.PGA", "[Medium]\r\nIdent=GAS\r\n[Trend_User]\r\nTime=1,5,0\r\n",
         "warning:", "Trend_User", 5},
        {"sparse.PGA", "[Medium]\r\nIdent=GAS\r\n[Trend_User]\r\nTime=7\r\n",
         "info:sparse.PGA: ", "T_User0 Dummy1", 7},
        {"plant.PGA", nullptr, "", "", 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.content != nullptr) writeFileBytes(h->documents() / c.file, c.content);
        h->dialogs.log.clear();
        w.openParameterFile(doc(c.file));
        if (c.message.empty()) {
            EXPECT_TRUE(h->dialogs.log.empty());
        } else {
            ASSERT_EQ(h->dialogs.log.size(), 1u);
            const std::string message = h->dialogs.log[0].toStdString();
            EXPECT_TRUE(message.starts_with(c.message) &&
                        message.find(c.names) != std::string::npos)
                << message;
        }
        EXPECT_EQ(w.image().Trend_User.Time, c.time);
    }
    EXPECT_EQ(h->dialogs.openRequests.size(), 1u);
    EXPECT_EQ(w.statusPanelText(0).toStdString(), (h->documents() / "plant.PGA").string());
    EXPECT_EQ(w.recentFiles().front(), h->documents() / "plant.PGA");
    EXPECT_FALSE(w.Busy());
    EXPECT_EQ(h->device.framesServed(), 0u);
}

TEST_F(FileMenu, ALoadThatStopsEarlyStillShowsTheImageOnTheVisiblePage) {
    gui::Tfrm_Main& w = start(false);
    w.Notebook->setCurrentWidget(w.TabParameter);
    w.NBParameter->setCurrentWidget(w.TabPar1);
    w.NotebookMouseDown();
    w.image().T_User[0].Kind = 1;
    w.image().T_User[0].Max = 77.0f;
    w.mnu_LadenClick();  // the file dialog is cancelled
    const auto* list = child<QListWidget>(&w, "ListePT1");
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(1)->text().contains("77.0000")) << list->item(1)->text().toStdString();
}

TEST_F(FileMenu, NewOnlineAsksAndWritesTheDefaults) {
    gui::Tfrm_Main& w = start(true);
    const std::uint8_t five[] = {5};
    h->device.poke(static_cast<std::uint16_t>(block::Trend_User.address + 3), five);
    const auto writes = h->device.writesAccepted();
    h->dialogs.yesNo = {false};
    w.mnu_NeuClick();
    EXPECT_EQ(h->dialogs.log.back().toStdString(), "yesno:" + w.LoadText(16));
    EXPECT_EQ(h->dialogs.yesNoDefaults.back(), gui::DefaultAnswer::No);
    EXPECT_EQ(h->device.writesAccepted(), writes);
    h->dialogs.yesNo = {true};
    w.mnu_NeuClick();
    EXPECT_GT(h->device.writesAccepted(), writes);
    EXPECT_EQ(h->device.peek(static_cast<std::uint16_t>(block::Trend_User.address + 3), 1)[0], 60);

    // A device that does not answer: no question, nothing held.
    h->device.injectFault(sim::Fault::NoReply, 4);
    h->dialogs.log.clear();
    w.mnu_NeuClick();
    EXPECT_TRUE(h->dialogs.log.empty());
    EXPECT_FALSE(w.Busy());
}

// The Ready flags' rule is the core's (cli_params_test): here the load takes
// it, a changed gas set clearing Ready in both circuits.
TEST_F(FileMenu, LoadOnlineClearsReadyForAChangedGasSet) {
    gui::Tfrm_Main& w = start(true);
    const std::uint8_t one[] = {1};
    auto ready = [&](int c) {
        return h->device.peek(static_cast<std::uint16_t>(block::Med_User(c).address + 2), 1)[0];
    };
    for (int c = 0; c < 2; ++c) {
        h->device.poke(static_cast<std::uint16_t>(block::Med_User(c).address + 2), one);
    }
    ProfileFile pga(save("device"));
    pga.writeString("EG_User", "Ho", "11.5");
    ASSERT_TRUE(pga.save());
    h->dialogs.yesNo = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_EQ(ready(0), 0);
    EXPECT_EQ(ready(1), 0);
    EXPECT_FALSE(w.Busy());
}

// The device stops answering in the middle of a whole-set write: the
// message names the blocks written, the status bar says the set is not on
// the device, and the offered write again runs once it is connected.
TEST_F(FileMenu, AnInterruptedWriteSaysWhatWasWrittenAndWritesAgainOnceConnected) {
    gui::Tfrm_Main& w = start(true);
    // Identity, System, the write's own System read, T_User1, P_User1.
    h->device.injectFault(sim::Fault::None, 5);
    h->device.injectFault(sim::Fault::NoReply, 1000);
    h->dialogs.yesNo = {true, true};
    w.mnu_NeuClick();
    QApplication::processEvents();
    std::vector<QString> warnings;
    for (const QString& line : h->dialogs.log) {
        if (line.startsWith("warning:")) warnings.push_back(line);
    }
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].contains(
        QString::fromStdString(views::FillPlaceholders(w.LoadText(22807), {"T_User1, P_User1"}))))
        << warnings[0].toStdString();
    // First what happened to the set; a history warning may follow it.
    EXPECT_EQ(w.statusPanelText(0).toStdString().rfind(w.LoadText(22811), 0), 0u)
        << w.statusPanelText(0).toStdString();
    EXPECT_EQ(h->dialogs.log.back().toStdString(), "yesno:" + w.LoadText(22809));
    EXPECT_EQ(h->dialogs.yesNoDefaults.back(), gui::DefaultAnswer::No);
    EXPECT_TRUE(w.rewritePending());

    // Connected again through the settings: the set is written.
    h->device.clearFaults();
    const auto writes = h->device.writesAccepted();
    for (const int state : {0, 1}) ChooseInSettings(w, state);
    w.refreshUnsavedMark();
    // The write again waits for the event loop, and for a sequence that
    // still runs (then it retries later): wait for it, not for a set time.
    EXPECT_TRUE(QTest::qWaitFor([&w] { return !w.rewritePending() && !w.Busy(); }));
    EXPECT_GT(h->device.writesAccepted(), writes + 20);
    EXPECT_NE(w.statusPanelText(0).toStdString(), w.LoadText(22811));
}

// The expansion-level menu checks the level in force: the one the device
// brought when it was connected, kept when the program goes offline, until
// the user picks another or a parameter set brings its own.
TEST(LevelMenu, ChecksTheLevelTheDeviceBrought) {
    struct Case {
        std::uint8_t deviceLevel;
        int item;  // high end, basic + a2, basic + a1, basic
    };
    // Bits outside the two options do not count.
    for (const Case c :
         {Case{0x00, 0}, Case{0xC0, 1}, Case{0x3C, 2}, Case{0xFE, 3}, Case{0x80, 1}}) {
        SCOPED_TRACE("level " + std::to_string(c.deviceLevel));
        WindowSetup setup = offline();
        setup.device.ausbaustufe = c.deviceLevel;
        Harness h(setup);
        gui::Tfrm_Main& w = h.start();
        // The item checked when the user opens the menu.
        auto checkedItem = [&w] {
            emit w.mnu_Ausbaustufe->aboutToShow();
            int checked = -1;
            for (int i = 0; i < 4; ++i) {
                if (!w.mnu_Level[static_cast<std::size_t>(i)]->isChecked()) continue;
                EXPECT_EQ(checked, -1) << "two items checked";
                checked = i;
            }
            return checked;
        };
        EXPECT_EQ(checkedItem(), 0);  // the defaults: high end

        // "Einstellungen...": online, parameters from the device; then offline.
        for (const int state : {1, 0}) {
            ChooseInSettings(w, state);
            EXPECT_EQ(w.session().Online, state == 1);
            EXPECT_EQ(w.image().System.Ausbaustufe, c.deviceLevel);
            EXPECT_EQ(checkedItem(), c.item);
        }
        EXPECT_TRUE(w.mnu_Ausbaustufe->menuAction()->isEnabled());
        EXPECT_EQ(checkedItem(), c.item);

        // Picked by the user, and brought back by a new parameter set.
        w.mnu_highendversionClick(w.mnu_Level[3]);
        EXPECT_EQ(checkedItem(), 3);
        w.image().System.Ausbaustufe = c.deviceLevel;
        w.mnu_NeuClick();
        EXPECT_EQ(checkedItem(), c.item);
    }
}

TEST_F(FileMenu, AFileFromOutsideAsksBeforeItOverwritesTheDevice) {
    gui::Tfrm_Main& w = start(true);
    save("device");
    const auto writes = h->device.writesAccepted();
    h->dialogs.yesNo = {false};
    w.openParameterFile(doc("device.PGA"));
    EXPECT_EQ(h->dialogs.log.back().toStdString(), "yesno:" + w.LoadText(16));
    EXPECT_EQ(h->dialogs.yesNoDefaults.back(), gui::DefaultAnswer::No);
    EXPECT_EQ(h->device.writesAccepted(), writes);
    // Yes: the comparison first, as Load shows it; the same set writes nothing.
    h->dialogs.yesNo = {true};
    w.openParameterFile(doc("device.PGA"));
    EXPECT_EQ(h->device.writesAccepted(), writes);
    EXPECT_EQ(h->dialogs.log.back().toStdString(),
              "info:" + w.LoadText(edit::compare_text::kAgreeNothingWritten));
}

TEST_F(FileMenu, ADroppedParameterFileLoadsAndOtherDropsAreRefused) {
    gui::Tfrm_Main& w = start(false);
    save("plant");
    writeFileBytes(h->documents() / "plant.txt", "text");
    w.image().Trend_User.Time = 5;
    // Dropped on the remarks editor, which would otherwise take the name as text.
    w.Notebook->setCurrentWidget(w.TabParameter);
    w.NBParameter->setCurrentWidget(w.TabParBemerkung);
    QWidget* target = w.TabParBemerkung->findChild<QPlainTextEdit*>();
    ASSERT_NE(target, nullptr);
    for (const char* name : {"plant.txt", "plant.PGA"}) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(doc(name))});
        const bool parameterFile = QString(name).endsWith("PGA");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(target, &enter);
        if (!parameterFile) {
            EXPECT_FALSE(enter.isAccepted()) << name;
            continue;
        }
        EXPECT_TRUE(enter.isAccepted()) << name;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(drop.isAccepted());
        QTRY_COMPARE(w.image().Trend_User.Time, 60);
    }
    EXPECT_TRUE(target->property("plainText").toString().isEmpty());
}

TEST_F(FileMenu, RecentFilesKeepTheLastEightThatStillExist) {
    gui::Tfrm_Main& w = start(false);
    for (int i = 1; i <= 9; ++i) save(("set" + std::to_string(i)).c_str());
    std::filesystem::remove(h->documents() / "set8.PGA");
    w.refreshRecentMenu();
    QStringList items;
    for (QAction* a : w.mnu_Zuletzt->actions()) {
        if (!a->isSeparator()) items << a->text();
    }
    // Newest first, 8 kept and the missing one dropped: set9, set7 .. set2.
    ASSERT_EQ(items.size(), 8) << items.join('|').toStdString();
    EXPECT_TRUE(items[0].startsWith("&1 ") && items[0].endsWith("set9.PGA"));
    EXPECT_TRUE(items[1].endsWith("set7.PGA"));
    EXPECT_TRUE(items[6].endsWith("set2.PGA"));
    EXPECT_EQ(items[7].toStdString(), w.LoadText(gui::kRecentClearText));

    // An item loads its file as Load does.
    w.image().Trend_User.Time = 5;
    child<QAction>(w.mnu_Zuletzt, "mnu_Zuletzt3")->trigger();
    EXPECT_EQ(w.image().Trend_User.Time, 60);
    EXPECT_EQ(w.recentFiles().front(), h->documents() / "set6.PGA");

    // The list outlives the program in the settings file.
    w.close();
    const std::vector<std::filesystem::path> kept = ReadRecentFiles(h->appData());
    EXPECT_EQ(kept, w.recentFiles());
    ASSERT_EQ(kept.size(), 7u);

    child<QAction>(w.mnu_Zuletzt, "mnu_ZuletztLoeschen")->trigger();
    w.refreshRecentMenu();
    ASSERT_EQ(w.mnu_Zuletzt->actions().size(), 1);
    EXPECT_FALSE(w.mnu_Zuletzt->actions()[0]->isEnabled());
    EXPECT_EQ(w.mnu_Zuletzt->actions()[0]->text().toStdString(), w.LoadText(gui::kRecentNoneText));
}

// Pages switched by the keyboard follow the rules of a click: a device with
// one circuit and no trend recording is never shown circuit 2 or the trend
// pages (they are passed over in the direction of travel), and the page
// reached is filled.
TEST(Keyboard, PageSwitchesByKeyRunThePageRules) {
    WindowSetup setup;
    setup.device.ausbaustufe = ausbaustufe::Basic;
    Harness h(setup);
    gui::Tfrm_Main& w = h.start();
    struct Case {
        const char* keys;
        QTabWidget* tabs;
        QWidget* target;  // the key press goes here
        QWidget* from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QWidget* expected;
    };
    const std::vector<Case> cases = {
        {"right arrow on the tab bar", w.NBBetrieb, w.NBBetrieb->tabBar(), w.TabKreis1,
         Qt::Key_Right, Qt::NoModifier, w.TabFehler},
        {"left arrow back", w.NBBetrieb, w.NBBetrieb->tabBar(), w.TabFehler, Qt::Key_Left,
         Qt::NoModifier, w.TabKreis1},
        {"Ctrl+Tab on the parameter pages", w.NBParameter, w.NBParameter, w.TabPar1, Qt::Key_Tab,
         Qt::ControlModifier, w.TabParRelais},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        w.Notebook->setCurrentWidget(c.tabs == w.NBBetrieb ? w.TabBetrieb : w.TabParameter);
        c.tabs->setCurrentWidget(c.from);
        QApplication::processEvents();
        const auto frames = h.device.framesServed();
        QTest::keyClick(c.target, c.key, c.modifiers);
        QApplication::processEvents();
        EXPECT_EQ(c.tabs->currentWidget(), c.expected);
        EXPECT_GT(h.device.framesServed(), frames);  // filled as after a click
    }
}

// Compare before writing: loading a parameter file online shows the
// differences first and writes only when the user says so; the switch turns
// it off; "compare with file" writes nothing, online or offline (the
// comparison window itself: the last test below).
class CompareBeforeWriting : public FileMenu {
  protected:
    // The device's parameters saved as a file, then two fields changed.
    std::filesystem::path changedFile() {
        const auto file = save("device");
        ProfileFile pga(file);
        pga.writeString("T_User0", "Max", "333.5");
        pga.writeString("Trend_User", "Time", "11");
        EXPECT_TRUE(pga.save());
        return file;
    }
};

TEST_F(CompareBeforeWriting, CancelSendsNothingAndKeepsTheImage) {
    gui::Tfrm_Main& w = start(true);
    changedFile();
    const ParameterImage before = w.image();
    const auto writes = h->device.writesAccepted();
    h->dialogs.yesNo = {true};
    h->dialogs.compareAnswers = {false};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    ASSERT_EQ(h->dialogs.comparisons.size(), 1u);
    const gui::ComparisonView& view = h->dialogs.comparisons[0];
    EXPECT_EQ(ComparedFields(view), (std::vector<std::string>{"T_User0 Max", "Trend_User Time"}));
    EXPECT_EQ(view.rows[0].page, w.LoadText(529));
    EXPECT_NE(view.rows[0].right.find("333.5"), std::string::npos) << view.rows[0].right;
    EXPECT_FALSE(view.writeText.isEmpty());
    EXPECT_EQ(h->device.writesAccepted(), writes);
    EXPECT_TRUE(w.image() == before);
    EXPECT_FALSE(w.Busy());

    // Written when the user says so.
    h->dialogs.yesNo = {true};
    h->dialogs.compareAnswers = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_GT(h->device.writesAccepted(), writes);
    EXPECT_EQ(w.image().T_User[0].Max, 333.5f);
    // The device now holds the file: a second load finds nothing to write.
    const auto after = h->device.writesAccepted();
    h->dialogs.yesNo = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_EQ(h->dialogs.comparisons.size(), 2u);
    EXPECT_EQ(h->dialogs.log.back().toStdString(), "info:" + w.LoadText(22566));
    EXPECT_EQ(h->device.writesAccepted(), after);
}

// Switched off, the load writes at once. The window's device history keeps
// what happened: "Save" online read the set whole (a snapshot), the load
// wrote it with two settings changed (two entries, read back equal).
TEST_F(CompareBeforeWriting, SwitchedOffTheLoadWritesAtOnceAndTheHistoryKeepsIt) {
    gui::Tfrm_Main& w = start(true);
    changedFile();
    w.session().CompareBeforeWrite = false;
    const auto writes = h->device.writesAccepted();
    h->dialogs.yesNo = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_TRUE(h->dialogs.comparisons.empty());
    EXPECT_GT(h->device.writesAccepted(), writes);
    EXPECT_EQ(w.image().Trend_User.Time, 11);

    ASSERT_NE(w.history(), nullptr);
    std::vector<history::SnapshotInfo> snapshots;
    ASSERT_TRUE(w.history()->store().listSnapshots("", &snapshots).ok());
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].origin.program, "window");
    std::vector<history::JournalEntry> journal;
    ASSERT_TRUE(w.history()->store().listJournal({}, &journal).ok());
    std::vector<std::string> written;
    for (const history::JournalEntry& e : journal) {
        written.push_back(e.change.section + " " + e.change.key + " " + e.change.newBase + " " +
                          std::string(history::OutcomeName(e.change.outcome)));
    }
    EXPECT_EQ(written, (std::vector<std::string>{"T_User0 Max 333.5 confirmed",
                                                 "Trend_User Time 11 confirmed"}));
}

// Offline: EachDifferenceIsNamedByItsPageWithTheFileKeyBeside below.
TEST_F(CompareBeforeWriting, CompareWithFileWritesNothingOnline) {
    gui::Tfrm_Main& w = start(true);
    changedFile();
    const ParameterImage before = w.image();
    const auto writes = h->device.writesAccepted();
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_Vergleichen->trigger();
    ASSERT_EQ(h->dialogs.comparisons.size(), 1u);
    const gui::ComparisonView& view = h->dialogs.comparisons[0];
    EXPECT_EQ(ComparedFields(view), (std::vector<std::string>{"T_User0 Max", "Trend_User Time"}));
    EXPECT_TRUE(view.writeText.isEmpty());
    EXPECT_EQ(view.headers.at(2).toStdString(), w.LoadText(22563));
    EXPECT_EQ(h->device.writesAccepted(), writes);
    EXPECT_TRUE(w.image() == before);
}

// The comparison window names each difference as its page does, with the
// file's section and key beside it and in the name's tooltip, each page once
// with its rows; the rows come from the same core function as `parvion2-cli
// diff`. Close is the default button; Write is there only when offered.

TEST_F(CompareBeforeWriting, EachDifferenceIsNamedByItsPageWithTheFileKeyBeside) {
    gui::Tfrm_Main& w = start(false);
    w.image().T_User[0].Kind = 1;  // measured: the line "Wert bei 20 mA" shows Max
    ProfileFile pga(changedFile());
    pga.writeString("T_User0", "Min", "-7");
    ASSERT_TRUE(pga.save());
    const ParameterImage before = w.image();

    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_Vergleichen->trigger();
    ASSERT_EQ(h->dialogs.comparisons.size(), 1u);
    const gui::ComparisonView& view = h->dialogs.comparisons[0];
    EXPECT_EQ(view.headers.at(2).toStdString(), w.LoadText(22570));
    EXPECT_TRUE(w.image() == before);
    EXPECT_EQ(h->device.framesServed(), 0u);
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[0].label, "Temperatur — Wert bei 4 mA");

    gui::TCompareDlg dlg(view);
    EXPECT_EQ(dlg.BtnWrite, nullptr);
    EXPECT_TRUE(dlg.BtnClose->isDefault());
    EXPECT_TRUE(dlg.CompareCount->text().endsWith(QStringLiteral(" 3")));
    using D = gui::TCompareDlg;
    EXPECT_EQ(dlg.CompareList->headerItem()->text(D::kLabelColumn).toStdString(), "Einstellung");
    ASSERT_EQ(dlg.CompareList->topLevelItemCount(), 2);
    QTreeWidgetItem* page = dlg.CompareList->topLevelItem(0);
    EXPECT_EQ(page->text(0).toStdString(), "Kreis 1");
    EXPECT_EQ(page->childCount(), 2);
    QTreeWidgetItem* row = page->child(1);
    EXPECT_EQ(row->text(D::kLabelColumn).toStdString(), "Temperatur — Wert bei 20 mA");
    EXPECT_EQ(row->toolTip(D::kLabelColumn), QStringLiteral("[T_User0] Max"));
    EXPECT_EQ(row->text(D::kSectionColumn), QStringLiteral("T_User0"));
    EXPECT_EQ(row->text(D::kKeyColumn), QStringLiteral("Max"));
    EXPECT_TRUE(row->text(D::kRightColumn).contains(QStringLiteral("333.5")));
    // A field no page line shows: named by its key.
    QTreeWidgetItem* trend = dlg.CompareList->topLevelItem(1)->child(0);
    EXPECT_EQ(trend->text(D::kLabelColumn), QStringLiteral("[Trend_User] Time"));
    EXPECT_GE(dlg.CompareList->columnWidth(D::kLabelColumn),
              dlg.CompareList->fontMetrics().horizontalAdvance(row->text(D::kLabelColumn)));

    gui::ComparisonView offered = view;
    offered.writeText = QStringLiteral("Write");
    gui::TCompareDlg write(offered);
    ASSERT_NE(write.BtnWrite, nullptr);
    EXPECT_TRUE(write.BtnClose->isDefault());
    write.BtnClose->click();
    EXPECT_EQ(write.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace parvion::test
