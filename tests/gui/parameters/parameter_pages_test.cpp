// The parameter pages driven as a user drives them: double clicks and
// Enter on lines, the value input dialog answered, combos chosen, boxes
// ticked, the unit switch and radio items clicked. What reaches the device
// is read from the simulator's own memory.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/model/parameter_file.h"
#include "core/model/profile_file.h"
#include "gui/parameters/circuit_parameter_page.h"
#include "gui/parameters/units_page.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/radio_group.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

// --- circuit pages online ---------------------------------------------------------------

// Over the real serial path (a pseudo-terminal; in process, the other tests
// of the page).
TEST(CircuitPage, AValueEditGoesToTheDeviceAndTheListShowsWhatItAccepted) {
    WindowSetup setup;
    setup.overPty = true;
    Window win(setup);
    ASSERT_TRUE(win.w().session().Online);
    putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
    win.open(win.w().TabPar1);
    ASSERT_EQ(win.lines("ListePT1").size(), 2);
    EXPECT_TRUE(win.lines("ListePT1")[1].contains("100.0000"))
        << win.lines("ListePT1")[1].toStdString();

    DialogSeen seen;
    win.answer(QStringLiteral("42.5"), &seen);
    win.doubleClick(win.list("ListePT1"), 1);
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(seen.caption, QStringLiteral("-273.15 .. 1500"));
    EXPECT_EQ(seen.value, QStringLiteral("100"));
    // The body names the value (the rule: core/views/dialog_rules_test).
    EXPECT_EQ(win.w().inputDialog()->Prompt->text().toStdString(),
              "Temperatur — Wert bei 20 mA (°C): -273.15 … 1500");
    EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(0)).Max, 42.5f);
    EXPECT_TRUE(win.lines("ListePT1")[1].contains("42.5000"));
    EXPECT_FALSE(win.w().Busy());
    EXPECT_FALSE(win.w().Zeitmesser->isVisible());
}

// A gas value typed beyond its limit is set to the limit, written, and the
// status line says so (the rule and its cases: core/views/dialog_rules_test).
TEST(CircuitPage, AGasValueClampedIsNamedInTheStatusLine) {
    Window win;
    putRecord(win.h.device, block::Med_User(0), Med_UserRec{.Kind = 6});  // natural gas, SGERG-88
    putRecord(win.h.device, block::EG_User, EG_UserRec{11.0f, 1.5f, 0.5f, 0.8f});
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
}

// A gas status other than OK is explained below both columns, over no
// group, in the window as it opens: the window grows for the note where it
// must, and may be made small again once the status is OK.
TEST(CircuitPage, TheGasStatusNoteLiesBelowEveryGroupAndTheWindowGrowsForIt) {
    for (const int language : {0, 1}) {
        WindowSetup setup;
        setup.sprache = language;
        Window win(setup);
        Med_UserRec med{.Dummy2 = '3', .Kind = 6};  // natural gas, SGERG-88
        putRecord(win.h.device, block::Med_User(0), med);
        win.w().show();
        const int standard = win.w().minimumHeight();
        win.open(win.w().TabPar1);
        QCoreApplication::processEvents();
        QWidget* page = win.w().TabPar1;
        const auto* note = page->findChild<QLabel*>(QStringLiteral("GasStatusNote"));
        ASSERT_TRUE(note->isVisible());
        EXPECT_TRUE(note->text().startsWith(QStringLiteral("A43: "))) << note->text().toStdString();
        const int noteTop = note->mapTo(page, QPoint(0, 0)).y();
        for (const QGroupBox* box : page->findChildren<QGroupBox*>()) {
            if (!box->isVisible()) continue;
            const QListWidget* list = box->findChild<QListWidget*>();
            EXPECT_LE(list->mapTo(page, QPoint(0, list->height())).y(), noteTop)
                << box->objectName().toStdString();
        }
        EXPECT_GE(note->height(), note->heightForWidth(note->width()));
        EXPECT_LE(page->layout()->totalMinimumSize().height(), page->height());

        med.Dummy2 = '0';
        putRecord(win.h.device, block::Med_User(0), med);
        win.open(win.w().TabPar2);
        win.open(win.w().TabPar1);
        QCoreApplication::processEvents();
        EXPECT_FALSE(note->isVisible());
        EXPECT_EQ(win.w().minimumHeight(), standard);
    }
}

