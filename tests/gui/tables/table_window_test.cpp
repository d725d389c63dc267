// The table editors through the main window offscreen: opened from the
// medium lines, edited through the value input dialog and the clipboard,
// files over real files, the device over the in-process simulator (its
// memory checked directly), and in the window's language.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>

#include "core/link/encoding.h"
#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "gui/tables/table_grid_model.h"
#include "sim/lib/memory_map.h"
#include "support/page_window.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;
using gui::Tfrm_Tabelle;
using gui::Tfrm_UserSatTab;

// The energy variant and its device.
WindowSetup energy(bool online = true) {
    return inLibrary(1, 0, online);
}

// What the value dialog was set to when it showed.
struct Shown {
    bool integer = false;
    std::uint8_t quantity = 0;
    float min = 0, max = 0, value = 0;
    QString prompt;
};

// Answers the next value dialogs in turn (a text and OK, or nothing for
// Cancel, or "\x1b" for the close box) and records what each showed.
void answerAll(Window& win, std::vector<std::optional<QString>> answers, std::vector<Shown>* shown,
               int patience = 2000) {
    if (answers.empty()) return;
    QTimer::singleShot(0, &win.w(), [&win, answers, shown, patience]() mutable {
        gui::TInputDlg* dlg = win.w().inputDialog();
        if (!dlg->isVisible()) {
            if (patience > 0) answerAll(win, answers, shown, patience - 1);
            return;
        }
        if (shown)
            shown->push_back({dlg->IntegerMode, dlg->Quantity, dlg->MinValue, dlg->MaxValue,
                              dlg->Value, dlg->Prompt->text()});
        const std::optional<QString> a = answers.front();
        answers.erase(answers.begin());
        if (!a) {
            dlg->CancelBtn->click();
        } else if (*a == QStringLiteral("\x1b")) {
            dlg->reject();
        } else {
            dlg->Input->setText(*a);
            dlg->OKBtn->click();
        }
        answerAll(win, answers, shown);
    });
}

// Runs `fn` once the modal window is up (device waits before it show run
// the event loop too).
void whenShown(QWidget* w, std::function<void()> fn, int patience = 5000) {
    QTimer::singleShot(1, w, [w, fn, patience] {
        if (w->isVisible()) {
            fn();
        } else if (patience > 0) {
            whenShown(w, fn, patience - 1);
        }
    });
}

void select(gui::TableWindow& t, int col, int row) {
    t.TabGrid->setCurrentIndex(t.model()->index(row, col));
}

QString cell(gui::TableWindow& t, int col, int row) {
    return t.model()->text(col, row);
}

// "Open..." with the file dialog answered with `file`.
void load(Window& win, gui::TableWindow& t, const fs::path& file) {
    win.h.dialogs.openAnswers.push_back(QString::fromStdString(file.string()));
    t.mnu_LoadClick();
}

TEST(TableWindows, MediumLinesOpenTheEditorsModallyThenWriteTheMediumBack) {
    struct Case {
        int medium;
        std::uint8_t kind;
        int line;
        bool saturation;
        int tag;
        tables::TableKind table;
    };
    const Case cases[] = {
        {1, 5, 1, false, 1, tables::TableKind::Enthalpy},
        {1, 5, 0, false, 0, tables::TableKind::Density},
        {1, 6, 0, true, 0, {}},
        {0, 8, 2, false, 1, tables::TableKind::Compressibility},  // gas: table one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << "/" << c.line);
        Window win(inLibrary(c.medium, 0));
        // The device's enthalpy table (table 1) starts with a known corner.
        const sim::addr::PropertyTableAddresses& t1 = sim::addr::PropertyTable[1];
        std::vector<std::uint8_t> word(2), real(4);
        wire::PutWord(word, 0, 321);
        win.h.device.poke(t1.rows, word);
        wire::PutFloat(real, 0, 2675.5F);
        win.h.device.poke(t1.values, real);
        putRecord(win.h.device, block::Med_User(0), Med_UserRec{.Kind = c.kind});
        win.open(win.w().TabPar1);
        const QString caption = win.lines("ListePG1")[c.line].trimmed();
        gui::TableWindow* editor = c.saturation
                                       ? static_cast<gui::TableWindow*>(win.w().saturationWindow())
                                       : win.w().tableWindow();
        bool seen = false;
        whenShown(editor, [&] {
            seen = editor->isModal();
            EXPECT_EQ(editor->windowTitle(), caption);
            if (!c.saturation) {
                EXPECT_EQ(editor->Tag(), c.tag);
                EXPECT_EQ(win.w().tableWindow()->kind(), c.table);
            }
            if (c.table == tables::TableKind::Enthalpy) {
                EXPECT_EQ(cell(*editor, 0, 1), "321");
                EXPECT_EQ(cell(*editor, 1, 1), "2675.5");
            }
            editor->reject();
        });
        const auto writes = win.h.device.writesAccepted();
        win.doubleClick(win.list("ListePG1"), c.line);
        EXPECT_TRUE(seen);
        EXPECT_EQ(win.h.device.writesAccepted(), writes + 1);
        EXPECT_EQ(win.h.device.lastWriteAddress(), block::Med_User(0).address);
    }
}

