// The system, trend recording and correction pages driven as a user drives
// them; what reaches the device is read from the simulator's memory.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include "gui/shared/radio_group.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

void doubleClickCell(QTableWidget* grid, int row, int column) {
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

WindowSetup withDevice(std::uint8_t ausbaustufe, std::uint8_t kindMask = 0x07) {
    WindowSetup s;
    s.device.ausbaustufe = ausbaustufe;
    s.device.kindMask = kindMask;
    return s;
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
