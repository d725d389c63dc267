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
        WindowSetup setup;
        setup.online = c.online;
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
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

}  // namespace
}  // namespace parvion::test