// The dialog's settings by cell, the walk and the axis order are the core's
// (table_grid_test, table_cells_test); here the window asks through them.
TEST(PropertyTableWindow, SequentialEntryWrapsAndAxesStayInOrder) {
    Window win(offline());
    Tfrm_Tabelle& t = *win.w().tableWindow();
    t.FormActivate();
    t.mnu_NeuClick();

    // From the very last cell on to row 1 of column 1; the close box takes
    // the value as it stands and goes on, Cancel ends it.
    t.model()->setText(14, 18, "0.75");
    t.model()->setText(0, 1, "273");
    t.model()->setText(1, 0, "100");
    select(t, 14, 17);
    std::vector<Shown> shown;
    answerAll(win,
              {QStringLiteral("0.5"), QStringLiteral("\x1b"), QStringLiteral("20"), std::nullopt},
              &shown);
    t.TabGridDblClick();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(cell(t, 14, 17), "0.5");
    EXPECT_EQ(shown[1].value, 0.75F);
    EXPECT_EQ(cell(t, 14, 18), "0.75");
    EXPECT_EQ(cell(t, 1, 1), "10") << "clamped to the compressibility limit";
    EXPECT_EQ(cell(t, 1, 2), "0");
    EXPECT_EQ(shown[2].prompt.toStdString(), "Kompressibilitätszahl bei 273 K und 100 kPa: 0 … 10");
    EXPECT_TRUE(t.notTransmitted() && t.notSaved());

    // The view of the temperatures: an axis cell between 273 and 350; 400
    // is refused naming both, Cancel leaves the cell, 300 is taken.
    t.mnu_TemperaturClick(t.mnu_Temperatur);
    EXPECT_TRUE(t.TabGrid->isColumnHidden(3));
    EXPECT_TRUE(t.mnu_Temperatur->isChecked() && !t.mnu_Tabelle->isChecked());
    t.mnu_NeuClick();
    EXPECT_TRUE(t.TabGrid->isColumnHidden(3)) << "a new grid keeps the view";
    t.model()->setText(0, 1, "273");
    t.model()->setText(0, 3, "350");
    select(t, 0, 2);
    shown.clear();
    answerAll(win, {QStringLiteral("400")}, &shown);
    t.TabGridDblClick();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].integer);
    EXPECT_EQ(shown[0].prompt.toStdString(), "Temperatur, Zeile 2 (K): 0 … 1000");
    ASSERT_EQ(win.h.dialogs.log.size(), 1u);
    EXPECT_EQ(win.h.dialogs.log.back().toStdString(),
              "error:Die Temperaturachse muss aufsteigen: 400 K muss zwischen 273 K (Zeile 1) "
              "und 350 K (Zeile 3) liegen.:ok");
    EXPECT_FALSE(win.w().inputDialog()->IntegerMode) << "integer mode switched off again";
    answerAll(win, {std::nullopt}, nullptr);
    t.TabGridDblClick();
    answerAll(win, {QStringLiteral("300")}, nullptr);
    t.TabGridDblClick();
    EXPECT_EQ(cell(t, 0, 2), "300");
    EXPECT_EQ(win.h.dialogs.log.size(), 1u);
    EXPECT_EQ(cell(t, 3, 3), "0") << "value cells unchanged by the views";
}

