// The value input dialog and the password dialog, driven by keys.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/model/units.h"
#include "gui/parameters/password_dialog.h"
#include "gui/shared/input_dialog.h"

namespace parvion::gui {
namespace {

// The value input dialog driven by keys: display and caption on opening,
// the key filter on real key events, OK with clamping and beeps, Cancel and
// the close box, and the user's unit.

struct InputDialog : ::testing::Test {
    InputDialog() : dlg(image, session, nullptr, [this] { ++beeps; }) {}

    // A temperature as the circuit pages ask for it.
    void temperature(float value) {
        dlg.Quantity = quantity::Temperature;
        dlg.Precision = 5;
        dlg.MinValue = -273.15f;
        dlg.MaxValue = 1500.0f;
        dlg.Value = value;
    }
    // Runs the dialog modally; `keys` are typed into the edit, then `finish`
    // closes it.
    int run(const QString& keys, const std::function<void()>& finish) {
        QTimer::singleShot(0, &dlg, [&] {
            QTest::keyClicks(dlg.Input, keys);
            typed = dlg.Input->text();
            finish();
        });
        return dlg.exec();
    }
    int typeAndOk(const QString& keys) {
        return run(keys, [this] { dlg.OKBtn->click(); });
    }

    ParameterImage image;
    Session session;
    int beeps = 0;
    QString typed;
    TInputDlg dlg;
};

// The number rules are the core's (input_rules_test); here the dialog shows
// and reads through them: value and caption on opening, the key filter on
// real key events.
TEST_F(InputDialog, OpeningShowsValueAndLimitsAndTheFirstKeyReplacesThem) {
    temperature(21.5f);
    dlg.show();
    EXPECT_EQ(dlg.Input->text(), QStringLiteral("21.5"));
    EXPECT_EQ(dlg.Input->selectedText(), QStringLiteral("21.5"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("-273.15 .. 1500"));
    EXPECT_FALSE(dlg.Cancelled);
    dlg.hide();
    dlg.IntegerMode = true;
    dlg.Value = 12.6f;
    dlg.show();
    EXPECT_EQ(dlg.Input->text(), QStringLiteral("13"));
    dlg.hide();
    EXPECT_TRUE(dlg.IntegerMode);  // never reset by the dialog

    dlg.IntegerMode = false;
    temperature(21.5f);
    EXPECT_EQ(typeAndOk(QStringLiteral("1a,2.e-2x")), QDialog::Accepted);
    EXPECT_EQ(typed, QStringLiteral("1.2E-2"));
    EXPECT_FLOAT_EQ(dlg.Value, 0.012f);
    EXPECT_EQ(beeps, 0);
}

// How an entry ends: OK, Enter, Cancel, Escape and the close box, on entries
// in and out of the limits, not a number, and edited by keys.
TEST_F(InputDialog, HowAnEntryEnds) {
    const auto ok = [](TInputDlg& d) { d.OKBtn->click(); };
    const auto key = [](Qt::Key k) { return [k](TInputDlg& d) { QTest::keyClick(d.Input, k); }; };
    struct Case {
        const char* what;
        const char* keys;
        std::function<void(TInputDlg&)> finish;
        int result;
        float value;
        int beeps;
        bool cancelled;
    };
    const Case cases[] = {
        {"outside the limits: clamped with a beep", "2000", ok, QDialog::Accepted, 1500, 1, false},
        {"Cancel", "99", [](TInputDlg& d) { d.CancelBtn->click(); }, QDialog::Rejected, 20, 0,
         true},
        {"Escape", "99", key(Qt::Key_Escape), QDialog::Rejected, 20, 0, true},
        {"the close box is no Cancel", "99", [](TInputDlg& d) { d.close(); }, QDialog::Rejected, 20,
         0, false},
        {"no number: the dialog stays open", "-",
         [](TInputDlg& d) {
             d.OKBtn->click();
             EXPECT_TRUE(d.isVisible());
             d.CancelBtn->click();
         },
         QDialog::Rejected, 20, 1, true},
        {"Enter is OK, a held Enter (the one that opened it) is not", "42",
         [](TInputDlg& d) {
             QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier,
                              QStringLiteral("\r"), true);
             QApplication::sendEvent(d.Input, &repeat);
             EXPECT_TRUE(d.isVisible());
             QTest::keyClick(d.Input, Qt::Key_Return);
         },
         QDialog::Accepted, 42, 0, false},
        // Editing keys reach the edit, also where the platform gives Delete
        // the text "\x7f" (X11).
        {"editing keys", "1234",
         [](TInputDlg& d) {
             QTest::keyClick(d.Input, Qt::Key_Backspace);
             QTest::keyClick(d.Input, Qt::Key_Home);
             QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier,
                           QStringLiteral("\x7f"));
             QApplication::sendEvent(d.Input, &del);
             d.OKBtn->click();
         },
         QDialog::Accepted, 23, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        temperature(20.0f);
        beeps = 0;
        EXPECT_EQ(run(QString::fromLatin1(c.keys), [&] { c.finish(dlg); }), c.result);
        EXPECT_EQ(dlg.Value, c.value);
        EXPECT_EQ(beeps, c.beeps);
        EXPECT_EQ(dlg.Cancelled, c.cancelled);
    }
}

// The unit row is the core's choice; the dialog shows and reads in it.
TEST_F(InputDialog, FahrenheitWhenTheUserUnitsAreOn) {
    image.Dis_User.Einheiten = 1;
    image.UserEinheiten[quantity::Temperature].Kind = 1;
    temperature(100.0f);
    dlg.show();
    EXPECT_EQ(dlg.Input->text(), QStringLiteral("212"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("-459.67 .. 2732"));
    dlg.hide();
    typeAndOk(QStringLiteral("32"));
    EXPECT_EQ(dlg.Value, 0.0f);
}

// The password dialog: eight characters at most, hidden, and remembered
// only when confirmed.

TEST(PasswordDialog, TakesEightHiddenCharactersAndCancelAndEscapeTakeNone) {
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

    // Cancel and Escape give no password.
    for (const bool escape : {false, true}) {
        QTimer::singleShot(0, &dlg, [&] {
            QTest::keyClicks(dlg.Password, QStringLiteral("abc"));
            escape ? QTest::keyClick(dlg.Password, Qt::Key_Escape) : dlg.CancelBtn->click();
        });
        EXPECT_EQ(dlg.ask(), QString()) << escape;
    }
}

}  // namespace
}  // namespace parvion::gui
