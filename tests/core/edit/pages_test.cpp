// The other pages against the in-process simulator, and every page through
// settings named as in the parameter file: refusals that change and send
// nothing, the dialog's clamping with its notes, remark lines, the pages
// printed as text; the system definition's switch frame by frame and in the
// device's memory afterwards, the trend recording and correction pages; the
// relay, output and display pages (the lines each list shows, the rules of a
// choice or an accepted value, the write-back in the device's order, the
// display bytes); and the source codes of relays, outputs and the preferred
// display value (the choice index of every code both ways, the quantity it is
// shown in, the limits of its values).

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <vector>

#include "core/edit/alarm_output_page.h"
#include "core/edit/correction.h"
#include "core/edit/display_settings.h"
#include "core/edit/remarks.h"
#include "core/edit/source_codes.h"
#include "core/edit/system_page.h"
#include "core/edit/trend_recording.h"
#include "core/model/parameter_image.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::Listed;
using Status = SettingOutcome::Status;
using test::Joined;
using test::TwoSteps;

bool Has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

TEST(PageCommands, RefusedSettingsChangeAndSendNothing) {
    EditRig rig;  // gas device: temperature and pressure kind 1, flow kind 4 on circuit 1
    rig.image.System.Kind = 1;  // one circuit
    const test::Refusal cases[] = {
        {{"T_User0", "Konst", "5"},
         Status::Unknown,
         "\"T_User0 Konst\" is not a setting of the circuit 1 page",
         "[T_User0 Kind|T_User0 Min|T_User0 Max]"},
        {{"T_User0", "Max", "abc"}, Status::NotANumber, "\"abc\" is not a number", "[]"},
        // Numbers a device float cannot hold are refused, not clamped.
        {{"T_User0", "Max", "1e300"}, Status::NotANumber, "not a number the device can hold", "[]"},
        {{"Flow_User0", "Kind", "6"}, Status::BadChoice, "no choice 6", "|5 Pulse input]"},
        {{"Flow_User0", "Kind", "1.5"}, Status::NotANumber, "choice index", "[]"},
        // A value of a line the page does not show: every setting is valid.
        {{"Des_User0", "DesQN", "5"}, Status::Unknown, "Des_User0 DesQN", "|Flow_User0 TKK|"},
        {{"Foo", "Max", "1"}, Status::Unknown, "no section \"Foo\"", "|Dis_User"},
        {{"Dis_User", "Kinds", "1"}, Status::Unknown, "Dis_User Kinds", "[Dis_User First|"},
        {{"Dis_User", "Einheiten", "2"}, Status::BadChoice, "no choice 2", "[0 off|1 on]"},
        {{"UserEinheiten0", "Kind", "1"},
         Status::Refused,
         "only while the user units are on",
         "[Dis_User Einheiten]"},
        {{"T_User1", "Max", "5"}, Status::Refused, "circuit 2 is not available", "[]"},
        {{"EG_User", "Ho", "11", 1}, Status::Refused, "circuit 2 is not available", "[]"},
        {{"Bemerkung", "Zeile 1", "x"}, Status::Refused, "only in parameter files", "[]"},
    };
    for (const test::Refusal& c : cases) test::ExpectRefused(rig, c);
}

TEST(PageCommands, ValuesAreTakenAsTheDialogTakesThemInTheBaseUnit) {
    EditRig rig;
    rig.goOffline();
    // °F on the pages: the setting stays in °C.
    test::SetFields(rig.image, "Dis_User Einheiten=1 UserEinheiten0 Kind=1 Flow_User1 Kind=5");
    // The setting, the field stored and the notes.
    const std::tuple<Setting, const char*, const char*> cases[] = {
        {{"T_User0", "Max", "120"}, "T_User0 Max=120", "[]"},
        {{"t_user0", "max", " 1,5 "}, "T_User0 Max=1.5", "[]"},
        {{"T_User0", "Max", "2000"},
         "T_User0 Max=1500",
         "[2000 is above the upper limit; 1500 taken]"},
        {{"T_User0", "Min", "-300"},
         "T_User0 Min=-273.15",
         "[-300 is below the lower limit; -273.15 taken]"},
        {{"T_User0", "Min", "1E-10"}, "T_User0 Min=0", "[1E-10 is taken as 0]"},
        {{"T_User0", "Min", "1e-46"}, "T_User0 Min=0", "[1e-46 is taken as 0]"},
        {{"Flow_User1", "MaxFreq", "12.7"},
         "Flow_User1 MaxFreq=12",
         "[MaxFreq keeps the whole-number part: 12]"},
    };
    for (const auto& [setting, stored, notes] : cases) {
        SCOPED_TRACE(setting.section + " " + setting.key + " " + setting.value);
        const SettingOutcome out = rig.apply(setting);
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, PageName::Circuit);
        EXPECT_EQ(out.circuit, setting.section.back() - '0');
        test::ExpectFields(rig.image, stored);
        EXPECT_EQ(Listed(out.notes), notes);
    }
}