TEST(PropertyTableWindow, FilesStateAndTheQuestionsOnClosing) {
    Window win(offline());
    Tfrm_Tabelle& t = *win.w().tableWindow();
    ScriptedDialogs& d = win.h.dialogs;
    t.FormActivate();
    EXPECT_FALSE(t.mnu_Receive->isEnabled());

    // Open: the file's texts, the flags, the name.
    load(win, t, FixturePath("tables", "erdgas.KTB"));
    EXPECT_EQ(d.openRequests.back().directory, QString::fromStdString(win.h.documents().string()));
    EXPECT_EQ(d.openRequests.back().defaultSuffix, "KTB");
    EXPECT_EQ(cell(t, 14, 18), "0.991713");
    EXPECT_TRUE(t.notTransmitted());
    EXPECT_FALSE(t.notSaved());

    // Not a table file: a message, nothing changes (which files are no
    // tables: core/tables/table_file_test).
    load(win, t, FixturePath("tables", "parameters.KTB"));
    ASSERT_EQ(d.log.size(), 1u);
    EXPECT_TRUE(d.log[0].startsWith("error:")) << d.log[0].toStdString();
    EXPECT_EQ(cell(t, 14, 18), "0.991713");
    EXPECT_TRUE(t.fileName().endsWith("erdgas.KTB"));

    // An edit, then closing offline asks 14337 with Save / Discard / Cancel.
    // Cancel, and Save with the save dialog cancelled, go back to the table
    // with its edit; Save with a file closes.
    select(t, 2, 2);
    QApplication::clipboard()->setText("1,25");
    t.mnu_EinfuegenClick();
    t.mnu_KopierenClick();
    EXPECT_EQ(QApplication::clipboard()->text(), "1.25");
    const fs::path saved = win.h.documents() / "station.KTB";
    d.log.clear();
    d.keepWork = {gui::KeepWorkAnswer::Cancel, gui::KeepWorkAnswer::Keep,
                  gui::KeepWorkAnswer::Keep};
    d.saveAnswers = {std::nullopt, QString::fromStdString(saved.string())};
    EXPECT_FALSE(t.FormDeactivate());
    EXPECT_FALSE(t.FormDeactivate());
    EXPECT_TRUE(t.notSaved());
    EXPECT_EQ(cell(t, 2, 2), "1.25");
    EXPECT_TRUE(t.FormDeactivate());
    ASSERT_FALSE(d.log.empty());
    EXPECT_TRUE(d.log[0].startsWith("keepwork:Die Tabelle wurde"));
    EXPECT_TRUE(d.log[0].endsWith(":&Speichern"));
    EXPECT_EQ(d.saveRequests.back().fileName, "erdgas.KTB");
    EXPECT_FALSE(t.notSaved());
    tables::PropertyGrid back;
    ASSERT_TRUE(tables::LoadPropertyFile(saved, back).ok());
    EXPECT_EQ(back.at(2, 2), "1.25");

    // A name whose extension is lower case is forgotten on the next opening;
    // the grid stays as it was.
    fs::copy_file(saved, win.h.documents() / "lower.ktb");
    load(win, t, win.h.documents() / "lower.ktb");
    EXPECT_FALSE(t.fileName().isEmpty());
    t.FormActivate();
    EXPECT_TRUE(t.fileName().isEmpty());
    EXPECT_EQ(cell(t, 2, 2), "1.25");
    select(t, 2, 2);
    t.mnu_LoeschenClick();
    EXPECT_EQ(cell(t, 2, 2), "0");
}

