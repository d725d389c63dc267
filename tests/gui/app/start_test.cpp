// Start-up and shut-down of the main window, the library check, the single
// instance guard and the about box.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>
#include <fstream>
#include <thread>

#include "core/app/history_open.h"
#include "core/app/settings.h"
#include "core/link/data_commands.h"
#include "core/model/profile_file.h"
#include "gui/app/about_box.h"
#include "gui/app/instance_channel.h"
#include "gui/app/instance_guard.h"
#include "gui/app/program.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(Start, OnlineReadsCircuit1AndStartsTheClock) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
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
}

TEST(Start, OfflineLoadsTheDefaultsWithoutTraffic) {
    WindowSetup setup = offline();
    setup.medium = 1;
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    EXPECT_EQ(h.device.framesServed(), 0u);
    EXPECT_EQ(w.Label_Online->text(), "OFFLINE");
    EXPECT_TRUE(w.mnu_System->menuAction()->isEnabled());
    EXPECT_TRUE(w.mnu_energy->isChecked());
    EXPECT_EQ(w.image().Trend_User.Time, 60);
    EXPECT_EQ(w.image().Display.Enable3, 40);  // energy defaults
    EXPECT_EQ(child<QListWidget>(&w, "ListeK1")->count(), 0);
}

// A device history that cannot be opened: the window starts as always,
// and the status bar says why the history is not written (beside the
// reason of an offline start).
TEST(Start, AHistoryThatCannotBeOpenedIsAWarningNotAStop) {
    Harness h;
    ProfileFile ini(SettingsFile(h.appData()));
    ini.writeString(settings_keys::kHistory, settings_keys::kDatabase, "mysql://elsewhere/db");
    ASSERT_TRUE(ini.save());
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
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

TEST(Start, CloseWritesTheSettingsOnlyAfterAFullStart) {
    Harness h(offline());
    ASSERT_TRUE(h.window->FormCreate());
    h.window->session().Sprache = 1;
    h.window->close();
    ProfileFile ini(SettingsFile(h.appData()));
    EXPECT_EQ(ini.readString(settings_keys::kSystem, settings_keys::kSprache, ""), "1");
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

// Offline the box asks the device nothing (the lines online: about_box_test).
TEST(AboutBox, OfflineLines) {
    Harness off(offline());
    ASSERT_TRUE(off.window->FormCreate());
    gui::TAboutBox* box = off.window->aboutBox();
    box->FormActivate();
    const QStringList lines = box->memoLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0].toStdString(), off.window->LoadText(32) + " V02.45");
    EXPECT_EQ(lines[5].toStdString(), off.window->LoadText(43));
    EXPECT_EQ(box->windowTitle().toStdString(), off.window->LoadText(44));
    EXPECT_EQ(off.device.framesServed(), 0u);
}

TEST(AboutBox, HiddenLabelOpensTheLogFolder) {
    Harness h(offline());
    ASSERT_TRUE(h.window->FormCreate());
    std::filesystem::remove_all(h.appData());
    h.window->aboutBox()->Label1DblClick();
    ASSERT_EQ(h.openedFolders.size(), 1u);
    EXPECT_EQ(h.openedFolders[0].toStdString(), h.appData().string());
    EXPECT_TRUE(std::filesystem::is_directory(h.appData()));
    EXPECT_TRUE(h.window->aboutBox()->Label1->text().isEmpty());
}

}  // namespace
}  // namespace parvion::test