// The system, trend and correction pages as settings: each refusal class
// on the device it belongs to, then the values each page takes.
TEST(PageCommands, SystemTrendAndCorrectionSettings) {
    const std::pair<std::uint8_t, test::Refusal> refused[] = {
        {0xC0, {{"System", "Kind", "4"}, Status::Refused, "the system definition is fixed", "[]"}},
        {0x3C, {{"Trend_User", "Time", "1"}, Status::Refused, "no trend recording", "[]"}},
        {0xC0, {{"Trend_User", "Time", "12"}, Status::BadChoice, "no choice 12", "|11 60 min]"}},
        {0xC0, {{"Grenzwerte", "Schema", "x"}, Status::NotANumber, "not a choice index", "[]"}},
        {0xC0, {{"Vorgaben", "Vorgabe9", "1"}, Status::Unknown, "Vorgaben Vorgabe9", "Vorgabe8"}},
        {0xC0, {{"Vorgaben", "Vorgabe1", "x"}, Status::NotANumber, "not a number", "[]"}},
        {0xC0, {{"FlowKorr_1", "Stelle8", "1"}, Status::Unknown, "Stelle8", "FlowKorr_1 Stelle7"}},
        {0, {{"System", "Anzahl", "1"}, Status::Refused, "only with a single-circuit", "[]"}},
        {0,
         {{"System", "Kind", "4"},
          Status::BadChoice,
          "no choice 4",
          "|3 Balance inflow - outflow]"}},
        // Measuring-range switching and balance allowed, parallel transmitters not.
        {0, {{"System", "Kind", "2"}, Status::Refused, "", "[]"}},
    };
    for (const auto& [ausbaustufe, refusal] : refused) {
        EditRig rig;
        rig.store("System Kind=0");
        rig.image.System.KindMask = 0x05;
        rig.image.System.Ausbaustufe = ausbaustufe;
        test::ExpectRefused(rig, refusal);
    }

    // Offline, as on a file: the values stored and the notes.
    EditRig rig;
    rig.goOffline();
    rig.image.System.KindMask = 0x07;
    const auto apply = [&](Setting s, PageName page, const char* notes) {
        SCOPED_TRACE(s.section + " " + s.key + " " + s.value);
        const SettingOutcome out = rig.apply(s);
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, page);
        EXPECT_EQ(Listed(out.notes), notes);
    };
    apply({"FlowKorr_2", "Stelle0", "20"}, PageName::Correction,
          "[20 is above the upper limit; 10 taken]");
    apply({"Grenzwerte", "Schema", "1"}, PageName::System, "[]");
    apply({"System", "Kind", "3"}, PageName::System, "[]");
    apply({"System", "Faktor", "0.95"}, PageName::System, "[]");
    apply({"Trend_User", "Time", "8"}, PageName::TrendRecording, "[]");
    test::ExpectFields(rig.image,
                       "FlowKorr_2 Stelle0=10 Grenzwerte U_Max=1.4125 System Kind=4 Faktor=0.95 "
                       "Trend_User Time=15");
    EXPECT_TRUE(rig.log.empty()) << test::Joined(rig.log);

    // A preset the device holds already is not sent again.
    EditRig online;
    online.store("");
    ASSERT_TRUE(online.apply({"Vorgaben", "Vorgabe3", "250"}).ok());
    EXPECT_EQ(online.device.framesServed(cmd::Write), 1u);
    const SettingOutcome again = online.apply({"Vorgaben", "Vorgabe3", "250"});
    EXPECT_EQ(Listed(again.notes), "[the preset already holds 250; nothing sent]");
    EXPECT_EQ(online.device.framesServed(cmd::Write), 1u);
}

TEST(PageCommands, ChoicesAndTheGasInputSetOfTheCircuitNamed) {
    EditRig rig;
    auto apply = [&](Setting s) {
        const SettingOutcome out = rig.apply(s);
        EXPECT_TRUE(out.ok()) << out.message;
        return out;
    };
    apply({"Med_User1", "Kind", "6"});
    // The input set counts for the page of circuit 2: its Ready goes.
    EXPECT_EQ(apply({"EG_User", "CO2", "2.5", 1}).circuit, 1);
    apply({"Dis_User", "Einheiten", "1"});
    EXPECT_EQ(apply({"UserEinheiten4", "Kind", "11"}).page, PageName::Units);
    rig.expectDevice(
        "Med_User0 Ready=1 Med_User1 Kind=6 Ready=0 EG_User CO2=2.5 Dis_User Einheiten=1 "
        "UserEinheiten4 Kind=11");

    const SettingOutcome bad = rig.apply({"UserEinheiten0", "Kind", "3"});
    EXPECT_EQ(bad.status, Status::BadChoice);
    EXPECT_EQ(Listed(bad.valid), "[0 °C|1 °F|2 K]");
}

TEST(PageCommands, RemarkLinesOfAFile) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    im.Bemerkung = {"Pump station 7"};
    auto set = [&](const std::string& key, const std::string& text) {
        return rig.apply({"Bemerkung", key, text});
    };
    EXPECT_EQ(set("Zeile 2", "north side").page, PageName::Remarks);
    EXPECT_TRUE(set("zeile 1", "Pump station 8").ok());
    EXPECT_EQ(Listed(im.Bemerkung), "[Pump station 8|north side]");
    // A line break makes further lines, as in the page's memo.
    EXPECT_TRUE(set("Zeile 2", "north\r\nside").ok());
    EXPECT_TRUE(set("Zeile 4", "").ok());
    EXPECT_EQ(Listed(im.Bemerkung), "[Pump station 8|north|side|]");
    const SettingOutcome gap = set("Zeile 6", "x");
    EXPECT_EQ(gap.status, Status::Unknown);
    EXPECT_EQ(gap.valid.back(), "Bemerkung Zeile 5");
    EXPECT_EQ(set("Zeile", "x").status, Status::Unknown);
    // A line that would read back as the end of the remarks is refused, also
    // after a line break; the forms that read so:
    // ParameterFileSave.NoRemarkLineIsSavedAsTheEndMarker.
    const ParameterImage before = im;
    for (const char* end : {"@", "x\n@"}) {
        const SettingOutcome refused = set("Zeile 2", end);
        EXPECT_EQ(refused.status, Status::Refused) << end;
        EXPECT_NE(refused.message.find("end of the remarks"), std::string::npos);
        EXPECT_EQ(im, before);
    }

    for (const auto& [text, lines] : std::vector<std::pair<std::string, std::string>>{
             {"", "[]"}, {"a\r\nb", "[a|b]"}, {"a\n", "[a|]"}, {"a\rb", "[a\rb]"}}) {
        EXPECT_EQ(Listed(SplitRemarks(text)), lines) << text;
        if (text.find('\r') == std::string::npos) {
            EXPECT_EQ(JoinRemarks(SplitRemarks(text)), text);
        }
    }
}