// Cancel, Escape and the close box change nothing and send nothing; before
// the Cancel, OK on an empty entry says why in the dialog's body, which stays
// open and as wide as its lines, and typing again takes the refusal away.
TEST(CircuitPage, CancelEscapeAndTheCloseBoxChangeNothingAndSendNothing) {
    Window win;
    putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
    win.open(win.w().TabPar1);
    const ParameterImage before = win.w().image();
    const auto frames = win.h.device.framesServed();
    const std::vector<std::function<void(TInputDlg*)>> leave = {
        [](TInputDlg* d) {
            d->Input->clear();
            QTest::keyClick(d->Input, Qt::Key_Return);
            EXPECT_TRUE(d->Refusal->isVisible() && d->isVisible());
            EXPECT_EQ(d->Refusal->text().toStdString(),
                      "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben.");
            EXPECT_GE(d->width(), d->Prompt->sizeHint().width());
            QTest::keyClicks(d->Input, QStringLiteral("55"));
            EXPECT_FALSE(d->Refusal->isVisible());
            d->CancelBtn->click();
        },
        [](TInputDlg* d) { QTest::keyClick(d->Input, Qt::Key_Escape); },
        [](TInputDlg* d) { d->close(); },
    };
    for (const auto& how : leave) {
        QTimer::singleShot(0, &win.w(), [&] {
            TInputDlg* d = win.w().inputDialog();
            d->Input->setText(QStringLiteral("55"));
            how(d);
        });
        win.doubleClick(win.list("ListePT1"), 1);
    }
    EXPECT_EQ(win.h.device.framesServed(), frames);
    EXPECT_EQ(win.w().image(), before);
    EXPECT_FALSE(win.w().Busy());
}

TEST(CircuitPage, SameAsTheOtherCircuitKeepsWhatTheDeviceHoldsThere) {
    Window win;
    T_UserRec other = temperature(1, -20.0f, 60.0f);
    other.Konst = 15.0f;
    putRecord(win.h.device, block::T_User(1), other);
    win.open(win.w().TabPar1);  // reads the page of circuit 1 only
    win.choose("ComboPT1", 3);  // "same as circuit 2"
    other.Eq = 1;
    EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(1)), other);
    EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(0)).Eq, 2);

    // When circuit 2's record cannot be read first, nothing is sent and the
    // status bar says why.
    const P_UserRec pressure = deviceRecord<P_UserRec>(win.h.device, block::P_User(1));
    const auto writes = win.h.device.framesServed(cmd::Write);
    win.h.device.injectFault(sim::Fault::BadChecksum, 4);
    win.choose("ComboPD1", 3);
    EXPECT_EQ(win.h.device.framesServed(cmd::Write), writes);
    EXPECT_EQ(deviceRecord<P_UserRec>(win.h.device, block::P_User(1)), pressure);
    EXPECT_NE(win.get<QComboBox>("ComboPD1")->currentIndex(), 3);
    const QString notSent = QString::fromStdString(win.w().LoadText(edit::kEditNotSentText));
    EXPECT_TRUE(win.w().statusPanelText(0).startsWith(notSent.section(QLatin1Char('%'), 0, 0)))
        << win.w().statusPanelText(0).toStdString();
}

TEST(CircuitPage, EnterEditsTheSelectedLineAndAHeldEnterOpensNoSecondDialog) {
    Window win;
    putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
    win.open(win.w().TabPar1);
    QListWidget* list = win.list("ListePT1");
    list->setCurrentRow(1);
    win.answer(QStringLiteral("90"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(0)).Max, 90.0f);

    bool opened = false;
    win.noDialogExpected(&opened);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(list, &repeat);
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
}

