// One language per window: the buttons of the settings, value input and
// password dialogs come from the string library in force, and Qt's own texts
// (standard buttons, file dialogs) from Qt's translation for that language,
// switched with the language at run time.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>

#include "gui/app/settings_dialog.h"
#include "gui/parameters/password_dialog.h"
#include "gui/shared/dialog_texts.h"
#include "gui/shared/input_dialog.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

bool QtGermanAvailable() {
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                         QStringLiteral("/qtbase_de.qm"));
}

// Every button text and the caption of a dialog, after it showed (its
// activation loads the texts).
QStringList ShownTexts(QDialog& dialog, QString* caption = nullptr) {
    dialog.show();
    QCoreApplication::processEvents();
    QStringList texts;
    for (const QPushButton* b : dialog.findChildren<QPushButton*>()) texts << b->text();
    if (caption != nullptr) *caption = dialog.windowTitle();
    dialog.hide();
    return texts;
}

// The "Look in" label of Qt's own file dialog.
QString LookInLabel() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    return label != nullptr ? label->text() : QString();
}

TEST(DialogTexts, TheSmallDialogsSpeakTheLanguageInForce) {
    struct Case {
        int sprache;
        QString ok, cancel, password;
        QStringList foreign;  // words of the other language
    };
    const std::vector<Case> cases = {
        {0, "&OK", "&Abbrechen", "Paßwort", {"&Cancel", "Password"}},
        {1, "&OK", "&Cancel", "Password", {"&Abbrechen", "Paßwort", "Ja", "Nein", "Schließen"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sprache);
        WindowSetup setup;
        setup.online = false;
        setup.sprache = c.sprache;
        Harness h(setup);
        gui::Tfrm_Main& w = *h.window;
        ASSERT_TRUE(w.FormCreate());

        QStringList all;
        gui::TEinst& einst = *w.settingsDialog();
        all << ShownTexts(einst);
        EXPECT_EQ(einst.BtnOk->text(), c.ok);
        EXPECT_EQ(einst.BtnCancel->text(), c.cancel);

        gui::TInputDlg& input = *w.inputDialog();
        all << ShownTexts(input);
        EXPECT_EQ(input.OKBtn->text(), c.ok);
        EXPECT_EQ(input.CancelBtn->text(), c.cancel);

        gui::TPasswordDlg& password = *w.passwordDialog();
        QString caption;
        all << ShownTexts(password, &caption);
        EXPECT_EQ(password.mrOk->text(), c.ok);
        EXPECT_EQ(password.CancelBtn->text(), c.cancel);
        EXPECT_EQ(caption, c.password);

        for (const QString& text : all) {
            EXPECT_FALSE(c.foreign.contains(text)) << text.toStdString();
        }
    }
}

TEST(DialogTexts, QtsOwnTextsFollowTheLanguageAtStartAndWhenItChanges) {
    if (!QtGermanAvailable()) GTEST_SKIP() << "Qt's German translation is not installed";
    WindowSetup setup;
    setup.online = false;
    setup.sprache = 0;
    Harness h(setup);
    gui::Tfrm_Main& w = *h.window;
    ASSERT_TRUE(w.FormCreate());
    EXPECT_TRUE(w.qtTranslations().germanInstalled());
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::Cancel), QStringLiteral("Abbrechen"));
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::Yes), QStringLiteral("&Ja"));
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::No), QStringLiteral("&Nein"));
    const QString germanLookIn = LookInLabel();
    EXPECT_FALSE(germanLookIn.isEmpty());
    EXPECT_NE(germanLookIn, QStringLiteral("Look in:"));

    // A button box that exists follows the switch at once.
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
    w.mnu_Englisch->trigger();
    ASSERT_EQ(w.session().Sprache, 1);
    EXPECT_FALSE(w.qtTranslations().germanInstalled());
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(LookInLabel(), QStringLiteral("Look in:"));

    w.mnu_Deutsch->trigger();
    EXPECT_TRUE(w.qtTranslations().germanInstalled());
    EXPECT_EQ(box.button(QDialogButtonBox::No)->text(), QStringLiteral("&Nein"));
    EXPECT_EQ(LookInLabel(), germanLookIn);
}

TEST(DialogTexts, WithoutALibraryTheButtonsShowQtsOwnTexts) {
    // A dialog made without a text source, and a library without the texts.
    gui::TPasswordDlg password;
    ShownTexts(password);
    EXPECT_EQ(password.mrOk->text(), gui::QtButtonText(QDialogButtonBox::Ok));
    EXPECT_EQ(password.CancelBtn->text(), gui::QtButtonText(QDialogButtonBox::Cancel));
    password.setTexts([](std::uint16_t) { return std::string(); });
    ShownTexts(password);
    EXPECT_EQ(password.CancelBtn->text(), gui::QtButtonText(QDialogButtonBox::Cancel));
}

}  // namespace
}  // namespace parvion::test