TEST(PageCommands, PagesPrintTheirLinesWithTheSettingThatChangesThem) {
    EditRig rig;  // gas, English; System kind 4 hides the reference values
    ParameterImage& im = rig.image;
    auto print = [&](PageName page) {
        return PrintPage(page, im, medium::Gas, 0, rig.pageTexts());
    };
    std::vector<std::string> page = print(PageName::Circuit);
    ASSERT_GE(page.size(), 4u);
    EXPECT_EQ(page[0], "Temperature: Current input 4-20 mA  [T_User0 Kind 0..3]");
    EXPECT_EQ(page[2], "  Value at 20 mA      60.0000    °C  [T_User0 Max]");
    EXPECT_FALSE(Has(page, "Standard conditions"));

    test::SetFields(im, "System Kind=0 Med_User0 Kind=6 Dummy2=50 Imp_User0 Kind=3");
    page = print(PageName::Circuit);
    EXPECT_TRUE(Has(page, "  ISO                 A42 ERROR"));  // no setting: no brackets
    EXPECT_TRUE(Has(page, "Pulse output: not defined  [Imp_User0 Kind 0..2]"));
    EXPECT_TRUE(Has(page, "Standard conditions"));
    EXPECT_TRUE(Has(page, "  Correction factor    1.0000     [Bez_User0 Faktor]"));

    EXPECT_EQ(Listed(print(PageName::Units)), "[[ ] User units  [Dis_User Einheiten 0..1]]");
    test::SetFields(im, "Dis_User Einheiten=1 UserEinheiten0 Kind=2");
    page = print(PageName::Units);
    ASSERT_EQ(page.size(), 17u);
    EXPECT_EQ(page[1], "Temperature: K  [UserEinheiten0 Kind 0..2]");
    EXPECT_EQ(page[2], "  ( ) 0 °C  ( ) 1 °F  (*) 2 K");

    im.Bemerkung = {"first", ""};
    EXPECT_EQ(Listed(print(PageName::Remarks)),
              "[first  [Bemerkung Zeile 1]|  [Bemerkung Zeile 2]]");

    // The relay, output and display pages.
    test::SetFields(im,
                    "Alm_User0 Param=0 Kind=1 Alm_User1 Param=17 Kind=2 Min=-5 Max=20 "
                    "Aus_User0 Param=0 Konstant=120 Aus_User1 Param=9 Min=0 Max=100 Err=3.6 "
                    "Dis_User Kind=1 First=17 CalcError=0 "
                    "Display Enable1=9 Enable2=0 Enable3=0 Enable4=8");
    EXPECT_EQ(Listed(print(PageName::Relays)),
              "[Limit relay 1: not monitored  [Alm_User0 Param 0..25]|"
              "  Maximum|"
              "Limit relay 2: Temperature difference 2-1  [Alm_User1 Param 0..25]|"
              "  Min. + max.  [Alm_User1 Kind 0..2]|"
              "  Minimum        -5.0000    K  [Alm_User1 Min]|"
              "  Maximum        20.0000    K  [Alm_User1 Max]]");
    page = print(PageName::Outputs);
    ASSERT_EQ(page.size(), 14u);
    EXPECT_EQ(page[0], "Analog output 1: Constant current  [Aus_User0 Param 0..17]");
    EXPECT_EQ(page[1], "  Fixed value    12.0000    mA  [Aus_User0 Konstant]");
    EXPECT_EQ(page[5], "  Error value     3.6000    mA  [Aus_User1 Err]");
    page = print(PageName::Display);
    ASSERT_GE(page.size(), 12u);
    EXPECT_EQ(Listed({page.begin(), page.begin() + 6}),
              "[Display: Temperature difference 2-1  [Dis_User First 0..25]|"
              "[x] Compact display  [Dis_User Kind 0..1]|"
              "[ ] Acknowledge calculation errors automatically  [Dis_User CalcError 0..1]|"
              "Device display pages|Circuit 1: 9  [Display Enable1]|  [x] Temperature (1)]");
    EXPECT_EQ(page.back(), "  [ ] Mass (64)");

    // Without circuit 2: one output, one display page, no compact display.
    im.System.Ausbaustufe = 0xC0;
    EXPECT_EQ(print(PageName::Outputs).size(), 2u);
    page = print(PageName::Display);
    EXPECT_EQ(page[1], "[ ] Compact display");
    EXPECT_EQ(page.size(), 12u);

    // Which page a section belongs to, before anything is read (EG_User:
    // that of the circuit the setting names).
    const std::vector<std::string> names = PageNames();
    // A key after the section where the page depends on it.
    const char* const where[][2] = {
        {"T_User1", "circuit 1"},        {"EG_User", "circuit 1"},
        {"des_user0", "circuit 0"},      {"UserEinheiten7", "units 0"},
        {"Dis_User", "display 0"},       {"Bemerkung", "remarks 0"},
        {"UserEinheiten8", "none"},      {"System", "system 0"},
        {"Vorgaben", "system 0"},        {"trend_user", "trend 0"},
        {"FlowKorr_2", "corrections 1"}, {"FlowKorr_3", "none"},
        {"Alm_User1", "relays 0"},       {"Alm_User2", "none"},
        {"aus_user3", "outputs 0"},      {"Aus_User4", "none"},
        {"Display", "display 0"},        {"Dis_User einheiten", "units 0"}};
    for (const auto& [setting, want] : where) {
        std::istringstream words(setting);
        std::string section, key = "Kind";
        words >> section >> key;
        const auto at = PageOfSetting({section, key, "1", 1});
        const auto index = at ? static_cast<std::size_t>(at->page) : 0;
        EXPECT_EQ(at ? names[index] + " " + std::to_string(at->circuit) : "none", want);
    }
    // Every page by its name, in any case; a name cut short is none.
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(ParsePageName(names[i]), static_cast<PageName>(i)) << names[i];
    }
    EXPECT_EQ(ParsePageName("DISPLAY"), PageName::Display);
    EXPECT_EQ(ParsePageName("unit"), std::nullopt);
}