TEST(CircuitPage, ALineClickedDuringAnotherDeviceSequenceOpensNothing) {
    Window win;
    putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
    win.open(win.w().TabPar1);
    auto busy = win.w().busyGuard().tryHold();
    const auto frames = win.h.device.framesServed();
    bool opened = false;
    win.noDialogExpected(&opened);
    win.doubleClick(win.list("ListePT1"), 1);
    win.choose("ComboPT1", 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_EQ(win.h.device.framesServed(), frames);
    EXPECT_EQ(win.w().image().T_User[0].Kind, 1);
    EXPECT_EQ(win.get<QComboBox>("ComboPT1")->currentIndex(), 1);  // shown as it is
}

TEST(CircuitPage, APulseOutputOfAKindWithoutAChoiceShowsTheUndefinedTextAndIsWrittenBack) {
    Window win;
    putRecord(win.h.device, block::Imp_User(0), Imp_UserRec{.Kind = 7});
    win.open(win.w().TabPar1);
    auto* combo = win.get<QComboBox>("ComboIA1");
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->placeholderText().toStdString(), win.w().LoadText(6149));
    // No line, and yet a double click writes the pulse output back.
    ASSERT_TRUE(win.lines("ListeImp1").isEmpty());
    const auto writes = win.h.device.writesAccepted();
    win.doubleClick(win.list("ListeImp1"), 0);
    EXPECT_EQ(win.h.device.writesAccepted(), writes + 1);
    EXPECT_EQ(win.h.device.lastWriteAddress(), block::Imp_User(0).address);
}

// Without an editor a medium table line opens nothing and sends nothing
// (with the frame's own editors: tests/gui/tables).
TEST(CircuitPage, MediumTableLinesWithoutAnEditorSendNothing) {
    WindowSetup setup;
    setup.medium = setup.device.medium = 1;
    Window win(setup);
    putRecord(win.h.device, block::Med_User(0), Med_UserRec{.Kind = 5});  // property tables
    win.open(win.w().TabPar1);
    ASSERT_EQ(win.lines("ListePG1").size(), 2);
    win.w().TabPar1->setTableEditor({});
    const auto frames = win.h.device.framesServed();
    win.doubleClick(win.list("ListePG1"), 1);
    EXPECT_EQ(win.h.device.framesServed(), frames);
}

TEST(CircuitPage, ADeviceThatStopsAnsweringLeavesTheEditShownAndTheWindowOffline) {
    Window win;
    putRecord(win.h.device, block::T_User(0), temperature(1, 0.0f, 100.0f));
    win.open(win.w().TabPar1);
    win.h.device.injectFault(sim::Fault::DropLine);
    win.answer(QStringLiteral("77"));
    win.doubleClick(win.list("ListePT1"), 1);
    EXPECT_EQ(win.w().image().T_User[0].Max, 77.0f);
    EXPECT_TRUE(win.lines("ListePT1")[1].contains("77.0000"));
    EXPECT_EQ(win.w().statusPanelText(2), QStringLiteral("OFFLINE"));
    EXPECT_FALSE(win.w().Busy());
    EXPECT_FALSE(win.w().Zeitmesser->isVisible());
    EXPECT_EQ(deviceRecord<T_UserRec>(win.h.device, block::T_User(0)).Max, 100.0f);
}

// --- offline ------------------------------------------------------------------------------

TEST(CircuitPage, OfflineEditsChangeTheImageAndSendNothing) {
    Window win(offline());
    win.open(win.w().TabPar1);
    win.choose("ComboPD1", 1);
    ASSERT_EQ(win.lines("ListePD1").size(), 3);
    // Min above Max pulls Max with it (the core's rule, applied offline too).
    win.answer(QStringLiteral("3000"));
    win.doubleClick(win.list("ListePD1"), 0);
    EXPECT_EQ(win.w().image().P_User[0].Kind, 1);
    EXPECT_EQ(win.w().image().P_User[0].Min, 3000.0f);
    EXPECT_EQ(win.w().image().P_User[0].Max, 3000.0f);
    EXPECT_EQ(win.h.device.framesServed(), 0u);
}

// --- units -----------------------------------------------------------------------------------

