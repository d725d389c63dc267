// The main window online (main-online.png, the README's picture), every
// page of both variants in both languages, and the dialogs the main window
// opens, for a look at texts that are cut off or controls that overlap.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/edit/parameter_compare.h"
#include "core/link/doctor.h"
#include "core/link/parameter_blocks.h"
#include "core/tables/table_messages.h"
#include "gui/app/about_box.h"
#include "gui/app/compare_dialog.h"
#include "gui/app/settings_dialog.h"
#include "gui/app/settings_dialog_rig.h"
#include "gui/parameters/password_dialog.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/radio_group.h"
#include "shots.h"
#include "sim/lib/tcp_server.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(Screenshot, MainWindowOnline) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    Shoot(*h.window, ScreenshotFolder() + "/main-online");
}

// A device whose circuit page is full: two measuring units on
// differential pressure, the gas calculation (or a medium with values).
void FullCircuitPage(sim::Device& device, int medium) {
    T_UserRec t{};
    t.Kind = 1;
    t.Min = -20.0f;
    t.Max = 180.0f;
    device.poke(block::T_User(0).address, codec::Encode(t));
    P_UserRec p{};
    p.Kind = 1;
    p.Min = 0.0f;
    p.Max = 1600.0f;
    p.Hyd = 101.325f;
    device.poke(block::P_User(0).address, codec::Encode(p));
    Flow_UserRec f{};
    f.Kind = 2;
    f.Exp_zahl = 0.998f;
    f.Schleich = 2.5f;
    device.poke(block::Flow_User(0).address, codec::Encode(f));
    Des_UserRec d{};
    d.Desdp = 250.0f;
    d.DesQN = 12500.0f;
    d.DesT = 15.0f;
    d.Desp = 1600.0f;
    d.Desdp2 = 60.0f;
    d.Desdp3 = 15.0f;
    d.Desdp4 = 4.0f;
    device.poke(block::Des_User(0).address, codec::Encode(d));
    Med_UserRec m{};
    m.Kind = medium == 0 ? 6 : 4;
    // Gas: a status other than OK, with its note below the gas lines.
    m.Dummy2 = medium == 0 ? '3' : '0';
    m.Rho = 0.8f;
    m.BRho = 0.81f;
    m.BT = 20.0f;
    m.Bp = 101.325f;
    m.WKapa = 4.19f;
    device.poke(block::Med_User(0).address, codec::Encode(m));
    Imp_UserRec i{};
    i.Kind = 1;
    i.Compare = 10.0f;
    device.poke(block::Imp_User(0).address, codec::Encode(i));
    SystemRec s{};
    s.Kind = 1;
    s.Anzahl = 4;
    s.KindMask = 7;
    s.Faktor = 1.0f;
    device.poke(block::System.address, codec::Encode(s));
    // Presets in use, and correction factors that are not all 1.
    const float presets[8] = {293.15f, 101.325f, 1250.0f, 900.0f, 0, 0, 0, 0};
    for (int k = 0; k < 8; ++k) {
        device.poke(block::Vorgaben(k).address, codec::EncodeVorgabe(presets[k]));
    }
    FlowKorrRec korr{};
    korr.Stelle = {0.985f, 0.99f, 0.995f, 1.0f, 1.0f, 1.002f, 1.004f, 1.01f};
    device.poke(block::FlowKorr(0).address, codec::Encode(korr));
}