// Each block read and a step, or written, a step and 50 ms.
std::string Frames(const char* each, std::initializer_list<const char*> blocks) {
    std::string out;
    for (const char* b : blocks)
        out += (out.empty() ? "" : ", ") + std::string(each).replace(2, 0, b);
    return out;
}

// A device with two circuits in use whose records name circuit 2, the
// difference and the sum everywhere a single-circuit definition forbids it.
constexpr const char* kTwoCircuits =
    "System Kind=0 Anzahl=0 T_User0 Kind=1 Eq=1 T_User1 Kind=1 Eq=1 "
    "P_User0 Kind=2 Eq=3 P_User1 Kind=1 Eq=1 Flow_User0 Kind=4 Flow_User1 Kind=3 "
    "Des_User0 Desdp=25 Desdp2=60 Desdp3=10 Desdp4=5 Imp_User1 Kind=2 Trend_User Param=1 "
    "Dis_User First=11 Aus_User0 Param=9 Aus_User1 Param=20 Aus_User2 Param=29 "
    "Aus_User3 Param=3 Alm_User0 Param=12 Alm_User1 Param=5";

TEST(SystemDefinition, SwitchToOneCircuitRewritesWhatDependsOnCircuit2) {
    EditRig rig;
    rig.store(kTwoCircuits);
    EXPECT_EQ(ChangeSystemDefinition(*rig.link, rig.image, 2), SystemChange::Switched);

    const std::string expected =
        "start 33, " +
        Frames("R , step", {"T_User0", "T_User1", "P_User0", "P_User1", "Flow_User0", "Flow_User1",
                            "Des_User0", "Imp_User1", "Trend_User", "Dis_User", "Aus_User0",
                            "Aus_User1", "Aus_User2", "Aus_User3", "Alm_User0", "Alm_User1"}) +
        ", " +
        Frames("W , step, wait 50",
               {"Aus_User0", "Aus_User1", "Aus_User2", "Aus_User3", "T_User0", "P_User0",
                "Flow_User0", "T_User1", "P_User1", "Flow_User1", "Des_User0", "Imp_User1",
                "Trend_User", "Dis_User", "Alm_User0", "Alm_User1", "System"}) +
        ", hide";
    EXPECT_EQ(Joined(rig.log), expected);

    // What the device holds now: circuit 1 takes over the sources of circuit
    // 2, difference and sum; the preferred value keeps its quantity.
    const char* const written =
        "System Kind=2 Anzahl=2 T_User0 Eq=0 P_User0 Eq=0 Flow_User0 Kind=1 "
        "Des_User0 Desdp=25 Desdp2=25 Desdp3=25 Desdp4=25 Imp_User1 Kind=0 Trend_User Param=0 "
        "Dis_User First=3 Aus_User0 Param=1 Aus_User1 Param=4 Aus_User2 Param=5 "
        "Aus_User3 Param=3 Alm_User0 Param=0 Alm_User1 Param=5 ";
    // Circuit 2's inputs are off in the image and on the device alike.
    const std::string unused = "T_User1 Kind=0 Eq=0 P_User1 Kind=0 Eq=0 Flow_User1 Kind=0";
    test::ExpectFields(rig.image, unused);
    rig.expectDevice(written + unused);
}

TEST(SystemDefinition, WhatEachChangeSends) {
    const struct {
        const char* setup;
        std::uint8_t kindMask;
        bool online;
        int choice;
        SystemChange result;
        std::uint8_t kindAfter;
        std::string log;
    } cases[] = {
        {"System Kind=1", 0x07, true, 3, SystemChange::SystemOnly, 4,
         Frames("W , step, wait 50", {"System"}) + ", hide"},
        {"System Kind=0", 0x07, true, 0, SystemChange::Stored, 0, ""},
        // A definition the device does not allow: nothing changes.
        {"System Kind=0", 0x03, true, 3, SystemChange::Refused, 0, ""},
        // Offline only the Kind is stored, whatever the mask.
        {"System Kind=0", 0x00, false, 2, SystemChange::Stored, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.setup) + " -> choice " + std::to_string(c.choice));
        EditRig rig;
        rig.store(c.setup);
        rig.image.System.KindMask = c.kindMask;
        const ParameterImage before = rig.image;
        if (!c.online) rig.goOffline();
        EXPECT_EQ(ChangeSystemDefinition(*rig.link, rig.image, c.choice), c.result);
        EXPECT_EQ(rig.image.System.Kind, c.kindAfter);
        EXPECT_EQ(Joined(rig.log), c.log);
        ParameterImage expected = before;
        expected.System = rig.image.System;
        EXPECT_EQ(rig.image, expected) << "only System may change";
        rig.expectDevice(c.log.empty() ? "" : "System Kind=4");
    }
}

TEST(SystemDefinition, DeviceThatStopsAnsweringEndsTheSwitch) {
    EditRig rig;
    rig.store(kTwoCircuits);
    rig.device.injectFault(sim::Fault::None, 5);
    rig.device.injectFault(sim::Fault::DropLine);
    EXPECT_EQ(ChangeSystemDefinition(*rig.link, rig.image, 2), SystemChange::NotSent);
    // The reads that failed left their records; nothing was mapped or
    // written, the definition stays, and the user is told why.
    EXPECT_EQ(
        std::tuple(rig.session.Online, rig.image.System.Kind, rig.device.framesServed(cmd::Write)),
        std::tuple(false, 0, 0u));
    test::ExpectFields(rig.image, "Aus_User0 Param=9");
    EXPECT_EQ(rig.log.back(), "not sent port-closed");

    // A device that answers every read but one: nothing is written either.
    EditRig again;
    again.store(kTwoCircuits);
    again.device.injectFault(sim::Fault::None, 9);
    again.device.injectFault(sim::Fault::BadChecksum, 4);
    EXPECT_EQ(ChangeSystemDefinition(*again.link, again.image, 2), SystemChange::NotSent);
    EXPECT_EQ(std::tuple(again.session.Online, again.image.System.Kind,
                         again.device.framesServed(cmd::Write)),
              std::tuple(true, 0, 0u));
}

