// The value input dialog driven by keys: display and caption on opening,
// the key filter on real key events, OK with clamping and beeps, Cancel and
// the close box, and the user's unit.

#include "gui/shared/input_dialog.h"

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

namespace parvion::gui {
namespace {

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

// Editing keys are no typed characters: the filter leaves them to the
// edit, also where the platform gives Delete the text "\x7f" (X11).
TEST_F(InputDialog, EditingKeysReachTheEdit) {
    temperature(0.0f);
    run(QStringLiteral("1234"), [this] {
        QTest::keyClick(dlg.Input, Qt::Key_Backspace);
        QTest::keyClick(dlg.Input, Qt::Key_Home);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(dlg.Input, &del);
        typed = dlg.Input->text();
        dlg.OKBtn->click();
    });
    EXPECT_EQ(typed, QStringLiteral("23"));
    EXPECT_EQ(dlg.Value, 23.0f);
}

TEST_F(InputDialog, AnEntryOutsideTheLimitsIsClampedWithABeep) {
    temperature(20.0f);
    typeAndOk(QStringLiteral("2000"));
    EXPECT_EQ(dlg.Value, 1500.0f);
    EXPECT_EQ(beeps, 1);
}

TEST_F(InputDialog, AnEntryThatIsNoNumberKeepsTheDialogOpen) {
    temperature(20.0f);
    bool stillOpen = false;
    const int result = run(QStringLiteral("-"), [&] {
        dlg.OKBtn->click();
        stillOpen = dlg.isVisible();
        dlg.CancelBtn->click();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(dlg.Value, 20.0f);
}

TEST_F(InputDialog, CancelAndTheCloseBox) {
    temperature(20.0f);
    EXPECT_EQ(run(QStringLiteral("99"), [this] { dlg.CancelBtn->click(); }), QDialog::Rejected);
    EXPECT_TRUE(dlg.Cancelled);
    EXPECT_EQ(dlg.Value, 20.0f);

    EXPECT_EQ(run(QStringLiteral("99"), [this] { dlg.close(); }), QDialog::Rejected);
    EXPECT_FALSE(dlg.Cancelled);  // the close box does not count as Cancel
    EXPECT_EQ(dlg.Value, 20.0f);

    EXPECT_EQ(run(QStringLiteral("99"), [this] { QTest::keyClick(dlg.Input, Qt::Key_Escape); }),
              QDialog::Rejected);
    EXPECT_TRUE(dlg.Cancelled);
}

TEST_F(InputDialog, EnterIsOkButAHeldEnterIsNot) {
    temperature(20.0f);
    bool stillOpen = false;
    EXPECT_EQ(run(QStringLiteral("42"),
                  [this, &stillOpen] {
                      // The repeats of the Enter that opened the dialog.
                      QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier,
                                       QStringLiteral("\r"), true);
                      QApplication::sendEvent(dlg.Input, &repeat);
                      stillOpen = dlg.isVisible();
                      QTest::keyClick(dlg.Input, Qt::Key_Return);
                  }),
              QDialog::Accepted);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dlg.Value, 42.0f);
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

}  // namespace
}  // namespace parvion::gui
