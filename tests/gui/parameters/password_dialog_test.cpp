// The password dialog: eight characters at most, hidden, and remembered
// only when confirmed.

#include "gui/parameters/password_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace parvion::gui {
namespace {

TEST(PasswordDialog, TakesEightHiddenCharactersAndKeepsThem) {
    TPasswordDlg dlg;
    dlg.setText(QStringLiteral("old"));
    QString during;
    QTimer::singleShot(0, &dlg, [&] {
        during = dlg.Password->text();
        QTest::keyClicks(dlg.Password, QStringLiteral("abcdefghij"));
        dlg.mrOk->click();
    });
    EXPECT_EQ(dlg.ask(), QStringLiteral("abcdefgh"));  // a ninth character is refused
    EXPECT_EQ(during, QString());                      // asked with an empty edit
    EXPECT_EQ(dlg.Password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.text(), QStringLiteral("abcdefgh"));
}

TEST(PasswordDialog, CancelLeavesTheEditEmpty) {
    TPasswordDlg dlg;
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClicks(dlg.Password, QStringLiteral("abc"));
        dlg.CancelBtn->click();
    });
    EXPECT_EQ(dlg.ask(), QString());
    QTimer::singleShot(0, &dlg, [&] {
        QTest::keyClicks(dlg.Password, QStringLiteral("abc"));
        QTest::keyClick(dlg.Password, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.ask(), QString());
}

}  // namespace
}  // namespace parvion::gui