TEST(SystemDefinition, SingleCircuitMappings) {
    // Before and after, with system kind 1.
    const std::pair<const char*, const char*> cases[] = {
        // Output sources: circuit 2, difference and sum to the circuit 1
        // quantity; codes of circuit 1 stay.
        {"Aus_User0 Param=17 Aus_User1 Param=10 Aus_User2 Param=11 Aus_User3 Param=28",
         "Aus_User0 Param=1 Aus_User1 Param=2 Aus_User2 Param=3 Aus_User3 Param=4"},
        {"Aus_User0 Param=18 Aus_User1 Param=19 Aus_User2 Param=21 Aus_User3 Param=0",
         "Aus_User0 Param=2 Aus_User1 Param=3 Aus_User2 Param=5 Aus_User3 Param=0"},
        {"Alm_User0 Param=7 Alm_User1 Param=8", "Alm_User0 Param=7 Alm_User1 Param=0"},
        {"Dis_User First=9", "Dis_User First=1"},
        {"Dis_User First=23", "Dis_User First=7"},
        {"Dis_User First=30", "Dis_User First=6"},
        {"Dis_User First=6 System Anzahl=3", "Dis_User First=6 System Anzahl=3"},
        {"Flow_User0 Kind=2", "Flow_User0 Kind=2"},
        // Measuring-range switching: each design differential pressure at
        // least the one before it.
        {"Des_User0 Desdp=25 Desdp2=60 Desdp3=10 Desdp4=5",
         "Des_User0 Desdp=25 Desdp2=60 Desdp3=60 Desdp4=60"},
        {"Des_User0 Desdp=25 Desdp2=10 Desdp3=30 Desdp4=80",
         "Des_User0 Desdp=25 Desdp2=25 Desdp3=30 Desdp4=80"},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before);
        ParameterImage image;
        test::SetFields(image, before);
        MapToSingleCircuit(image, 1);
        test::ExpectFields(image, after);
    }
}

TEST(SystemPage, LimitSchemesAndMeasuringUnits) {
    EditRig rig;
    ApplyLimitScheme(*rig.link, rig.image, 1);
    EXPECT_EQ(Joined(rig.log), test::TwoSteps("Grenzwerte"));
    rig.expectDevice("Grenzwerte U_Max=1.4125 U_Min=1.375 L_Max=0.24 L_Min=0.225");
    // The refill tells the schemes apart by U_Max alone.
    EXPECT_EQ(LimitSchemeOf(GrenzwerteRec{1.375f, 0, 0, 0}), 1);
    EXPECT_EQ(LimitSchemeOf(GrenzwerteRec{1.374f, 0, 0, 0}), 0);

    rig.mark();
    SetMeasuringUnits(*rig.link, rig.image, 2);
    EXPECT_EQ(Joined(rig.log), test::TwoSteps("System"));
    rig.expectDevice("System Anzahl=4");
    for (const auto& [anzahl, choice] : {std::pair{2, 0}, {4, 2}}) {
        EXPECT_EQ(MeasuringUnitsChoice(SystemRec{0, static_cast<std::uint8_t>(anzahl)}), choice);
    }
    EXPECT_FALSE(MeasuringUnitsChoice(SystemRec{0, 5}));
    EXPECT_FALSE(MeasuringUnitsChoice(SystemRec{0, 1}));

    // Filling the page reads them back, and the presets.
    rig.device.poke(block::Vorgaben(7).address, codec::EncodeVorgabe(5));
    rig.image = ParameterImage{};
    rig.log.clear();
    ReadSystemPage(*rig.link, rig.image);
    EXPECT_EQ(Joined(rig.log),
              "start 3, R System, step, R Grenzwerte, step, R Vorgabe1, R Vorgabe2, R Vorgabe3, "
              "R Vorgabe4, R Vorgabe5, R Vorgabe6, R Vorgabe7, R Vorgabe8, step, wait 100, hide");
    EXPECT_EQ(rig.image.Vorgaben[7], 5);
    EXPECT_EQ(LimitSchemeOf(rig.image.Grenzwerte), 1);
}

TEST(SystemPage, PresetsAreWrittenOnlyWhenTheyChange) {
    EditRig rig;
    rig.store("Vorgaben Vorgabe3=250");
    // The same value again sends nothing: PageCommands.SystemTrendAndCorrectionSettings.
    EXPECT_TRUE(SetPreset(*rig.link, rig.image, 2, 300));
    EXPECT_EQ(Joined(rig.log), "W Vorgabe3, wait 50");
    EXPECT_TRUE(PresetsInUse(rig.image));

    rig.log.clear();
    ClearPresets(*rig.link, rig.image);
    EXPECT_EQ(rig.device.framesServed(cmd::Write), 9u);
    EXPECT_FALSE(PresetsInUse(rig.image));
    rig.image.Vorgaben[7] = -1;
    EXPECT_FALSE(PresetsInUse(rig.image)) << "presets at or below 0 are not in use";

    // The dialog's limits: temperatures in kelvin, flows by variant.
    EXPECT_EQ(PresetLimitsOf(4, medium::Gas).quantity, quantity::TemperatureDifference);
    EXPECT_EQ(PresetLimitsOf(2, medium::Gas).max, 1e7f);
    EXPECT_EQ(PresetLimitsOf(6, medium::Energy).max, 1e8f);
    EXPECT_EQ(PresetLimitsOf(7, medium::Energy).quantity, quantity::MassFlow);
}

