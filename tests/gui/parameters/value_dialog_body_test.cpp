// The value dialog opened from the pages names in its body what it edits,
// the unit and the limits, and OK on an empty entry says why nothing happened
// in the dialog, which stays open; a gas value typed beyond its limit is set
// to the limit, written, and the status line says so (the rule and its cases:
// core/views/input_rules.h).

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/link/parameter_blocks.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

TEST(ValueDialogBody, NamesTheValueItsUnitAndLimitsAndSaysWhyAnEmptyEntryDidNothing) {
    Window win;
    putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
    win.open(win.w().TabPar1);
    const auto writes = win.h.device.writesAccepted();
    QString prompt, refusal;
    bool refusalShown = false, stillOpen = false;
    QSize size;
    QTimer::singleShot(0, &win.w(), [&] {
        TInputDlg* dlg = win.w().inputDialog();
        if (!dlg->isVisible()) return;
        prompt = dlg->Prompt->text();
        dlg->Input->clear();
        QTest::keyClick(dlg->Input, Qt::Key_Return);
        refusalShown = dlg->Refusal->isVisible();
        refusal = dlg->Refusal->text();
        stillOpen = dlg->isVisible();
        size = dlg->size();
        // Typing again takes the refusal away.
        QTest::keyClicks(dlg->Input, QStringLiteral("1"));
        EXPECT_FALSE(dlg->Refusal->isVisible());
        dlg->CancelBtn->click();
    });
    win.doubleClick(win.list("ListePT1"), 1);
    EXPECT_EQ(prompt.toStdString(), "Temperatur — Wert bei 20 mA (°C): -273.15 … 1500");
    EXPECT_TRUE(refusalShown);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(refusal.toStdString(),
              "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben.");
    // The body is not cut: the dialog is as wide as its lines.
    EXPECT_GE(size.width(), win.w().inputDialog()->Prompt->sizeHint().width());
    EXPECT_EQ(win.h.device.writesAccepted(), writes);
    EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(0)).Max, 100.0f);
    EXPECT_FALSE(win.w().Busy());
}

TEST(GasValueClamped, TheStatusLineSaysWhichValueWasSetToWhichLimit) {
    const EG_UserRec before{11.0f, 1.5f, 0.5f, 0.8f};
    Window win;
    Med_UserRec med{};
    med.Kind = 6;  // natural gas, SGERG-88
    putRecord(win.h.device, block::Med_User(0), med);
    putRecord(win.h.device, block::EG_User, before);
    win.open(win.w().TabPar1);
    ASSERT_EQ(win.lines("ListePG1").size(), 5);
    win.w().StatusPanel0->clear();
    win.answer(QStringLiteral("99999"));
    win.doubleClick(win.list("ListePG1"), 0);  // Ho
    EXPECT_EQ(win.w().StatusPanel0->text().toStdString(),
              "Brennwert Ho: Maximum 13000 Wh/m³ übernommen, nicht 99999 Wh/m³");
    // The device holds the value as set, and nothing else of the gas set.
    EXPECT_EQ(deviceRecord<EG_UserRec>(win.h.device, block::EG_User),
              (EG_UserRec{13.0f, 1.5f, 0.5f, 0.8f}));
    EXPECT_FALSE(win.w().Busy());
}

}  // namespace
}  // namespace parvion::test