TEST(UnitsPage, AUnitPickedOfflineChangesEveryPageAtOnceAndSendsNothing) {
    Window win(offline());
    win.open(win.w().TabPar1);
    win.choose("ComboPT1", 1);
    ASSERT_TRUE(win.lines("ListePT1")[0].endsWith(QStringLiteral("°C")));
    win.open(win.w().TabparEinheiten);
    auto* box = win.get<QCheckBox>("CheckUserEinheiten");
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(win.get<QTabWidget>("PC_Usereinheiten")->isHidden());
    box->click();
    EXPECT_FALSE(win.get<QTabWidget>("PC_Usereinheiten")->isHidden());
    EXPECT_EQ(win.w().image().Dis_User.Einheiten, 1);
    auto* temp = win.get<gui::RadioGroup>("Radio_E_Temp");
    EXPECT_EQ(temp->count(), 3);
    emit temp->clicked(1);  // °F
    EXPECT_EQ(win.w().image().UserEinheiten[0].Kind, 1);
    EXPECT_TRUE(win.lines("ListePT1")[0].endsWith(QStringLiteral("°F")));
    EXPECT_EQ(win.h.device.framesServed(), 0u);

    // Reloading the texts clears the switch but not the user units.
    win.w().Notebook->setCurrentWidget(win.w().TabBetrieb);
    win.w().UpdateTexts();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(win.w().image().Dis_User.Einheiten, 1);
    win.open(win.w().TabparEinheiten);
    EXPECT_TRUE(box->isChecked());
}

// --- remarks -----------------------------------------------------------------------------

TEST(RemarksPage, TypedLinesGoIntoTheImageAndTheFile) {
    Window win(offline());
    win.open(win.w().TabParBemerkung);
    auto* memo = win.get<QPlainTextEdit>("Param_Memo");
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("Station Nord"));
    QTest::keyClick(memo, Qt::Key_Return);
    memo->insertPlainText(QStringLiteral("Zähler 7"));  // as an input method types it
    EXPECT_EQ(win.w().image().Bemerkung, (std::vector<std::string>{"Station Nord", "Zähler 7"}));

    const auto file = win.h.documents() / "remarks.PGA";
    win.h.dialogs.saveAnswers = {QString::fromStdString(file.string())};
    win.w().mnu_SpeichernClick();
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 2", ""), "Zähler 7");

    // A new parameter set empties the page.
    win.w().mnu_NeuClick();
    EXPECT_TRUE(memo->toPlainText().isEmpty());
    win.h.dialogs.openAnswers = {QString::fromStdString(file.string())};
    win.w().mnu_LadenClick();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Station Nord\nZähler 7"));

    // A line that would end the remarks in the file keeps what was typed on
    // the page; the note says how it is saved, and the lines after it stay.
    auto* note = win.get<QLabel>("RemarkNote");
    EXPECT_TRUE(note->isHidden());
    memo->setPlainText(QStringLiteral("Station Nord\n \"@\" \nZähler 7"));
    EXPECT_EQ(win.w().image().Bemerkung[1], " \"@\" ");
    EXPECT_FALSE(note->isHidden());
    EXPECT_TRUE(note->text().contains(QStringLiteral("2")) && note->text().contains("(@)"))
        << note->text().toStdString();
    win.h.dialogs.saveAnswers = {QString::fromStdString(file.string())};
    win.h.dialogs.okCancel = {true};  // overwrite
    win.w().mnu_SpeichernClick();
    win.w().mnu_NeuClick();
    win.h.dialogs.openAnswers = {QString::fromStdString(file.string())};
    win.w().mnu_LadenClick();
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Station Nord\n(@)\nZähler 7"));
    EXPECT_TRUE(note->isHidden());
}

// The relay, output and display pages driven as a user drives them:
// combos chosen, lines double-clicked and the input dialog answered, boxes
// ticked. What reaches the device is read from the simulator's memory.

WindowSetup withDevice(std::uint8_t ausbaustufe, std::uint8_t kindMask = 0x07,
                       bool overPty = false) {
    WindowSetup s;
    s.device.ausbaustufe = ausbaustufe;
    s.device.kindMask = kindMask;
    s.overPty = overPty;
    return s;
}

