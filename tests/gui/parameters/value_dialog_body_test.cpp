// The value dialog opened from the pages names in its body what it edits,
// the unit and the limits (the caption alone is cut or missing under many
// window managers), and OK on an entry without a number says why nothing
// happened, in the dialog, which stays open.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/page_window.h"

namespace parvion::test {
namespace {

struct BodySeen {
    QString prompt;
    QString refusal;
    bool refusalShown = false;
    bool stillOpen = false;
    QSize size;
};

// Opens the dialog by a double click on `row` of `list`, reads its body,
// presses OK on an empty entry, reads the refusal, then cancels.
BodySeen OpenRefuseAndCancel(Window& win, QListWidget* list, int row) {
    BodySeen seen;
    QTimer::singleShot(0, &win.w(), [&] {
        TInputDlg* dlg = win.w().inputDialog();
        if (!dlg->isVisible()) return;
        seen.prompt = dlg->Prompt->text();
        dlg->Input->clear();
        QTest::keyClick(dlg->Input, Qt::Key_Return);
        seen.refusalShown = dlg->Refusal->isVisible();
        seen.refusal = dlg->Refusal->text();
        seen.stillOpen = dlg->isVisible();
        seen.size = dlg->size();
        // Typing again takes the refusal away.
        QTest::keyClicks(dlg->Input, QStringLiteral("1"));
        EXPECT_FALSE(dlg->Refusal->isVisible());
        dlg->CancelBtn->click();
    });
    win.doubleClick(list, row);
    return seen;
}

TEST(ValueDialogBody, NamesTheValueItsUnitAndLimitsAndSaysWhyAnEmptyEntryDidNothing) {
    struct Case {
        int sprache;
        const char* prompt;
        const char* refusal;
    };
    const Case cases[] = {
        {0, "Temperatur — Wert bei 20 mA (°C): -273.15 … 1500",
         "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {1, "Temperature — Value at 20 mA (°C): -273.15 … 1500",
         "The field is empty: enter a value from -273.15 to 1500."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prompt);
        WindowSetup setup;
        setup.sprache = c.sprache;
        Window win(setup);
        putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
        win.open(win.w().TabPar1);
        const auto writes = win.h.device.writesAccepted();
        const BodySeen seen = OpenRefuseAndCancel(win, win.list("ListePT1"), 1);
        EXPECT_EQ(seen.prompt.toStdString(), c.prompt);
        EXPECT_TRUE(seen.refusalShown);
        EXPECT_TRUE(seen.stillOpen) << "an empty entry keeps the dialog open";
        EXPECT_EQ(seen.refusal.toStdString(), c.refusal);
        // The body is not cut: the dialog is as wide as its lines.
        TInputDlg* dlg = win.w().inputDialog();
        EXPECT_GE(seen.size.width(), dlg->Prompt->sizeHint().width());
        // Nothing was written, and the device holds what it held.
        EXPECT_EQ(win.h.device.writesAccepted(), writes);
        EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(0)).Max, 100.0f);
        EXPECT_FALSE(win.w().Busy());
    }
}

}  // namespace
}  // namespace parvion::test
