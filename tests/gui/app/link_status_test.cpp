// What the window says when the link to the device fails: why a start ends
// offline and why the settings dialog cannot connect, in the status bar and
// the user's language.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cerrno>
#include <vector>

#include "core/link/link_failure.h"
#include "core/link/transport.h"
#include "gui/app/qt_serial_line.h"
#include "gui/app/settings_dialog_rig.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

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
        WindowSetup setup;
        setup.sprache = 1;
        setup.portPath = c.port;
        setup.online = c.online;
        Harness h(setup);
        if (c.noReplies > 0) h.device.injectFault(sim::Fault::NoReply, c.noReplies);
        ASSERT_TRUE(h.window->FormCreate());
        gui::Tfrm_Main& w = *h.window;
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
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
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
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            w.session().Medium = medium;
            w.session().Sprache = sprache;
            for (const LinkFailure& f : all) {
                const QString text = QString::fromStdString(
                    LinkFailureText(f, [&w](std::uint16_t n) { return w.LoadText(n); }));
                EXPECT_LE(panel->fontMetrics().horizontalAdvance(text),
                          panel->contentsRect().width())
                    << text.toStdString();
            }
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
    EXPECT_NE(cause, r.texts.LoadText(49));
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
