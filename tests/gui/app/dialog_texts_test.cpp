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

// In English (German is the program's own), with no German word left.
TEST(DialogTexts, TheSmallDialogsSpeakTheLanguageInForce) {
    WindowSetup setup = offline();
    setup.sprache = 1;
    Harness h(setup);
    gui::Tfrm_Main& w = *h.window;
    ASSERT_TRUE(w.FormCreate());
    gui::TEinst& einst = *w.settingsDialog();
    gui::TInputDlg& input = *w.inputDialog();
    gui::TPasswordDlg& password = *w.passwordDialog();
    QString caption;
    const QStringList all = ShownTexts(einst) + ShownTexts(input) + ShownTexts(password, &caption);
    for (const QPushButton* ok : {einst.BtnOk, input.OKBtn, password.mrOk}) {
        EXPECT_EQ(ok->text(), "&OK");
    }
    for (const QPushButton* cancel : {einst.BtnCancel, input.CancelBtn, password.CancelBtn}) {
        EXPECT_EQ(cancel->text(), "&Cancel");
    }
    EXPECT_EQ(caption, "Password");
    for (const QString& text : all) {
        EXPECT_FALSE(
            QStringList({"Abbrechen", "Paßwort", "Ja", "Nein", "Schließen"}).contains(text))
            << text.toStdString();
    }
}

TEST(DialogTexts, QtsOwnTextsFollowTheLanguageAtStartAndWhenItChanges) {
    if (!QtGermanAvailable()) GTEST_SKIP() << "Qt's German translation is not installed";
    WindowSetup setup = offline();
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