TEST(Screenshot, EveryPage) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        {
            Harness h(setup);
            FullCircuitPage(h.device, setup.medium);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            w.show();
            // At the size the window opens with, then as large as the screen.
            for (const QString& suffix : {QString(), QStringLiteral("-max")}) {
                if (!suffix.isEmpty()) {
                    w.resize(w.screen()->availableGeometry().size());
                    QCoreApplication::processEvents();
                }
                for (QTabWidget* owner : {w.NBBetrieb, w.NBParameter}) {
                    w.Notebook->setCurrentIndex(owner == w.NBBetrieb ? 0 : 1);
                    for (int i = 0; i < owner->count(); ++i) {
                        owner->setCurrentIndex(i);
                        w.NotebookMouseDown();
                        QCoreApplication::processEvents();
                        if (owner->currentIndex() != i) continue;  // page refused
                        // The trend memory is read on request only.
                        if (owner->widget(i) == w.TabTrend) w.TabTrend->cmd_ReadTrendsClick(false);
                        w.grab().save(prefix + owner->widget(i)->objectName() + suffix + ".png",
                                      "PNG");
                    }
                }
            }
            w.resize(w.minimumSize());
            // The units page with the user units on, on the mass flow sheet.
            w.NBParameter->setCurrentWidget(w.TabparEinheiten);
            w.NotebookMouseDown();
            child<QCheckBox>(&w, "CheckUserEinheiten")->click();
            child<QTabWidget>(&w, "PC_Usereinheiten")->setCurrentIndex(4);
            QCoreApplication::processEvents();
            w.grab().save(prefix + "TabparEinheiten-on.png", "PNG");
            child<QCheckBox>(&w, "CheckUserEinheiten")->click();
            // The remarks page with a line a parameter file stores otherwise.
            w.NBParameter->setCurrentWidget(w.TabParBemerkung);
            w.NotebookMouseDown();
            child<QPlainTextEdit>(&w, "Param_Memo")
                ->setPlainText(QStringLiteral("Station 7\n@\nZähler Süd"));
            QCoreApplication::processEvents();
            w.grab().save(prefix + "TabParBemerkung-note.png", "PNG");
            // The input dialog as a double click on the flow design value opens it.
            w.Notebook->setCurrentIndex(1);
            w.NBParameter->setCurrentIndex(0);
            w.NotebookMouseDown();
            QTimer::singleShot(100, &w, [&] {
                gui::TInputDlg* dlg = w.inputDialog();
                dlg->grab().save(prefix + "TInputDlg.png", "PNG");
                dlg->reject();
            });
            child<QListWidget>(&w, "ListePF1")->setCurrentRow(0);
            w.TabPar1->ListePF1DblClick();
        }
    });
}

TEST(Screenshot, AboutBoxAndSettingsGoingOnline) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        {
            // A device of expansion level C0: the longest level text.
            setup.device.ausbaustufe = 0xC0;
            Harness h(setup);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            w.aboutBox()->show();
            QCoreApplication::processEvents();
            w.aboutBox()->grab().save(prefix + "TAboutBox.png", "PNG");
            w.aboutBox()->hide();
        }
        {
            setup.online = false;
            Harness h(setup);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            gui::TEinst* einst = w.settingsDialog();
            einst->show();
            QCoreApplication::processEvents();
            ClickItem(einst->Zustand_Grp, 1);
            QCoreApplication::processEvents();
            einst->grab().save(prefix + "TEinst-online.png", "PNG");
            einst->reject();
        }
    });
}

// Live values that a refresh could not renew, and the status bar of a start
// that ended offline because the port does not exist or nothing answered.
TEST(Screenshot, StaleValuesAndOfflineStart) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        {
            Harness h(setup);
            FullCircuitPage(h.device, setup.medium);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            w.show();
            h.device.injectFault(sim::Fault::NoReply, 4);
            w.ReadCircuitValues(0);
            QCoreApplication::processEvents();
            w.grab().save(prefix + "TabKreis1-stale.png", "PNG");
        }
        {
            WindowSetup missing = setup;
            missing.portPath = "/dev/ttyUSB7";
            Harness h(missing);
            ASSERT_TRUE(h.window->FormCreate());
            h.window->show();
            QCoreApplication::processEvents();
            h.window->grab().save(prefix + "start-port-missing.png", "PNG");
            // Offline, the clock group says it needs a device.
            h.window->Notebook->setCurrentWidget(h.window->TabParameter);
            h.window->NBParameter->setCurrentWidget(h.window->TabParSystem);
            QCoreApplication::processEvents();
            h.window->grab().save(prefix + "TabParSystem-offline.png", "PNG");
        }
        {
            // A trend read that fails after a good one.
            Harness h(setup);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            w.show();
            w.NBBetrieb->setCurrentWidget(w.TabTrend);
            w.TabTrend->cmd_ReadTrendsClick(false);
            h.device.injectFault(sim::Fault::NoReply, 4);
            w.TabTrend->cmd_ReadTrendsClick(false);
            QCoreApplication::processEvents();
            w.grab().save(prefix + "TabTrend-stale.png", "PNG");
        }
        {
            Harness h(setup);
            h.device.injectFault(sim::Fault::NoReply, 4);
            ASSERT_TRUE(h.window->FormCreate());
            h.window->show();
            QCoreApplication::processEvents();
            h.window->grab().save(prefix + "start-no-reply.png", "PNG");
        }
    });
}