TEST(PropertyTableWindow, TransmitReceiveAndAHandEditedFile) {
    Window win(energy());
    Tfrm_Tabelle& t = *win.w().tableWindow();
    ScriptedDialogs& d = win.h.dialogs;
    const sim::addr::PropertyTableAddresses& a = sim::addr::PropertyTable[0];
    whenShown(&t, [&] { t.reject(); });
    t.open(0, QStringLiteral("Dichte"));
    EXPECT_EQ(t.kind(), tables::TableKind::Density);
    EXPECT_TRUE(t.mnu_Transmit->isEnabled());

    // Text in a value cell: a double click on it stops with the message; no
    // dialog (a transmit of such a file: the saturation table's test below).
    load(win, t, FixturePath("tables", "hand_edited.ETB"));
    const auto frames = win.h.device.framesServed();
    d.log.clear();
    select(t, 2, 1);
    std::vector<Shown> shown;
    answerAll(win, {std::nullopt}, &shown, 20);
    t.TabGridDblClick();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(d.log.size(), 1u);
    EXPECT_TRUE(d.log[0].contains("\"abc\"")) << d.log[0].toStdString();
    EXPECT_EQ(cell(t, 2, 1), "abc");

    // A file whose temperature axis falls: refused before any question,
    // nothing sent, the point named and selected.
    const fs::path falling = win.h.dir / "falling.DTB";
    writeFileBytes(falling, "[Temperatur]\r\n0=300\r\n1=290\r\n");
    load(win, t, falling);
    d.log.clear();
    t.mnu_TransmitClick();
    EXPECT_EQ(win.h.device.framesServed(), frames);
    ASSERT_EQ(d.log.size(), 1u);
    EXPECT_EQ(
        d.log[0].toStdString(),
        "error:Die Temperaturachse muss aufsteigen: 290 K muss über 300 K (Zeile 1) liegen.:ok");
    EXPECT_EQ(t.TabGrid->currentIndex(), t.model()->index(2, 0));

    // A file without values: before sending, the question names the cells
    // it lacks; No sends nothing, Yes sends it (what reaches the device's
    // memory: core/tables/table_transfer_test).
    load(win, t, FixturePath("tables", "axes_only.DTB"));
    d.log.clear();
    d.yesNo.push_back(false);
    t.mnu_TransmitClick();
    EXPECT_EQ(win.h.device.framesServed(), frames);
    EXPECT_TRUE(t.notTransmitted());
    ASSERT_EQ(d.log.size(), 1u);
    EXPECT_TRUE(
        d.log[0].startsWith(QStringLiteral("yesno:Die Tabellendatei enthält 252 Zelle(n) nicht; "
                                           "sie zählen als 0: [Werte]\u00A00\u00A0-\u00A00, ")))
        << d.log[0].toStdString();
    EXPECT_EQ(d.yesNoDefaults.back(), gui::DefaultAnswer::No);
    d.yesNo.push_back(true);
    t.mnu_TransmitClick();
    EXPECT_FALSE(t.notTransmitted());
    EXPECT_EQ(wire::GetWord(win.h.device.peek(a.rows, 2), 0), 373);

    // A transmit the device rejects leaves the flag set.
    select(t, 1, 1);
    QApplication::clipboard()->setText("9.5");
    t.mnu_EinfuegenClick();
    win.h.device.injectFault(sim::Fault::RejectWrite, kTransactionAttempts);
    d.yesNo.push_back(true);  // the cells the file lacked go as 0
    t.mnu_TransmitClick();
    EXPECT_TRUE(t.notTransmitted());
    // The window itself says so, with the cause.
    EXPECT_FALSE(t.TransferNote->isHidden());
    EXPECT_TRUE(t.TransferNote->text().contains("Die Tabelle wurde nicht gesendet: "))
        << t.TransferNote->text().toStdString();

    // Closing online asks 14336 with Send; a send that fails keeps the
    // window open, Discard keeps the edit in the grid for the next opening
    // offline.
    d.log.clear();
    d.keepWork = {gui::KeepWorkAnswer::Keep, gui::KeepWorkAnswer::Discard};
    win.h.device.injectFault(sim::Fault::RejectWrite, kTransactionAttempts);
    EXPECT_FALSE(t.FormDeactivate());
    EXPECT_TRUE(t.notTransmitted());
    EXPECT_TRUE(t.FormDeactivate());
    ASSERT_FALSE(d.log.empty());
    EXPECT_TRUE(d.log[0].contains("gesendet"));
    EXPECT_TRUE(d.log[0].endsWith(":&Senden"));
    win.w().session().Online = false;
    t.FormActivate();
    EXPECT_EQ(cell(t, 1, 1), "9.5");
    EXPECT_FALSE(t.mnu_Transmit->isEnabled());

    // Receive replaces the grid with the device's table.
    win.w().session().Online = true;
    t.mnu_ReceiveClick();
    EXPECT_EQ(cell(t, 1, 1), "0");
    EXPECT_TRUE(t.TransferNote->text().endsWith("Die Tabelle wurde vom Gerät gelesen."));
    EXPECT_EQ(cell(t, 0, 1), "373");
}