TEST(RelayPage, ATemperatureDifferenceAlarmIsChosenAndItsLimitClamped) {
    Window win;
    putRecord(win.h.device, block::Alm_User(0), Alm_UserRec{.Kind = 2});
    win.open(win.w().TabParRelais);
    // Without a source: no lines, and the kind cannot be chosen.
    EXPECT_TRUE(win.lines("ListeAlm1").isEmpty());
    EXPECT_FALSE(win.get<QComboBox>("ComboAlmKind1")->isEnabled());

    win.choose("ComboAlm1", 15);
    EXPECT_EQ(deviceRecord<Alm_UserRec>(win.h.device, block::Alm_User(0)).Param, 17);
    EXPECT_TRUE(win.get<QComboBox>("ComboAlmKind1")->isEnabled());
    ASSERT_EQ(win.lines("ListeAlm1").size(), 2);

    DialogSeen seen;
    win.answer(QStringLiteral("2000"), &seen);
    win.doubleClick(win.list("ListeAlm1"), 1);
    EXPECT_EQ(seen.caption, QStringLiteral("-1273.2 .. 1273.2"));
    const Alm_UserRec a = deviceRecord<Alm_UserRec>(win.h.device, block::Alm_User(0));
    EXPECT_FLOAT_EQ(a.Max, 1273.15f);
    EXPECT_TRUE(win.lines("ListeAlm1")[1].contains("1.2731E+3"))
        << win.lines("ListeAlm1")[1].toStdString();

    // The kind: Max alone.
    win.choose("ComboAlmKind1", 1);
    EXPECT_EQ(deviceRecord<Alm_UserRec>(win.h.device, block::Alm_User(0)).Kind, 1);
    EXPECT_EQ(win.lines("ListeAlm1").size(), 1);
    EXPECT_FALSE(win.w().Zeitmesser->isVisible());
    EXPECT_FALSE(win.w().Busy());
}

TEST(OutputPage, SourcesRangesAndTheConstantCurrent) {
    Window win;
    putRecord(win.h.device, block::Aus_User(0),
              Aus_UserRec{.Konstant = 40, .Param = 1, .Max = 100, .Err = 3.6f});
    putRecord(win.h.device, block::Aus_User(1),
              Aus_UserRec{.Konstant = 40, .Param = 2, .Min = -50, .Max = 200000, .Err = 3.6f});
    win.open(win.w().TabParAusgang);
    for (const char* group : {"GroupAus2", "GroupAus3", "GroupAus4"}) {
        EXPECT_FALSE(win.get<QGroupBox>(group)->isHidden()) << group;
    }
    EXPECT_EQ(win.lines("ListeAus1").size(), 3);

    // Which code each choice writes: core/edit/source_codes_test.
    // The constant current: 12.0 mA is kept as 120 and listed in mA.
    win.choose("ComboAus1", 0);
    ASSERT_EQ(win.lines("ListeAus1").size(), 1);
    DialogSeen seen;
    win.answer(QStringLiteral("12"), &seen);
    win.doubleClick(win.list("ListeAus1"), 0);
    EXPECT_EQ(seen.caption, QStringLiteral("1 .. 23"));
    EXPECT_EQ(deviceRecord<Aus_UserRec>(win.h.device, block::Aus_User(0)).Konstant, 120);
    EXPECT_TRUE(win.lines("ListeAus1")[0].contains("12.0000"))
        << win.lines("ListeAus1")[0].toStdString();
    EXPECT_TRUE(win.lines("ListeAus1")[0].endsWith("mA"));
}

// --- display ------------------------------------------------------------------------------

