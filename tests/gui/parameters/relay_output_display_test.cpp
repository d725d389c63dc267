// The relay, output and display pages driven as a user drives them:
// combos chosen, lines double-clicked and the input dialog answered, boxes
// ticked. What reaches the device is read from the simulator's memory.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/link/parameter_blocks.h"
#include "gui/shared/input_dialog.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

Alm_UserRec alarm(std::uint8_t param, std::uint8_t kind, float min, float max) {
    Alm_UserRec a{};
    a.Param = param;
    a.Kind = kind;
    a.Min = min;
    a.Max = max;
    return a;
}

Aus_UserRec output(std::uint8_t param, std::uint8_t konstant, float min, float max) {
    Aus_UserRec o{};
    o.Param = param;
    o.Konstant = konstant;
    o.Min = min;
    o.Max = max;
    o.Err = 3.6f;
    return o;
}

WindowSetup level(std::uint8_t ausbaustufe, bool overPty = false) {
    WindowSetup s;
    s.device.ausbaustufe = ausbaustufe;
    s.overPty = overPty;
    return s;
}

TEST(RelayPage, ATemperatureDifferenceAlarmIsChosenAndItsLimitClamped) {
    Window win;
    putRecord(win.h.device, block::Alm_User(0), alarm(0, 2, 0, 0));
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
    putRecord(win.h.device, block::Aus_User(0), output(1, 40, 0, 100));
    putRecord(win.h.device, block::Aus_User(1), output(2, 40, -50, 200000));
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

DisplayRec displayBytes(std::uint8_t e1, std::uint8_t e2, std::uint8_t e3, std::uint8_t e4) {
    return DisplayRec{e1, e2, e3, e4};
}

TEST(DisplayPage, OverTheRealSerialPathFillingWritesNothingAndABoxWritesTheDisplayBytes) {
    Window win(level(0, true));
    ASSERT_TRUE(win.w().session().Online);
    putRecord(win.h.device, block::Display, displayBytes(0x05, 0x12, 0x7F, 0x78));
    Dis_UserRec dis{};
    dis.Kind = 1;  // compact display
    putRecord(win.h.device, block::Dis_User, dis);
    win.open(win.w().TabParDisplay);
    // The compact box changed to checked: its click writes Dis_User, but the
    // 28 display boxes set by the page write nothing.
    EXPECT_NE(win.h.device.lastWriteAddress(), block::Display.address);
    const auto writes = win.h.device.writesAccepted();
    win.open(win.w().TabParDisplay);
    EXPECT_EQ(win.h.device.writesAccepted(), writes);
    EXPECT_EQ(deviceRecord<DisplayRec>(win.h.device, block::Display),
              displayBytes(0x05, 0x12, 0x7F, 0x78));
    EXPECT_TRUE(win.get<QCheckBox>("Chk_T1")->isChecked());
    EXPECT_FALSE(win.get<QCheckBox>("Chk_P1")->isChecked());
    EXPECT_TRUE(win.get<QCheckBox>("Chk_TM4")->isChecked());
    EXPECT_TRUE(win.get<QCheckBox>("CheckDisplay")->isChecked());

    // Circuit 2 temperature ticked with the compact display on: page 1
    // shows it too.
    win.tick("Chk_T2");
    EXPECT_EQ(deviceRecord<DisplayRec>(win.h.device, block::Display),
              displayBytes(0x17, 0x13, 0x7F, 0x78));
    EXPECT_TRUE(win.get<QCheckBox>("Chk_M1")->isChecked());
    EXPECT_EQ(win.h.device.lastWriteAddress(), block::Display.address);
    EXPECT_FALSE(win.w().Busy());
}

// Without circuit 2 the core refuses its sources: the combo shows what the
// device keeps.
TEST(ParameterPages, WithoutCircuit2TheSourcesAreRefused) {
    Window win(level(0xC0));
    putRecord(win.h.device, block::Alm_User(0), alarm(3, 0, 1, 2));
    win.open(win.w().TabParRelais);
    win.choose("ComboAlm1", 9);
    EXPECT_EQ(win.get<QComboBox>("ComboAlm1")->currentIndex(), 3);
    EXPECT_EQ(deviceRecord<Alm_UserRec>(win.h.device, block::Alm_User(0)).Param, 3);
}

}  // namespace
}  // namespace parvion::test
