// The main window's own dialogs: the system factor through the value input
// dialog, and the settings dialog behind "Einstellungen...".

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/link/encoding.h"
#include "gui/app/settings_dialog.h"
#include "gui/parameters/system_page.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/radio_group.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// Types `keys` into the value input dialog once it shows, then presses OK
// (or Cancel).
void answerInputDialog(gui::TInputDlg& dlg, const QString& keys, bool ok) {
    QTimer::singleShot(0, &dlg, [&dlg, keys, ok] {
        dlg.Input->selectAll();
        QTest::keyClicks(dlg.Input, keys);
        (ok ? dlg.OKBtn : dlg.CancelBtn)->click();
    });
}

// The system factor is a setting of the balance definition (Kind 4) only.
void doubleClickSystemFactor(gui::Tfrm_Main& w) {
    if (w.image().System.Kind != 4) {
        w.image().System.Kind = 4;
        w.TabParSystem->redisplay();
    }
    QTest::mouseDClick(child<QLineEdit>(&w, "ed_SystemFaktor"), Qt::LeftButton);
}

TEST(SystemFactor, OfflineEntryChangesTheImageOnly) {
    WindowSetup setup;
    setup.online = false;
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    const auto framesBefore = h.device.framesServed();

    answerInputDialog(*h.window->inputDialog(), QStringLiteral("1.05"), true);
    doubleClickSystemFactor(*h.window);
    EXPECT_FLOAT_EQ(h.window->image().System.Faktor, 1.05f);
    EXPECT_EQ(h.device.framesServed(), framesBefore);
    EXPECT_FALSE(h.window->Busy());
}

TEST(SystemFactor, EntriesOutsideTheLimitsAreClampedAndCancelKeepsTheValue) {
    WindowSetup setup;
    setup.online = false;
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());

    answerInputDialog(*h.window->inputDialog(), QStringLiteral("2"), true);
    doubleClickSystemFactor(*h.window);
    EXPECT_FLOAT_EQ(h.window->image().System.Faktor, 1.1f);

    answerInputDialog(*h.window->inputDialog(), QStringLiteral("0.95"), false);
    doubleClickSystemFactor(*h.window);
    EXPECT_FLOAT_EQ(h.window->image().System.Faktor, 1.1f);
}

TEST(SystemFactor, OnlineEntryIsWrittenToTheDeviceAndReadBack) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    ASSERT_TRUE(h.window->session().Online);

    answerInputDialog(*h.window->inputDialog(), QStringLiteral("0.97"), true);
    doubleClickSystemFactor(*h.window);
    const std::vector<std::uint8_t> block = h.device.peek(0x80A0, 16);
    EXPECT_FLOAT_EQ(wire::GetFloat(block, 8), 0.97f);
    EXPECT_FLOAT_EQ(h.window->image().System.Faktor, 0.97f);
    EXPECT_FALSE(h.window->Busy());
}

TEST(SystemFactor, ClosingTheInputDialogByItsCloseBoxWritesNothing) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    ASSERT_TRUE(h.window->session().Online);
    const float before = h.window->image().System.Faktor;
    const auto framesBefore = h.device.framesServed();

    gui::TInputDlg* dlg = h.window->inputDialog();
    QTimer::singleShot(0, dlg, [dlg] {
        dlg->Input->selectAll();
        QTest::keyClicks(dlg->Input, QStringLiteral("0.95"));
        dlg->close();  // the title-bar close box: Cancel without Cancelled
    });
    doubleClickSystemFactor(*h.window);
    EXPECT_FALSE(dlg->Cancelled);
    EXPECT_FLOAT_EQ(h.window->image().System.Faktor, before);
    EXPECT_EQ(h.device.framesServed(), framesBefore);
    EXPECT_FALSE(h.window->Busy());
}

TEST(SettingsMenu, OpensTheSettingsDialogAndCancelLeavesTheProgramOffline) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    ASSERT_TRUE(h.window->mnu_Einstellungen->isEnabled());
    gui::TEinst* einst = h.window->settingsDialog();
    ASSERT_NE(einst, nullptr);

    bool shown = false;
    QTimer::singleShot(0, einst, [einst, &shown] {
        shown = einst->isVisible();
        einst->BtnCancel->click();
    });
    h.window->mnu_Einstellungen->trigger();
    EXPECT_TRUE(shown);
    // Opening closed the port; Cancel does not reopen it.
    EXPECT_FALSE(h.window->session().Online);
    EXPECT_FALSE(h.line->isOpen());
}

TEST(SettingsMenu, OkOnlineReconnectsAndRefreshesTheTexts) {
    WindowSetup setup;
    setup.online = false;
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    gui::TEinst* einst = h.window->settingsDialog();

    QTimer::singleShot(0, einst, [einst] {
        einst->Zustand_Grp->setItemIndex(1);
        einst->Zustand_GrpClick(1);
        einst->BtnOkClick();
    });
    h.window->mnu_Einstellungen->trigger();
    EXPECT_TRUE(h.window->session().Online);
    EXPECT_TRUE(h.line->isOpen());
}

}  // namespace
}  // namespace parvion::test
