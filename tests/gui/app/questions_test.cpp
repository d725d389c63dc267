// Questions whose Yes overwrites the device or a file have No (or Cancel) as
// their default button, so a stray Enter changes nothing: the real message
// boxes and the comparison window (what the menus ask: menus_test).

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/app/compare_dialog.h"
#include "gui/shared/dialogs.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

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
    TempDir dir;
    const std::filesystem::path existing = dir / "station.PGA";
    writeFileBytes(existing, "[System]\r\n");
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
        {"a file is overwritten, through mayOverwrite",
         [&] {
             return gui::mayOverwrite(dialogs, nullptr, QString::fromStdString(existing.string()),
                                      0);
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
        WindowSetup setup;
        setup.online = c.online;
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
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

}  // namespace
}  // namespace parvion::test
