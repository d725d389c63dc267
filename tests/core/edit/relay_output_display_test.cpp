// The relay, output and display pages against the in-process simulator:
// the lines each list shows, the rules of a choice or an accepted value,
// the write-back in the device's order, the display bytes, and the pages as
// settings and as text.

#include <gtest/gtest.h>

#include <functional>

#include "core/edit/alarm_output_page.h"
#include "core/edit/display_settings.h"
#include "core/edit/page_commands.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::FieldValues;
using test::Listed;
using Status = SettingOutcome::Status;

// Fields as EditRig::store takes them; "Level=192" sets the expansion
// level, which parameter files do not hold.
void Store(EditRig& rig, std::string setup) {
    const std::string word = "Level=";
    if (const auto at = setup.find(word); at != std::string::npos) {
        const auto end = setup.find(' ', at);
        rig.image.System.Ausbaustufe =
            static_cast<std::uint8_t>(std::stoi(setup.substr(at + word.size(), end - at)));
        setup.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
    }
    rig.store(setup);
}

std::string TwoSteps(const std::string& block) {
    return "start 2, W " + block + ", step, wait 50, R " + block + ", step, hide";
}

TEST(RelayOutputDisplay, ChangesFollowTheirRulesAndAreWrittenBackInTheDevicesOrder) {
    using Change = std::function<void(EditRig&)>;
    struct Case {
        const char* what;
        int medium;
        const char* setup;  // the image and the device alike
        Change change;
        std::string log;
        const char* device;  // the device's memory afterwards
    };
    const int gas = medium::Gas, energy = medium::Energy;
    const auto alarmLine = [](int a, int row) {
        return [=](EditRig& r, float v) {
            const auto lines = AlarmLines(r.image, r.session.Medium, a);
            ASSERT_LT(static_cast<std::size_t>(row), lines.size());
            ApplyAlarmValue(*r.link, r.image, a, lines[static_cast<std::size_t>(row)], v);
        };
    };
    const auto outputLine = [](int k, int row) {
        return [=](EditRig& r, float v) {
            const auto lines = OutputLines(r.image, r.session.Medium, k);
            ASSERT_LT(static_cast<std::size_t>(row), lines.size());
            ApplyOutputValue(*r.link, r.image, k, lines[static_cast<std::size_t>(row)], v);
        };
    };
    const Case cases[] = {
        {"alarm choice 15 is the temperature difference", gas, "Alm_User0 Param=1",
         [](EditRig& r) { EXPECT_EQ(ChooseAlarmSource(*r.link, r.image, 0, 15), 15); },
         TwoSteps("Alm_User0"), "Alm_User0 Param=17"},
        {"without circuit 2 the stored source stays and is written again", gas,
         "Level=192 Alm_User1 Param=3",
         [](EditRig& r) { EXPECT_EQ(ChooseAlarmSource(*r.link, r.image, 1, 10), 3); },
         TwoSteps("Alm_User1"), "Alm_User1 Param=3"},
        {"alarm kind", gas, "Alm_User1 Param=2 Kind=0",
         [](EditRig& r) { ChooseAlarmKind(*r.link, r.image, 1, 2); }, TwoSteps("Alm_User1"),
         "Alm_User1 Kind=2"},
        {"alarm Min pulls Max up", gas, "Alm_User0 Param=1 Kind=2 Min=0 Max=20",
         [&](EditRig& r) { alarmLine(0, 0)(r, 50); }, TwoSteps("Alm_User0"),
         "Alm_User0 Min=50 Max=50"},
        {"alarm Max pulls Min down", gas, "Alm_User0 Param=1 Kind=1 Min=30 Max=40",
         [&](EditRig& r) { alarmLine(0, 0)(r, 10); }, TwoSteps("Alm_User0"),
         "Alm_User0 Min=10 Max=10"},
        {"output choice 6 is circuit 2 temperature", gas, "Aus_User2 Param=1 Min=-100 Max=200",
         [](EditRig& r) { EXPECT_EQ(ChooseOutputSource(*r.link, r.image, 2, 6), 6); },
         TwoSteps("Aus_User2"), "Aus_User2 Param=9 Min=-100 Max=200"},
        {"without circuit 2 it falls back to circuit 1 temperature", gas,
         "Level=254 Aus_User0 Param=2",
         [](EditRig& r) { EXPECT_EQ(ChooseOutputSource(*r.link, r.image, 0, 6), 1); },
         TwoSteps("Aus_User0"), "Aus_User0 Param=1"},
        {"online the limits are brought into the new source's range", gas,
         "Aus_User1 Param=4 Min=-500 Max=90000",
         [](EditRig& r) { ChooseOutputSource(*r.link, r.image, 1, 1); }, TwoSteps("Aus_User1"),
         "Aus_User1 Param=1 Min=-273.15 Max=1500"},
        {"power on the energy computer may go below 0", energy,
         "Aus_User0 Param=1 Min=-2E7 Max=2E7",
         [](EditRig& r) { ChooseOutputSource(*r.link, r.image, 0, 4); }, TwoSteps("Aus_User0"),
         "Aus_User0 Param=4 Min=-1E7 Max=1E7"},
        {"constant current below 1 mA", gas, "Aus_User0 Param=3 Konstant=5 Min=0 Max=100",
         [](EditRig& r) { ChooseOutputSource(*r.link, r.image, 0, 0); }, TwoSteps("Aus_User0"),
         "Aus_User0 Param=0 Konstant=5 Min=10 Max=100"},
        {"constant current above 23 mA", gas, "Aus_User0 Param=3 Konstant=240 Min=0 Max=100",
         [](EditRig& r) { ChooseOutputSource(*r.link, r.image, 0, 0); }, TwoSteps("Aus_User0"),
         "Aus_User0 Param=0 Konstant=240 Min=0 Max=230"},
        {"constant 12.36 mA rounds to 124", gas, "Aus_User3 Param=0 Konstant=40",
         [&](EditRig& r) { outputLine(3, 0)(r, 12.36f); }, TwoSteps("Aus_User3"),
         "Aus_User3 Konstant=124"},
        {"output Max pulls Min down", gas, "Aus_User1 Param=2 Min=500 Max=1000",
         [&](EditRig& r) { outputLine(1, 1)(r, 100); }, TwoSteps("Aus_User1"),
         "Aus_User1 Min=100 Max=100"},
        {"error current", gas, "Aus_User1 Param=2 Err=3.5",
         [&](EditRig& r) { outputLine(1, 2)(r, 21.5f); }, TwoSteps("Aus_User1"),
         "Aus_User1 Err=21.5"},
        {"preferred value", gas, "Dis_User First=0",
         [](EditRig& r) { EXPECT_EQ(ChoosePreferredValue(*r.link, r.image, 25), 25); },
         TwoSteps("Dis_User"), "Dis_User First=31"},
        {"without circuit 2 the preferred value goes back to none", gas,
         "Level=192 Dis_User First=3",
         [](EditRig& r) { EXPECT_EQ(ChoosePreferredValue(*r.link, r.image, 9), 0); },
         TwoSteps("Dis_User"), "Dis_User First=0"},
        {"calculation errors", gas, "Dis_User CalcError=1",
         [](EditRig& r) { SetCalcErrorAcknowledge(*r.link, r.image, false); },
         "start 2, W Dis_User, wait 50, step, R Dis_User, step, hide", "Dis_User CalcError=0"},
        {"a display box: Display alone, no read-back, no progress", gas,
         "Display Enable1=1 Enable2=0 Enable3=0 Enable4=0",
         [](EditRig& r) {
             DisplayBoxes boxes = BoxesOf(r.image.Display);
             boxes[1][0] = true;  // Chk_T2
             SetDisplayBoxes(*r.link, r.image, boxes, false);
         },
         "W Display", "Display Enable1=1 Enable2=1"},
        {"compact display: circuit 2 temperature also sets bit 0 of Enable1", gas,
         "Display Enable1=2 Enable2=0 Enable3=0 Enable4=0",
         [](EditRig& r) {
             DisplayBoxes boxes = BoxesOf(r.image.Display);
             boxes[1][0] = true;
             SetDisplayBoxes(*r.link, r.image, boxes, true);
         },
         "W Display", "Display Enable1=3 Enable2=1"},
        {"the relay page's reads", gas, "", [](EditRig& r) { ReadRelayPage(*r.link, r.image); },
         "start 2, R Alm_User0, step, R Alm_User1, step, hide", ""},
        {"the output page's reads", gas, "", [](EditRig& r) { ReadOutputPage(*r.link, r.image); },
         "start 4, R Aus_User0, step, R Aus_User1, step, R Aus_User2, step, R Aus_User3, step, "
         "hide",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditRig rig(c.medium);
        Store(rig, c.setup);
        c.change(rig);
        EXPECT_EQ(test::Joined(rig.log), c.log);
        rig.expectDevice(c.device);
        EXPECT_EQ(rig.link->failedTransactions(), 0);
    }
}

TEST(RelayOutputDisplay, OfflineOnlyTheImageChanges) {
    EditRig rig;
    rig.store("Aus_User0 Param=4 Min=-500 Max=90000 Alm_User0 Param=1 Kind=0");
    rig.goOffline();
    ChooseAlarmSource(*rig.link, rig.image, 0, 15);
    ApplyAlarmValue(*rig.link, rig.image, 0, AlarmLines(rig.image, 0, 0).at(0), 5);
    // Offline the limits of the new source are not pulled into range.
    ChooseOutputSource(*rig.link, rig.image, 0, 1);
    ChoosePreferredValue(*rig.link, rig.image, 3);
    SetCompactDisplay(*rig.link, rig.image, true);
    SetDisplayBoxes(*rig.link, rig.image, BoxesOf(DisplayRec{1, 2, 4, 8}), true);
    EXPECT_EQ(test::Joined(rig.log), "");
    rig.expectDevice("");
    const char* image =
        "Alm_User0 Param=17 Min=5 Aus_User0 Param=1 Min=-500 Max=90000 Dis_User Kind=1 First=3 "
        "Display Enable1=3";
    EXPECT_EQ(FieldValues(rig.image, image), image);
}

TEST(RelayOutputDisplay, ListsShowTheLinesOfTheSourceAndTheKind) {
    EditRig rig(medium::Energy);  // English texts
    ParameterImage& im = rig.image;
    auto alarm = [&](int a) { return Listed(AlarmListTexts(im, 1, a, rig.blocks, rig.format)); };
    auto output = [&](int k) { return Listed(OutputListTexts(im, 1, k, rig.blocks, rig.format)); };

    // No source: no lines, and the kind cannot be chosen.
    test::SetFields(im, "Alm_User0 Param=0 Kind=2 Alm_User1 Param=17 Kind=2 Min=-5 Max=1200");
    EXPECT_EQ(alarm(0), "[]");
    EXPECT_FALSE(AlarmKindEnabled(im, 0));
    EXPECT_TRUE(AlarmKindEnabled(im, 1));
    EXPECT_EQ(alarm(1), "[Minimum        -5.0000    K|Maximum         1.2000E+3 K]");
    const std::vector<SourceLine> lines = AlarmLines(im, 1, 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], (SourceLine{1, "Max", 13, 13, -1273.15f, 1273.15f}));
    for (const auto& [kind, shown] :
         std::vector<std::pair<int, std::string>>{{0, "[Minimum        -5.0000    K]"},
                                                  {1, "[Maximum         1.2000E+3 K]"},
                                                  {3, "[]"}}) {
        im.Alm_User[1].Kind = static_cast<std::uint8_t>(kind);
        EXPECT_EQ(alarm(1), shown) << kind;
    }

    test::SetFields(im, "Aus_User0 Param=0 Konstant=120 Aus_User1 Param=28 Min=0 Max=5000 Err=3.6");
    EXPECT_EQ(output(0), "[Fixed value    12.0000    mA]");
    EXPECT_EQ(OutputValue(im, 0, OutputLines(im, 1, 0).at(0)), 12.0f);
    EXPECT_EQ(
        output(1),
        "[Value 4 mA      0.0000    kW|Value 20 mA     5.0000E+3 kW|Error value     3.6000    mA]");
    const std::vector<SourceLine> out = OutputLines(im, 1, 1);
    EXPECT_EQ(out[0], (SourceLine{0, "Min", 3, 3, -2e8f, 2e8f}));
    // The error current is entered without unit conversion.
    EXPECT_EQ(out[2], (SourceLine{2, "Err", 15, kNoQuantity, 1, 23}));
}