// While a table is read or sent, Escape and the close box wait for the end
// (the rule of both editors' common window).
TEST(TableWindows, CloseWaitsWhileTheWindowTalksToTheDevice) {
    Window win(energy());
    gui::TableWindow* t = win.w().tableWindow();
    bool closedLater = false;
    whenShown(t, [&] {
        {
            auto sequence = win.w().busyGuard().tryHold();
            ASSERT_TRUE(sequence);
            QTest::keyClick(t, Qt::Key_Escape);
            EXPECT_TRUE(t->isVisible());
            EXPECT_FALSE(t->close());
            t->reject();
            EXPECT_TRUE(t->isVisible());
        }
        closedLater = t->close();
    });
    t->open(0, QStringLiteral("Dichte"));
    EXPECT_TRUE(closedLater);
    EXPECT_FALSE(t->isVisible());
}

TEST(SaturationTableWindow, EditingRules) {
    Window win(energy(false));
    Tfrm_UserSatTab& t = *win.w().saturationWindow();
    t.FormActivate();
    EXPECT_EQ(cell(t, 2, 0), "rho[kg/m³]");
    select(t, 0, 4);
    answerAll(win, {QStringLiteral("400")}, nullptr);
    t.TabGridDblClick();
    EXPECT_EQ(cell(t, 0, 4), "400");
    EXPECT_TRUE(t.notSaved());

    struct Case {
        int col, row;
        std::optional<QString> answer;
        float min;
        const char* after;
    };
    const Case cases[] = {
        // The minimum is the core's (SaturationCellEntry); the dialog raises.
        {0, 5, QStringLiteral("350"), 400, "400"},
        {3, 6, QStringLiteral("\x1b"), 0, ""},  // close box: the cell stays
        {2, 6, std::nullopt, 0, ""},            // Cancel: the cell stays
    };
    for (const Case& c : cases) {
        select(t, c.col, c.row);
        std::vector<Shown> shown;
        answerAll(win, {c.answer}, &shown);
        t.TabGridDblClick();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].min, c.min) << c.col << "," << c.row;
        EXPECT_EQ(cell(t, c.col, c.row), QString::fromUtf8(c.after)) << c.col << "," << c.row;
    }

    // The same value again leaves the flags as they were.
    t.mnu_NeuClick();
    EXPECT_FALSE(t.notSaved());
    t.model()->setText(0, 2, "7");
    select(t, 0, 2);
    std::vector<Shown> shown;
    answerAll(win, {QStringLiteral("7")}, &shown);
    QTest::keyClick(t.TabGrid, Qt::Key_Return);
    ASSERT_EQ(shown.size(), 1u) << "Enter edits the cell";
    EXPECT_EQ(shown[0].value, 7.0F);
    EXPECT_EQ(cell(t, 0, 2), "7");
    EXPECT_FALSE(t.notSaved() || t.notTransmitted());
    EXPECT_EQ(win.w().inputDialog()->Precision, 5) << "the previous precision is restored";
}