TEST(DisplayPage, OverTheRealSerialPathFillingWritesNothingAndABoxWritesTheDisplayBytes) {
    Window win(withDevice(0, 0x07, true));
    ASSERT_TRUE(win.w().session().Online);
    putRecord(win.h.device, block::Display, (DisplayRec{0x05, 0x12, 0x7F, 0x78}));
    putRecord(win.h.device, block::Dis_User, Dis_UserRec{.Kind = 1});  // compact display
    win.open(win.w().TabParDisplay);
    // The compact box changed to checked: its click writes Dis_User, but the
    // 28 display boxes set by the page write nothing.
    EXPECT_NE(win.h.device.lastWriteAddress(), block::Display.address);
    const auto writes = win.h.device.writesAccepted();
    win.open(win.w().TabParDisplay);
    EXPECT_EQ(win.h.device.writesAccepted(), writes);
    EXPECT_EQ(deviceRecord<DisplayRec>(win.h.device, block::Display),
              (DisplayRec{0x05, 0x12, 0x7F, 0x78}));
    EXPECT_TRUE(win.get<QCheckBox>("Chk_T1")->isChecked());
    EXPECT_FALSE(win.get<QCheckBox>("Chk_P1")->isChecked());
    EXPECT_TRUE(win.get<QCheckBox>("Chk_TM4")->isChecked());
    EXPECT_TRUE(win.get<QCheckBox>("CheckDisplay")->isChecked());

    // Circuit 2 temperature ticked with the compact display on: page 1
    // shows it too.
    win.tick("Chk_T2");
    EXPECT_EQ(deviceRecord<DisplayRec>(win.h.device, block::Display),
              (DisplayRec{0x17, 0x13, 0x7F, 0x78}));
    EXPECT_TRUE(win.get<QCheckBox>("Chk_M1")->isChecked());
    EXPECT_EQ(win.h.device.lastWriteAddress(), block::Display.address);
    EXPECT_FALSE(win.w().Busy());
}

// Without circuit 2 the core refuses its sources: the combo shows what the
// device keeps.
TEST(ParameterPages, WithoutCircuit2TheSourcesAreRefused) {
    Window win(withDevice(0xC0));
    putRecord(win.h.device, block::Alm_User(0), Alm_UserRec{.Param = 3, .Min = 1, .Max = 2});
    win.open(win.w().TabParRelais);
    win.choose("ComboAlm1", 9);
    EXPECT_EQ(win.get<QComboBox>("ComboAlm1")->currentIndex(), 3);
    EXPECT_EQ(deviceRecord<Alm_UserRec>(win.h.device, block::Alm_User(0)).Param, 3);
}

// The system, trend recording and correction pages driven as a user drives
// them; what reaches the device is read from the simulator's memory.

void doubleClickCell(QTableWidget* grid, int row, int column) {
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

void setSystemKind(Window& win, std::uint8_t kind) {
    SystemRec sys = deviceRecord<SystemRec>(win.h.device, block::System);
    sys.Kind = kind;
    putRecord(win.h.device, block::System, sys);
}

// --- system page -------------------------------------------------------------

// What a switch rewrites, and a device that stops answering during it: the
// core's SystemDefinition tests (core/edit/system_page_test).
TEST(SystemPage, SwitchingToOneCircuitRewritesTheDeviceAndTheRules) {
    Window win;
    setSystemKind(win, 0);
    win.open(win.w().TabParSystem);
    auto* combo = win.get<QComboBox>("Combosystem");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_FALSE(win.get<gui::RadioGroup>("AnzahlMU")->isEnabled());

    win.choose("Combosystem", 2);
    EXPECT_EQ(deviceRecord<SystemRec>(win.h.device, block::System).Kind, 2);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_TRUE(win.get<gui::RadioGroup>("AnzahlMU")->isEnabled());
    EXPECT_FALSE(win.w().Busy());
    EXPECT_FALSE(win.w().Zeitmesser->isVisible());

    // Circuit 2 is gone from the correction page.
    win.open(win.w().TabParKorrektur);
    EXPECT_FALSE(win.get<QGroupBox>("GroupFaktor2")->isVisible());
}

TEST(SystemPage, ADefinitionTheDeviceRefusesChangesNothing) {
    Window win(withDevice(0, 0x03));
    setSystemKind(win, 0);
    win.open(win.w().TabParSystem);
    const auto writes = win.h.device.framesServed(cmd::Write);
    win.choose("Combosystem", 3);
    ASSERT_EQ(win.h.dialogs.log.size(), 1u);
    EXPECT_TRUE(win.h.dialogs.log[0].startsWith("error:"));
    EXPECT_TRUE(win.h.dialogs.log[0].endsWith(":yes"));
    EXPECT_EQ(win.get<QComboBox>("Combosystem")->currentIndex(), 0);
    EXPECT_EQ(win.w().image().System.Kind, 0);
    EXPECT_EQ(win.h.device.framesServed(cmd::Write), writes);
}

TEST(SystemPage, PresetsAreEditedAndClearedByTheBox) {
    Window win;
    win.open(win.w().TabParSystem);
    auto* box = win.get<QCheckBox>("Chk_Vorgabe");
    auto* list = win.list("ListeVorgaben");
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(list->isVisible());

    box->click();
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 8);
    DialogSeen seen;
    win.answer(QStringLiteral("250"), &seen);
    win.doubleClick(list, 1);
    EXPECT_EQ(seen.caption, QStringLiteral("0 .. 1E5"));
    float preset = 0;
    ASSERT_TRUE(codec::DecodeVorgabe(win.h.device.peek(block::Vorgaben(1).address, 4), preset));
    EXPECT_EQ(preset, 250.0f);
    EXPECT_TRUE(list->item(1)->text().contains(QStringLiteral("250")));

    // Unticking clears all eight, in the device too.
    box->click();
    EXPECT_FALSE(list->isVisible());
    ASSERT_TRUE(codec::DecodeVorgabe(win.h.device.peek(block::Vorgaben(1).address, 4), preset));
    EXPECT_EQ(preset, 0.0f);
}