TEST(TrendAndCorrectionPages, IntervalsSourcesAndFactors) {
    using K = IntervalShown::Kind;
    for (const auto& [time, shown] : {std::pair<int, IntervalShown>{1, {K::Select, 0}},
                                      {60, {K::Select, 11}},
                                      {0, {K::Clear, -1}},
                                      {100, {K::Clear, -1}},
                                      {7, {K::Keep, -1}},
                                      {255, {K::Keep, -1}}}) {
        EXPECT_EQ(IntervalChoiceOf(static_cast<std::uint8_t>(time)), shown) << time;
    }

    EditRig rig;
    SetTrendInterval(*rig.link, rig.image, 8);
    EXPECT_EQ(Joined(rig.log), test::TwoSteps("Trend_User"));
    rig.expectDevice("Trend_User Time=15");

    // Without circuit 2 only circuit 1 can be recorded.
    rig.image.System.Kind = 1;
    EXPECT_EQ(SetTrendSource(*rig.link, rig.image, 1), 0);
    rig.image.System.Kind = 0;
    EXPECT_EQ(SetTrendSource(*rig.link, rig.image, 1), 1);
    rig.expectDevice("Trend_User Time=15 Param=1");

    // Correction factors are written without a read-back.
    rig.mark();
    SetCorrectionFactor(*rig.link, rig.image, 1, 7, 1.25f);
    EXPECT_EQ(Joined(rig.log), "W FlowKorr_2, wait 50");
    rig.expectDevice("FlowKorr_2 Stelle7=1.25");

    rig.log.clear();
    ReadCorrectionPage(*rig.link, rig.image);
    EXPECT_EQ(Joined(rig.log), "start 2, R FlowKorr_1, step, R FlowKorr_2, step, hide");
    rig.goOffline();
    rig.log.clear();
    SetCorrectionFactor(*rig.link, rig.image, 0, 0, 2);
    EXPECT_EQ(Joined(rig.log), "");
    EXPECT_EQ(rig.image.FlowKorr[0].Stelle[0], 2);
}

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

