// The table editors' value dialog names the cell it edits (the temperature
// and pressure of its row and column, with units), and an axis value that
// breaks the ascending order is refused with its neighbours named.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "gui/tables/property_table_window.h"
#include "gui/tables/table_grid_model.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

// Answers the next value dialog with `text` and OK (nothing: Cancel) and
// keeps what its body said.
void AnswerNext(Window& win, std::optional<QString> text, QString* prompt) {
    QTimer::singleShot(0, &win.w(), [&win, text, prompt] {
        gui::TInputDlg* dlg = win.w().inputDialog();
        if (!dlg->isVisible()) return;
        *prompt = dlg->Prompt->text();
        if (text) {
            dlg->Input->setText(*text);
            dlg->OKBtn->click();
        } else {
            dlg->CancelBtn->click();
        }
    });
}

void Select(gui::TableWindow& t, int col, int row) {
    t.TabGrid->setCurrentIndex(t.model()->index(row, col));
}

TEST(TableCellDialog, NamesTheCellAndRefusesAnAxisOutOfOrder) {
    Window win(offline());
    gui::Tfrm_Tabelle& t = *win.w().tableWindow();
    t.FormActivate();
    t.mnu_NeuClick();
    t.model()->setText(0, 1, "273");
    t.model()->setText(0, 3, "350");
    t.model()->setText(1, 0, "100");

    // A value cell: what, where and the compressibility's limits.
    QString prompt;
    Select(t, 1, 1);
    AnswerNext(win, std::nullopt, &prompt);
    t.TabGridDblClick();
    EXPECT_EQ(prompt.toStdString(), "Kompressibilitätszahl bei 273 K und 100 kPa: 0 … 10");

    // An axis cell between 273 and 350 (in the view of the temperatures):
    // 400 is refused, naming both.
    t.mnu_TemperaturClick(t.mnu_Temperatur);
    Select(t, 0, 2);
    const auto log = win.h.dialogs.log.size();
    AnswerNext(win, QStringLiteral("400"), &prompt);
    t.TabGridDblClick();
    EXPECT_EQ(prompt.toStdString(), "Temperatur, Zeile 2 (K): 0 … 1000");
    ASSERT_EQ(win.h.dialogs.log.size(), log + 1);
    EXPECT_EQ(win.h.dialogs.log.back().toStdString(),
              "error:Die Temperaturachse muss aufsteigen: 400 K muss zwischen 273 K (Zeile 1) "
              "und 350 K (Zeile 3) liegen.:ok");
    EXPECT_EQ(t.model()->text(0, 2), QStringLiteral("0"));

    // 300 fits and is taken.
    AnswerNext(win, QStringLiteral("300"), &prompt);
    t.TabGridDblClick();
    EXPECT_EQ(t.model()->text(0, 2), QStringLiteral("300"));
    EXPECT_EQ(win.h.dialogs.log.size(), log + 1);
}

}  // namespace
}  // namespace parvion::test