TEST(RelayOutputDisplay, DisplayBytesAndTheCompactRule) {
    struct Case {
        DisplayRec boxes;  // the boxes, as bytes
        bool compact;
        DisplayRec want;
    };
    const Case cases[] = {
        {{0x05, 0x12, 0x7F, 0x78}, false, {0x05, 0x12, 0x7F, 0x78}},
        {{0x05, 0x12, 0x00, 0x00}, true, {0x17, 0x12, 0x00, 0x00}},
        {{0x00, 0x01, 0x00, 0x00}, true, {0x01, 0x01, 0x00, 0x00}},
        // A byte's eighth bit has no box.
        {{0xFF, 0x80, 0x00, 0x00}, true, {0x7F, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        const DisplayRec got = DisplayOfBoxes(BoxesOf(c.boxes), c.compact);
        EXPECT_EQ(got, c.want) << int(c.boxes.Enable1) << " " << int(c.boxes.Enable2);
    }
    EXPECT_FALSE(DisplayValueShown(3, 2));
    EXPECT_TRUE(DisplayValueShown(3, 3));
    EXPECT_TRUE(DisplayValueShown(2, 0));
}

TEST(RelayOutputDisplay, FillingTheDisplayPageNeverWritesDisplay) {
    struct Case {
        const char* device;
        DisplayChecks shown;
        DisplayChecks result;
        std::string log;  // after the reads
    };
    const std::string click = "start 2, W Dis_User, wait 50, step, R Dis_User, step, hide";
    const Case cases[] = {
        {"Dis_User Kind=0 CalcError=0", {false, false}, {false, false}, "hide"},
        // A box whose state changes acts as clicked.
        {"Dis_User Kind=1 CalcError=0", {false, false}, {true, false}, click + ", hide"},
        {"Dis_User Kind=0 CalcError=1",
         {true, false},
         {false, true},
         click + ", " + click + ", hide"},
        // Without all outputs the compact display is not offered: unchecked.
        {"Level=192 Dis_User Kind=1", {false, false}, {false, false}, "hide"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        EditRig rig;
        Store(rig, c.device);
        EXPECT_EQ(FillDisplayPage(*rig.link, rig.image, c.shown), c.result);
        EXPECT_EQ(test::Joined(rig.log), "start 16, R Dis_User, step, R Display, step, " + c.log);
        rig.expectDevice("");
    }
}

TEST(RelayOutputDisplaySettings, SettingsAreTakenAsThePagesTakeThem) {
    EditRig rig;
    rig.store(
        "Alm_User0 Param=1 Kind=0 Min=0 Max=0 Aus_User0 Param=0 Konstant=40 "
        "Dis_User Kind=0 Display Enable1=1 Enable2=0 Enable3=0 Enable4=0");
    struct Case {
        Setting setting;
        PageName page;
        const char* stored;  // in the device afterwards
        const char* notes;
    };
    const Case cases[] = {
        // The choice index, as the page takes it: 15 is code 17.
        {{"Alm_User0", "Param", "15"}, PageName::Relays, "Alm_User0 Param=17", "[]"},
        {{"alm_user0", "kind", "2"}, PageName::Relays, "Alm_User0 Kind=2", "[]"},
        {{"Alm_User0", "Min", "-2000"},
         PageName::Relays,
         "Alm_User0 Min=-1273.15",
         "[-2000 is below the lower limit; -1273.15 taken]"},
        {{"Alm_User0", "Max", "-1300"},
         PageName::Relays,
         "Alm_User0 Min=-1273.15 Max=-1273.15",
         "[-1300 is below the lower limit; -1273.15 taken]"},
        // mA, as the output dialog takes it.
        {{"Aus_User0", "Konstant", "12"}, PageName::Outputs, "Aus_User0 Konstant=120", "[]"},
        {{"Aus_User0", "Konstant", "12,34"},
         PageName::Outputs,
         "Aus_User0 Konstant=123",
         "[Konstant is kept in steps of 0.1: 12.3 taken]"},
        {{"Aus_User0", "Konstant", "30"},
         PageName::Outputs,
         "Aus_User0 Konstant=230",
         "[30 is above the upper limit; 23 taken]"},
        {{"Aus_User0", "Param", "6"}, PageName::Outputs, "Aus_User0 Param=9", "[]"},
        {{"Aus_User0", "Err", "3.5"}, PageName::Outputs, "Aus_User0 Err=3.5", "[]"},
        {{"Dis_User", "First", "15"}, PageName::Display, "Dis_User First=17", "[]"},
        {{"Dis_User", "Kind", "1"}, PageName::Display, "Dis_User Kind=1", "[]"},
        {{"Dis_User", "CalcError", "1"}, PageName::Display, "Dis_User CalcError=1", "[]"},
        // With the compact display on, page 2's boxes go to page 1 too.
        {{"Display", "Enable2", "9"}, PageName::Display, "Display Enable1=9 Enable2=9", "[]"},
        {{"Display", "enable4", "120"}, PageName::Display, "Display Enable4=120", "[]"},
        // Still the units page's switch.
        {{"Dis_User", "Einheiten", "1"}, PageName::Units, "Dis_User Einheiten=1", "[]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting.section + " " + c.setting.key + " " + c.setting.value);
        rig.mark();
        const SettingOutcome out =
            ApplySetting(*rig.link, rig.image, c.setting, test::PageTextsOf(rig));
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, c.page);
        rig.expectDevice(c.stored);
        EXPECT_EQ(Listed(out.notes), c.notes);
    }
}

TEST(RelayOutputDisplaySettings, RefusedSettingsChangeAndSendNothing) {
    EditRig rig;
    rig.image.System.Ausbaustufe = 0xC0;  // no circuit 2, one output
    rig.store("Alm_User0 Param=0 Alm_User1 Param=2 Kind=1 Aus_User0 Param=3 Display Enable4=8");
    const test::Refusal cases[] = {
        {{"Alm_User1", "Param", "26"}, Status::BadChoice, "no choice 26", "|25 Mass sum 1+2]"},
        {{"Alm_User1", "Param", "x"}, Status::NotANumber, "not a choice index", "[]"},
        {{"Alm_User1", "Param", "8"}, Status::Refused, "circuit 2 is not available", "[]"},
        {{"Alm_User0", "Kind", "1"}, Status::Refused, "set Alm_User0 Param first", "[]"},
        {{"Alm_User1", "Kind", "3"}, Status::BadChoice, "no choice 3", "[0 Minimum|"},
        // Kind 1 shows Max alone.
        {{"Alm_User1", "Min", "5"},
         Status::Unknown,
         "\"Alm_User1 Min\" is not a setting of the relay page",
         "[Alm_User1 Param|Alm_User1 Kind|Alm_User1 Max]"},
        {{"Alm_User0", "Min", "5"}, Status::Unknown, "Alm_User0 Min", "[Alm_User0 Param]"},
        {{"Alm_User1", "Max", "1e"}, Status::NotANumber, "not a number", "[]"},
        {{"Aus_User0", "Konstant", "12"}, Status::Unknown, "Aus_User0 Konstant", "|Aus_User0 Err]"},
        {{"Aus_User0", "Param", "6"}, Status::Refused, "circuit 2 is not available", "[]"},
        {{"Aus_User0", "Param", "18"}, Status::BadChoice, "no choice 18", "[0 Constant current|"},
        {{"Aus_User1", "Param", "1"}, Status::Refused, "outputs 2 to 4 are not fitted", "[]"},
        {{"Dis_User", "First", "8"}, Status::Refused, "circuit 2 is not available", "[]"},
        {{"Dis_User", "Kind", "1"}, Status::Refused, "needs a device with all outputs", "[]"},
        {{"Dis_User", "CalcError", "2"}, Status::BadChoice, "no choice 2", "[0 off|1 on]"},
        {{"Display", "Enable2", "1"}, Status::Refused, "circuit 2 is not available", "[]"},
        {{"Display", "Enable1", "128"}, Status::BadChoice, "at most 127", "[]"},
        {{"Display", "Enable5", "1"}, Status::Unknown, "Display Enable5", "[Display Enable1]"},
    };
    for (const test::Refusal& c : cases) test::ExpectRefused(rig, c);
    // The sum page has no temperature box (value 1).
    rig.image.System.Ausbaustufe = 0;
    test::ExpectRefused(rig, {{"Display", "Enable4", "9"}, Status::BadChoice, "at most 120", ""});
}

TEST(RelayOutputDisplaySettings, PagesPrintTheirLinesWithTheSettingThatChangesThem) {
    EditRig rig;  // gas, English
    ParameterImage& im = rig.image;
    test::SetFields(im,
                    "Alm_User0 Param=0 Kind=1 Alm_User1 Param=17 Kind=2 Min=-5 Max=20 "
                    "Aus_User0 Param=0 Konstant=120 Aus_User1 Param=9 Min=0 Max=100 Err=3.6 "
                    "Dis_User Kind=1 First=17 CalcError=0 "
                    "Display Enable1=9 Enable2=0 Enable3=0 Enable4=8");
    auto print = [&](PageName page) {
        return PrintPage(page, im, medium::Gas, 0, test::PageTextsOf(rig));
    };
    EXPECT_EQ(Listed(print(PageName::Relays)),
              "[Limit relay 1: not monitored  [Alm_User0 Param 0..25]|"
              "  Maximum|"
              "Limit relay 2: Temperature difference 2-1  [Alm_User1 Param 0..25]|"
              "  Min. + max.  [Alm_User1 Kind 0..2]|"
              "  Minimum        -5.0000    K  [Alm_User1 Min]|"
              "  Maximum        20.0000    K  [Alm_User1 Max]]");
    std::vector<std::string> page = print(PageName::Outputs);
    ASSERT_EQ(page.size(), 14u);
    EXPECT_EQ(page[0], "Analog output 1: Constant current  [Aus_User0 Param 0..17]");
    EXPECT_EQ(page[1], "  Fixed value    12.0000    mA  [Aus_User0 Konstant]");
    EXPECT_EQ(page[2], "Analog output 2: Temperature circuit 2  [Aus_User1 Param 0..17]");
    EXPECT_EQ(page[5], "  Error value     3.6000    mA  [Aus_User1 Err]");
    page = print(PageName::Display);
    ASSERT_GE(page.size(), 12u);
    EXPECT_EQ(page[0], "Display: Temperature difference 2-1  [Dis_User First 0..25]");
    EXPECT_EQ(page[1], "[x] Compact display  [Dis_User Kind 0..1]");
    EXPECT_EQ(page[2],
              "[ ] Acknowledge calculation errors automatically  [Dis_User CalcError 0..1]");
    EXPECT_EQ(page[3], "Device display pages");
    EXPECT_EQ(page[4], "Circuit 1: 9  [Display Enable1]");
    EXPECT_EQ(page[5], "  [x] Temperature (1)");
    EXPECT_EQ(page[8], "  [x] Standard flow (8)");
    EXPECT_EQ(page.back(), "  [ ] Mass (64)");

    // Without circuit 2: one output, one display page, no compact display.
    im.System.Ausbaustufe = 0xC0;
    EXPECT_EQ(print(PageName::Outputs).size(), 2u);
    page = print(PageName::Display);
    EXPECT_EQ(page[1], "[ ] Compact display");
    EXPECT_EQ(page.size(), 12u);
}

}  // namespace
}  // namespace parvion::edit