TEST(SystemPage, FactorLimitsAndUnits) {
    Window win;
    setSystemKind(win, 4);
    win.open(win.w().TabParSystem);
    auto* factor = win.get<QLineEdit>("ed_SystemFaktor");
    ASSERT_TRUE(factor->isEnabled());
    EXPECT_EQ(factor->text(), QStringLiteral("1.0000"));
    emit win.get<gui::RadioGroup>("RG_Grenzen")->clicked(1);
    EXPECT_FLOAT_EQ(deviceRecord<GrenzwerteRec>(win.h.device, block::Grenzwerte).U_Max, 1.4125f);

    // With two circuits the factor is not a setting, and shows nothing.
    win.choose("Combosystem", 0);
    EXPECT_FALSE(factor->isEnabled());
    EXPECT_TRUE(factor->text().isEmpty());
    EXPECT_EQ(win.get<gui::RadioGroup>("RG_Grenzen")->itemIndex(), 1);
}

// --- trend recording and correction ---------------------------------------------

TEST(TrendRecordingPage, ChoicesAreWrittenAndUnknownIntervalsLeaveTheCombo) {
    Window win;
    win.open(win.w().TabParTrend);
    auto* interval = win.get<QComboBox>("ComboTrendinterval");
    win.choose("ComboTrendinterval", 6);
    EXPECT_EQ(deviceRecord<Trend_UserRec>(win.h.device, block::Trend_User).Time, 10);
    win.choose("ComboTrend", 1);
    EXPECT_EQ(deviceRecord<Trend_UserRec>(win.h.device, block::Trend_User).Param, 1);

    // A Time the combo has not (100 s) clears it.
    Trend_UserRec trend = deviceRecord<Trend_UserRec>(win.h.device, block::Trend_User);
    trend.Time = 100;
    putRecord(win.h.device, block::Trend_User, trend);
    win.open(win.w().TabParTrend);
    EXPECT_EQ(interval->currentIndex(), -1);
}

TEST(CorrectionPage, AFactorIsEditedInItsColumnOnly) {
    Window win;
    win.open(win.w().TabParKorrektur);
    auto* grid = win.get<QTableWidget>("FlowKorr2");
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->item(3, 1)->text().trimmed(), QStringLiteral("1.0000"));
    DialogSeen seen;
    win.answer(QStringLiteral("20"), &seen);
    doubleClickCell(grid, 3, 1);
    EXPECT_EQ(seen.caption, QStringLiteral("0.25 .. 10"));
    EXPECT_EQ(deviceRecord<FlowKorrRec>(win.h.device, block::FlowKorr(1)).Stelle[3], 10.0f);
    EXPECT_EQ(grid->item(3, 1)->text().trimmed(), QStringLiteral("10.0000"));

    bool opened = false;
    win.noDialogExpected(&opened);
    doubleClickCell(grid, 3, 0);
    EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace parvion::test