TEST(SaturationTableWindow, OpeningEmptiesTheGridAndTenRowFilesSendZeros) {
    Window win(energy());
    Tfrm_UserSatTab& t = *win.w().saturationWindow();
    ScriptedDialogs& d = win.h.dialogs;
    win.w().session().Online = false;
    t.FormActivate();
    load(win, t, FixturePath("tables", "ten_rows.STB"));
    EXPECT_EQ(cell(t, 1, 10), "1000.5");
    select(t, 0, 1);
    t.mnu_LoeschenClick();
    EXPECT_TRUE(t.notSaved());

    // Offline the next opening is empty; name and not-saved flag survive.
    t.FormActivate();
    EXPECT_EQ(cell(t, 1, 10), "");
    EXPECT_TRUE(t.notSaved());
    EXPECT_TRUE(t.fileName().endsWith("ten_rows.STB"));

    // Online: the file transmitted after a Yes to the question that names
    // the cells it lacks, rows 11..32 as zeros in the device.
    win.w().session().Online = true;
    t.FormActivate();
    load(win, t, FixturePath("tables", "ten_rows.STB"));
    d.log.clear();
    d.yesNo.push_back(true);
    t.mnu_TransmitClick();
    ASSERT_EQ(d.log.size(), 1u);
    EXPECT_TRUE(d.log[0].contains("88 Zelle(n)") &&
                d.log[0].contains(QStringLiteral("[Row_11]\u00A0T, [Row_11]\u00A0p")))
        << d.log[0].toStdString();
    EXPECT_FALSE(t.notTransmitted());
    EXPECT_EQ(wire::GetFloat(win.h.device.peek(sim::addr::SaturationTable + 9 * 16 + 8, 4), 0),
              10.25F);
    t.mnu_NeuClick();
    t.mnu_ReceiveClick();
    EXPECT_EQ(cell(t, 0, 1), "283");
    EXPECT_EQ(cell(t, 3, 32), "0");

    // A value the device cannot hold stops the transmit before anything is
    // sent (and before any question), the cell named and selected.
    const fs::path inf = win.h.dir / "inf.STB";
    writeFileBytes(inf, "[Row_07]\r\nh=-INF\r\n");
    load(win, t, inf);
    const auto frames = win.h.device.framesServed();
    d.log.clear();
    t.mnu_TransmitClick();
    EXPECT_EQ(win.h.device.framesServed(), frames);
    ASSERT_EQ(d.log.size(), 1u);
    EXPECT_TRUE(d.log[0].startsWith("error:") && d.log[0].contains("\"-INF\" ([Row_07] h)"))
        << d.log[0].toStdString();
    EXPECT_EQ(t.TabGrid->currentIndex(), t.model()->index(7, 3));
}

// The table editors speak the window's language throughout: the menus, the
// grid's context menu and the filters of their file dialogs.

TEST(TableLanguage, FileFiltersAndMenusInTheWindowsLanguage) {
    struct Case {
        int medium;
        int sprache;
        const char* propertyFilter;
        const char* saturationFilter;  // energy only
        const char* view;
        const char* copy;
    };
    const Case cases[] = {
        {0, 0, "Kompr. Tabellen (*.KTB)", nullptr, "&Ansicht", "&Kopieren"},
        {0, 1, "Compressibility tables (*.KTB)", nullptr, "&View", "&Copy"},
        {1, 0, "Dichte Tabellen (*.DTB)", "Satt. Tabellen (*.STB)", "&Ansicht", "&Kopieren"},
        {1, 1, "Density tables (*.DTB)", "Saturation tables (*.STB)", "&View", "&Copy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.propertyFilter);
        Harness h(inLibrary(c.medium, c.sprache, false));
        gui::Tfrm_Tabelle& table = *h.start().tableWindow();
        // Before the window is first opened as after.
        EXPECT_EQ(table.Bearbeiten1->title().toStdString(), c.view);
        EXPECT_EQ(table.mnu_Kopieren->text().toStdString(), c.copy);
        // Both dialogs cancelled: only the requests are looked at.
        table.mnu_Store1Click();
        table.mnu_LoadClick();
        ASSERT_EQ(h.dialogs.saveRequests.size(), 1u);
        ASSERT_EQ(h.dialogs.openRequests.size(), 1u);
        EXPECT_EQ(h.dialogs.saveRequests[0].filters, QStringList{c.propertyFilter});
        EXPECT_EQ(h.dialogs.openRequests[0].filters, QStringList{c.propertyFilter});
        if (c.saturationFilter != nullptr) {
            h.window->saturationWindow()->mnu_Store1Click();
            ASSERT_EQ(h.dialogs.saveRequests.size(), 2u);
            EXPECT_EQ(h.dialogs.saveRequests[1].filters, QStringList{c.saturationFilter});
        }
    }
}

}  // namespace
}  // namespace parvion::test
