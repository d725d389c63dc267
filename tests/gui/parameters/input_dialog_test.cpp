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

TEST_F(InputDialog, OpeningShowsValueAndLimits) {
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
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("-273 .. 1500"));
    dlg.hide();
    EXPECT_TRUE(dlg.IntegerMode);  // never reset by the dialog
}

TEST_F(InputDialog, FirstKeyReplacesTheSelectedValue) {
    temperature(21.5f);
    EXPECT_EQ(typeAndOk(QStringLiteral("1,5")), QDialog::Accepted);
    EXPECT_EQ(typed, QStringLiteral("1.5"));
    EXPECT_EQ(dlg.Value, 1.5f);
    EXPECT_EQ(beeps, 0);
}

TEST_F(InputDialog, FilterSwallowsWhatCannotBePartOfANumber) {
    temperature(0.0f);
    typeAndOk(QStringLiteral("1a.2.e-2x"));
    EXPECT_EQ(typed, QStringLiteral("1.2E-2"));
    EXPECT_FLOAT_EQ(dlg.Value, 0.012f);
    // Exponent digits count against the precision like any other.
    temperature(0.0f);
    typeAndOk(QStringLiteral("1.23E-2"));
    EXPECT_EQ(typed, QStringLiteral("1.23E-"));
    temperature(0.0f);
    typeAndOk(QStringLiteral("1234567"));
    EXPECT_EQ(typed, QStringLiteral("12345"));
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

TEST_F(InputDialog, EntriesAreClampedWithABeep) {
    temperature(20.0f);
    typeAndOk(QStringLiteral("2000"));
    EXPECT_EQ(dlg.Value, 1500.0f);
    EXPECT_EQ(beeps, 1);
    temperature(20.0f);
    typeAndOk(QStringLiteral("-300"));
    EXPECT_EQ(dlg.Value, -273.15f);
    EXPECT_EQ(beeps, 2);
    temperature(20.0f);
    typeAndOk(QStringLiteral("0.0000000001"));  // via the key filter: zeros always pass
    EXPECT_EQ(dlg.Value, 0.0f);
    EXPECT_EQ(beeps, 3);
    temperature(20.0f);
    typeAndOk(QStringLiteral("0"));
    EXPECT_EQ(dlg.Value, 0.0f);
    EXPECT_EQ(beeps, 3);
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
    temperature(100.0f);
    typeAndOk(QStringLiteral("3000"));
    EXPECT_EQ(dlg.Value, 1500.0f);
    EXPECT_EQ(beeps, 1);

    // The same dialog with the option off works in °C.
    image.Dis_User.Einheiten = 0;
    temperature(100.0f);
    typeAndOk(QStringLiteral("32"));
    EXPECT_EQ(dlg.Value, 32.0f);
}

TEST_F(InputDialog, NoQuantityTakesTheEntryAsItIs) {
    // The system factor.
    dlg.Quantity = kNoQuantity;
    dlg.MinValue = 0.9f;
    dlg.MaxValue = 1.1f;
    dlg.Value = 1.0f;
    image.Dis_User.Einheiten = 1;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("0.9 .. 1.1"));
    dlg.hide();
    typeAndOk(QStringLiteral("1.05"));
    EXPECT_EQ(dlg.Value, 1.05f);
}

}  // namespace
}  // namespace parvion::gui