TEST(RelayOutputDisplay, ChangesFollowTheirRulesAndAreWrittenBackInTheDevicesOrder) {
    using Change = std::function<void(EditRig&)>;
    // What a case shows, the fields of the image and the device alike, the
    // change, the log, and the fields of the device's memory afterwards.
    using Case = std::tuple<const char*, const char*, Change, std::string, const char*>;
    const auto alarmLine = [](int a, std::size_t row, float v) -> Change {
        return [=](EditRig& r) {
            const auto lines = AlarmLines(r.image, r.session.Medium, a);
            ASSERT_LT(row, lines.size());
            ApplyAlarmValue(*r.link, r.image, a, lines[row], v);
        };
    };
    const auto outputLine = [](int k, std::size_t row, float v) -> Change {
        return [=](EditRig& r) {
            const auto lines = OutputLines(r.image, r.session.Medium, k);
            ASSERT_LT(row, lines.size());
            ApplyOutputValue(*r.link, r.image, k, lines[row], v);
        };
    };
    const auto output = [](int k, int index) -> Change {
        return [=](EditRig& r) { ChooseOutputSource(*r.link, r.image, k, index); };
    };
    // The box of circuit 2's temperature (Chk_T2) ticked.
    const auto boxT2 = [](bool compact) -> Change {
        return [=](EditRig& r) {
            DisplayBoxes boxes = BoxesOf(r.image.Display);
            boxes[1][0] = true;
            SetDisplayBoxes(*r.link, r.image, boxes, compact);
        };
    };
    const Case cases[] = {
        {"alarm choice 15 is the temperature difference", "Alm_User0 Param=1",
         [](EditRig& r) { EXPECT_EQ(ChooseAlarmSource(*r.link, r.image, 0, 15), 15); },
         TwoSteps("Alm_User0"), "Alm_User0 Param=17"},
        {"without circuit 2 the stored source stays and is written again",
         "Level=192 Alm_User1 Param=3",
         [](EditRig& r) { EXPECT_EQ(ChooseAlarmSource(*r.link, r.image, 1, 10), 3); },
         TwoSteps("Alm_User1"), "Alm_User1 Param=3"},
        {"alarm kind", "Alm_User1 Param=2 Kind=0",
         [](EditRig& r) { ChooseAlarmKind(*r.link, r.image, 1, 2); }, TwoSteps("Alm_User1"),
         "Alm_User1 Kind=2"},
        {"alarm Min pulls Max up", "Alm_User0 Param=1 Kind=2 Min=0 Max=20", alarmLine(0, 0, 50),
         TwoSteps("Alm_User0"), "Alm_User0 Min=50 Max=50"},
        {"alarm Max pulls Min down", "Alm_User0 Param=1 Kind=1 Min=30 Max=40", alarmLine(0, 0, 10),
         TwoSteps("Alm_User0"), "Alm_User0 Min=10 Max=10"},
        {"output choice 6 is circuit 2 temperature", "Aus_User2 Param=1 Min=-100 Max=200",
         [](EditRig& r) { EXPECT_EQ(ChooseOutputSource(*r.link, r.image, 2, 6), 6); },
         TwoSteps("Aus_User2"), "Aus_User2 Param=9 Min=-100 Max=200"},
        {"without circuit 2 it falls back to circuit 1 temperature", "Level=254 Aus_User0 Param=2",
         [](EditRig& r) { EXPECT_EQ(ChooseOutputSource(*r.link, r.image, 0, 6), 1); },
         TwoSteps("Aus_User0"), "Aus_User0 Param=1"},
        {"online the limits are brought into the new source's range",
         "Aus_User1 Param=4 Min=-500 Max=90000", output(1, 1), TwoSteps("Aus_User1"),
         "Aus_User1 Param=1 Min=-273.15 Max=1500"},
        {"constant current below 1 mA", "Aus_User0 Param=3 Konstant=5 Min=0 Max=100", output(0, 0),
         TwoSteps("Aus_User0"), "Aus_User0 Param=0 Konstant=5 Min=10 Max=100"},
        {"constant current above 23 mA", "Aus_User0 Param=3 Konstant=240 Min=0 Max=100",
         output(0, 0), TwoSteps("Aus_User0"), "Aus_User0 Param=0 Konstant=240 Min=0 Max=230"},
        {"constant 12.36 mA rounds to 124", "Aus_User3 Param=0 Konstant=40",
         outputLine(3, 0, 12.36f), TwoSteps("Aus_User3"), "Aus_User3 Konstant=124"},
        {"output Max pulls Min down", "Aus_User1 Param=2 Min=500 Max=1000", outputLine(1, 1, 100),
         TwoSteps("Aus_User1"), "Aus_User1 Min=100 Max=100"},
        {"error current", "Aus_User1 Param=2 Err=3.5", outputLine(1, 2, 21.5f),
         TwoSteps("Aus_User1"), "Aus_User1 Err=21.5"},
        {"preferred value", "Dis_User First=0",
         [](EditRig& r) { EXPECT_EQ(ChoosePreferredValue(*r.link, r.image, 25), 25); },
         TwoSteps("Dis_User"), "Dis_User First=31"},
        {"without circuit 2 the preferred value goes back to none", "Level=192 Dis_User First=3",
         [](EditRig& r) { EXPECT_EQ(ChoosePreferredValue(*r.link, r.image, 9), 0); },
         TwoSteps("Dis_User"), "Dis_User First=0"},
        {"calculation errors", "Dis_User CalcError=1",
         [](EditRig& r) { SetCalcErrorAcknowledge(*r.link, r.image, false); }, test::kDisUserSteps,
         "Dis_User CalcError=0"},
        {"a display box: Display alone, no read-back, no progress",
         "Display Enable1=1 Enable2=0 Enable3=0 Enable4=0", boxT2(false), "W Display",
         "Display Enable1=1 Enable2=1"},
        {"compact display: circuit 2 temperature also sets bit 0 of Enable1",
         "Display Enable1=2 Enable2=0 Enable3=0 Enable4=0", boxT2(true), "W Display",
         "Display Enable1=3 Enable2=1"},
        {"the relay page's reads", "", [](EditRig& r) { ReadRelayPage(*r.link, r.image); },
         "start 2, R Alm_User0, step, R Alm_User1, step, hide", ""},
        {"the output page's reads", "", [](EditRig& r) { ReadOutputPage(*r.link, r.image); },
         "start 4, R Aus_User0, step, R Aus_User1, step, R Aus_User2, step, R Aus_User3, step, "
         "hide",
         ""},
    };
    for (const auto& [what, setup, change, log, device] : cases) {
        SCOPED_TRACE(what);
        EditRig rig;
        Store(rig, setup);
        change(rig);
        EXPECT_EQ(test::Joined(rig.log), log);
        rig.expectDevice(device);
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
    test::ExpectFields(rig.image,
                       "Alm_User0 Param=17 Min=5 Aus_User0 Param=1 Min=-500 Max=90000 Dis_User "
                       "Kind=1 First=3 Display Enable1=3");
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
    // The boxes as bytes, compact or not, and the bytes written.
    const std::tuple<DisplayRec, bool, DisplayRec> cases[] = {
        {{0x05, 0x12, 0x7F, 0x78}, false, {0x05, 0x12, 0x7F, 0x78}},
        {{0x05, 0x12, 0x00, 0x00}, true, {0x17, 0x12, 0x00, 0x00}},
        {{0x00, 0x01, 0x00, 0x00}, true, {0x01, 0x01, 0x00, 0x00}},
        // A byte's eighth bit has no box.
        {{0xFF, 0x80, 0x00, 0x00}, true, {0x7F, 0x00, 0x00, 0x00}},
    };
    for (const auto& [boxes, compact, want] : cases) {
        EXPECT_EQ(DisplayOfBoxes(BoxesOf(boxes), compact), want)
            << int(boxes.Enable1) << " " << int(boxes.Enable2);
    }
    EXPECT_FALSE(DisplayValueShown(3, 2));
    EXPECT_TRUE(DisplayValueShown(3, 3));
    EXPECT_TRUE(DisplayValueShown(2, 0));
}

TEST(RelayOutputDisplay, FillingTheDisplayPageNeverWritesDisplay) {
    // The device, the boxes shown, the result, and the log after the reads.
    const std::string& click = test::kDisUserSteps;
    const std::tuple<const char*, DisplayChecks, DisplayChecks, std::string> cases[] = {
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
    for (const auto& [device, shown, result, log] : cases) {
        SCOPED_TRACE(device);
        EditRig rig;
        Store(rig, device);
        EXPECT_EQ(FillDisplayPage(*rig.link, rig.image, shown), result);
        EXPECT_EQ(test::Joined(rig.log), "start 16, R Dis_User, step, R Display, step, " + log);
        rig.expectDevice("");
    }
}

TEST(RelayOutputDisplaySettings, SettingsAreTakenAsThePagesTakeThem) {
    EditRig rig;
    rig.store(
        "Alm_User0 Param=1 Kind=0 Min=0 Max=0 Aus_User0 Param=0 Konstant=40 "
        "Dis_User Kind=0 Display Enable1=1 Enable2=0 Enable3=0 Enable4=0");
    // The setting, its page, the fields the device holds afterwards, the notes.
    const std::tuple<Setting, PageName, const char*, const char*> cases[] = {
        // The choice index, as the page takes it: 15 is code 17.
        {{"Alm_User0", "Param", "15"}, PageName::Relays, "Alm_User0 Param=17", "[]"},
        {{"alm_user0", "kind", "2"}, PageName::Relays, "Alm_User0 Kind=2", "[]"},
        {{"Alm_User0", "Min", "-2000"},
         PageName::Relays,
         "Alm_User0 Min=-1273.15",
         "[-2000 is below the lower limit; -1273.15 taken]"},
        // mA, as the output dialog takes it.
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
        // Still the units page's switch.
        {{"Dis_User", "Einheiten", "1"}, PageName::Units, "Dis_User Einheiten=1", "[]"},
    };
    for (const auto& [setting, page, stored, notes] : cases) {
        SCOPED_TRACE(setting.section + " " + setting.key + " " + setting.value);
        rig.mark();
        const SettingOutcome out = rig.apply(setting);
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, page);
        rig.expectDevice(stored);
        EXPECT_EQ(Listed(out.notes), notes);
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

std::vector<int> Codes(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> codes;
    for (auto [from, to] : ranges) {
        for (int c = from; c <= to; ++c) codes.push_back(c);
    }
    return codes;
}

TEST(SourceCodes, EveryChoiceHasItsCodeAndEveryCodeItsChoice) {
    const std::vector<int> alarms = Codes({{0, 7}, {9, 15}, {17, 23}, {28, 31}});
    const std::vector<int> outputs = Codes({{0, 5}, {9, 13}, {17, 21}, {28, 29}});
    const std::pair<SourceUse, const std::vector<int>*> uses[] = {{SourceUse::Alarm, &alarms},
                                                                  {SourceUse::Preferred, &alarms},
                                                                  {SourceUse::Output, &outputs}};
    for (const auto& [use, codes] : uses) {
        SCOPED_TRACE(static_cast<int>(use));
        ASSERT_EQ(SourceChoiceCount(use), static_cast<int>(codes->size()));
        for (int i = 0; i < SourceChoiceCount(use); ++i) {
            const int code = (*codes)[static_cast<std::size_t>(i)];
            EXPECT_EQ(SourceCode(use, i), code) << "choice " << i;
            EXPECT_EQ(SourceIndex(use, static_cast<std::uint8_t>(code)), i) << "code " << code;
        }
        for (int code = 0; code < 256; ++code) {
            const bool listed = std::find(codes->begin(), codes->end(), code) != codes->end();
            EXPECT_EQ(ValidSourceCode(use, static_cast<std::uint8_t>(code)), listed) << code;
        }
    }
    // Codes outside the lists: the alarms and the preferred value part at 16.
    EXPECT_EQ(SourceIndex(SourceUse::Alarm, 16), 14);
    EXPECT_EQ(SourceIndex(SourceUse::Preferred, 16), 15);
    EXPECT_FALSE(NeedsCircuit2(7));
    EXPECT_TRUE(NeedsCircuit2(9));
}

TEST(SourceCodes, TheQuantityFollowsTheCode) {
    // Per code 0..31: alarms, then outputs where they differ (the other codes
    // are mass for alarms, mA for outputs).
    const int t = 0, p = 1, r = 2, f = 3, m = 4, tot = 5, mass = 6, dt = 13, mA = 15;
    const int alarm[32] = {mass, t,    p,    r,    f, m, tot, mass,   // circuit 1
                           mass, t,    p,    r,    f, m, tot, mass,   // circuit 2
                           mass, dt,   p,    r,    f, m, tot, mass,   // difference
                           mass, mass, mass, mass, f, m, tot, mass};  // sum
    for (int code = 0; code < 32; ++code) {
        const int a = alarm[code];
        EXPECT_EQ(SourceQuantity(SourceUse::Alarm, static_cast<std::uint8_t>(code)), a) << code;
        EXPECT_EQ(SourceQuantity(SourceUse::Output, static_cast<std::uint8_t>(code)),
                  a == mass ? mA : a)
            << code;
    }
    EXPECT_EQ(SourceQuantity(SourceUse::Alarm, 200), mass);
    EXPECT_EQ(SourceQuantity(SourceUse::Output, 200), mA);
}

TEST(SourceCodes, LimitsByCodeAndVariant) {
    const int gas = medium::Gas, energy = medium::Energy;
    const std::tuple<const char*, ValueLimits, ValueLimits> cases[] = {
        {"alarm temperature 2", AlarmLimits(gas, 9), {-273.15f, 1500}},
        {"alarm temperature difference", AlarmLimits(gas, 17), {-1273.15f, 1273.15f}},
        {"alarm pressure difference", AlarmLimits(gas, 18), {-1e5f, 1e5f}},
        {"alarm density", AlarmLimits(gas, 3), {0.08f, 5000}},
        {"alarm standard flow gas", AlarmLimits(gas, 4), {0, 1e7f}},
        {"alarm power difference energy", AlarmLimits(energy, 20), {-1e8f, 1e8f}},
        {"alarm power sum energy", AlarmLimits(energy, 28), {0, 2e8f}},
        {"alarm mass flow sum", AlarmLimits(gas, 29), {0, 2e8f}},
        {"alarm total difference", AlarmLimits(gas, 22), {-1e9f, 1e9f}},
        {"alarm total mass", AlarmLimits(gas, 15), {0, 1e9f}},
        {"output power energy", OutputLimits(energy, 12), {-1e8f, 1e8f}},
        {"output power sum energy", OutputLimits(energy, 28), {-2e8f, 2e8f}},
        {"output flow gas", OutputLimits(gas, 4), {0, 1e7f}},
        {"output flow sum gas", OutputLimits(gas, 28), {0, 2e7f}},
        {"output density difference", OutputLimits(energy, 19), {-5000, 5000}},
        {"output temperature difference", OutputLimits(gas, 17), {-1273.15f, 1273.15f}},
    };
    for (const auto& [what, limits, want] : cases) {
        EXPECT_EQ(std::pair(limits.min, limits.max), std::pair(want.min, want.max)) << what;
    }

    // The range an output's limits are brought into when its source changes.
    // Variant, source code, whether a range applies, and the range.
    const std::tuple<int, std::uint8_t, bool, float, float> ranges[] = {
        {gas, 1, true, -273.15f, 1500}, {gas, 17, true, 0, 1273.15f},
        {gas, 18, true, 0, 1e5f},       {gas, 11, true, 0.08f, 5000},
        {gas, 28, true, 0, 1e7f},       {energy, 4, true, -1e7f, 1e7f},
        {energy, 29, true, 0, 1e8f},    {gas, 0, false, 0, 0},
    };
    for (const auto& [med, code, applies, min, max] : ranges) {
        const OutputRange got = OutputSourceRange(med, code);
        EXPECT_EQ(std::tuple(got.applies, got.min, got.max), std::tuple(applies, min, max))
            << int(code);
    }
}

}  // namespace
}  // namespace parvion::edit