TEST(Screenshot, CompareAndConnectionTest) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        {
            const int medium = setup.medium;
            setup.device.baudIndex = 4;
            setup.overPty = true;
            Harness h(setup);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            auto text = [&w](std::uint16_t n) { return QString::fromStdString(w.LoadText(n)); };
            namespace ct = edit::compare_text;
            gui::ComparisonView view;
            view.title = text(ct::kTitle);
            view.headers = {text(ct::kSection), text(ct::kKey), text(ct::kDevice), text(ct::kFile)};
            view.countLabel = text(ct::kCount);
            view.writeText = text(ct::kWrite);
            view.closeText = text(ct::kCancel);
            ParameterImage file = w.image();
            file.T_User[0].Max += 10.0f;
            file.T_User[1].Min -= 5.0f;
            file.Alm_User[0].Kind = 1;
            file.Trend_User.Time = 11;
            view.rows = edit::CompareParameterSets(w.image(), file, medium,
                                                   [&w](std::uint16_t n) { return w.LoadText(n); });
            gui::TCompareDlg compare(view, &w);
            compare.show();
            QCoreApplication::processEvents();
            compare.grab().save(prefix + "TCompareDlg.png", "PNG");
            compare.hide();

            gui::TEinst* einst = w.settingsDialog();
            einst->show();
            QCoreApplication::processEvents();
            einst->grab().save(prefix + "TEinst.png", "PNG");
            QTimer poll;
            poll.setInterval(10);
            QObject::connect(&poll, &QTimer::timeout, [&] {
                auto* dlg = einst->findChild<gui::TDoctorDlg*>();
                if (dlg == nullptr || !dlg->isVisible()) return;
                dlg->grab().save(prefix + "TDoctorDlg.png", "PNG");
                dlg->reject();
            });
            poll.start();
            einst->Bd_Grp->setItemIndex(7);  // not the device's rate: the take-over shows
            einst->BtnTest->click();
            poll.stop();
            einst->reject();
        }
    });
}

// The settings dialog with "Com 1" on a device server with RFC 2217 and
// "Com 2" on a raw TCP port (the simulator's network front), and the
// connection test's report of the first.
TEST(Screenshot, NetworkPorts) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        sim::Device device(setup.device);
        sim::TcpServer rfc2217(device, true);
        sim::Device rawDevice(setup.device);
        sim::TcpServer raw(rawDevice, false);
        std::string error;
        ASSERT_TRUE(rfc2217.start("127.0.0.1", 0, &error)) << error;
        ASSERT_TRUE(raw.start("127.0.0.1", 0, &error)) << error;
        setup.portPath = rfc2217.portName();
        Harness h(setup);
        ProfileFile ini(SettingsFile(h.appData()));
        ini.writeString(settings_keys::kPorts, "Com2", raw.portName());
        ini.save();
        gui::Tfrm_Main& w = *h.window;
        ASSERT_TRUE(w.FormCreate());
        gui::TEinst* einst = w.settingsDialog();
        einst->show();
        QCoreApplication::processEvents();
        einst->grab().save(prefix + "TEinst-net.png", "PNG");
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dlg = einst->findChild<gui::TDoctorDlg*>();
            if (dlg == nullptr || !dlg->isVisible()) return;
            dlg->grab().save(prefix + "TDoctorDlg-net.png", "PNG");
            dlg->reject();
        });
        poll.start();
        einst->BtnTest->click();
        poll.stop();
        ClickItem(einst->Com_Grp, 1);
        QCoreApplication::processEvents();
        einst->grab().save(prefix + "TEinst-net-raw.png", "PNG");
        einst->reject();
    });
}

// The small dialogs and Qt's own boxes in the language of the window: the
// password dialog, a question (Yes/No), the overwrite warning and the save
// dialog.
TEST(Screenshot, QuestionsAndSmallDialogs) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        Harness h(setup);
        gui::Tfrm_Main& w = *h.window;
        ASSERT_TRUE(w.FormCreate());
        w.show();
        gui::TPasswordDlg* password = w.passwordDialog();
        password->show();
        QCoreApplication::processEvents();
        password->grab().save(prefix + "TPasswordDlg.png", "PNG");
        password->hide();

        // Each box is photographed as soon as it shows, then closed.
        const auto shoot = [&](const QString& name) {
            QTimer::singleShot(200, &w, [name] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal == nullptr) return;
                modal->grab().save(name, "PNG");
                QTest::keyClick(modal, Qt::Key_Escape);
            });
        };
        gui::QtDialogs dialogs;
        shoot(prefix + "question.png");
        dialogs.askYesNo(&w, QString::fromStdString(w.LoadText(16)), gui::DefaultAnswer::No);
        shoot(prefix + "missing-cells.png");
        std::vector<std::string> keys;
        for (int row = 11; row <= 32; ++row) {
            for (int col = 0; col < 4; ++col) keys.push_back(tables::SaturationCellKey({col, row}));
        }
        dialogs.askYesNo(&w,
                         QString::fromStdString(tables::MissingCellsQuestion(
                             [&w](std::uint16_t n) { return w.LoadText(n); }, keys)),
                         gui::DefaultAnswer::No);
        shoot(prefix + "overwrite.png");
        const std::filesystem::path existing = h.documents() / "station.PGA";
        writeFileBytes(existing, "[System]\r\n");
        gui::mayOverwrite(dialogs, &w, QString::fromStdString(existing.string()),
                          w.session().Sprache);
        shoot(prefix + "keep-work.png");
        const auto t = [&w](std::uint16_t n) { return QString::fromStdString(w.LoadText(n)); };
        dialogs.askKeepWork(&w, {t(gui::kUnsavedCloseText), t(gui::kSaveButtonText),
                                 t(gui::kDiscardButtonText), t(gui::kCancelButtonText)});
        shoot(prefix + "save-dialog.png");
        gui::FileRequest request;
        request.directory = QString::fromStdString(h.documents().string());
        request.filters = {QStringLiteral("Gas Parameter (*.PGA)")};
        request.defaultSuffix = QStringLiteral("PGA");
        dialogs.saveFile(&w, request);
    });
}

// The parameter menu with its recent files, opened as the user opens it.
TEST(Screenshot, RecentFilesMenu) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        setup.online = false;
        Harness h(setup);
        gui::Tfrm_Main& w = *h.window;
        ASSERT_TRUE(w.FormCreate());
        w.show();
        const std::filesystem::path sub = h.documents() / "Stationen Süd";
        std::filesystem::create_directories(sub);
        for (const char* name : {"Verdichter 2", "station7", "Übergabe Nord"}) {
            h.dialogs.saveAnswers = {QString::fromStdString((sub / name).string())};
            w.mnu_SpeichernClick();
        }
        w.mnu_Parameter->popup(w.mapToGlobal(QPoint(0, w.menuBar()->height())));
        QTest::qWait(200);
        w.refreshRecentMenu();
        w.mnu_Zuletzt->popup(w.mnu_Parameter->geometry().topRight());
        QTest::qWait(200);
        w.mnu_Parameter->grab().save(prefix + "menu-parameter.png", "PNG");
        w.mnu_Zuletzt->grab().save(prefix + "menu-recent.png", "PNG");
        w.mnu_Zuletzt->hide();
        w.mnu_Parameter->hide();
    });
}

// The status bar's warning of a device history that cannot be opened,
// online and offline.
TEST(Screenshot, HistoryWarning) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        for (const bool online : {true, false}) {
            setup.online = online;
            Harness h(setup);
            ProfileFile ini(SettingsFile(h.appData()));
            ini.writeString(settings_keys::kHistory, settings_keys::kDatabase,
                            "mysql://elsewhere/db");
            ASSERT_TRUE(ini.save());
            ASSERT_TRUE(h.window->FormCreate());
            h.window->show();
            Shoot(*h.window,
                  prefix + (online ? "history-warning-online" : "history-warning-offline"));
        }
    });
}

}  // namespace
}  // namespace parvion::test
