// Settings named as in the parameter file, applied through the page rules,
// and the pages printed as text: refusals that change and send nothing,
// the dialog's clamping with its notes, remark lines, and the printouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/edit/field_ref.h"
#include "core/edit/page_commands.h"
#include "core/edit/remarks.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::FieldValues;
using test::Listed;
using Status = SettingOutcome::Status;

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
        {{"T_User0", "Max", "INF"}, Status::NotANumber, "not a number", "[]"},
        // Numbers a device float cannot hold are refused, not clamped.
        {{"T_User0", "Max", "1e300"}, Status::NotANumber, "not a number the device can hold", "[]"},
        {{"T_User0", "Min", "-1e300"}, Status::NotANumber, "not a number the device can", "[]"},
        {{"T_User0", "Min", "NAN"}, Status::NotANumber, "not a number the device can", "[]"},
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
    struct Case {
        Setting setting;
        const char* stored;
        const char* notes;
    };
    const Case cases[] = {
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
        {{"T_User0", "Min", "1E30"},
         "T_User0 Min=1500",
         "[1E30 is above the upper limit; 1500 taken]"},
        {{"Flow_User1", "MaxFreq", "12.7"},
         "Flow_User1 MaxFreq=12",
         "[MaxFreq keeps the whole-number part: 12]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting.section + " " + c.setting.key + " " + c.setting.value);
        const SettingOutcome out =
            ApplySetting(*rig.link, rig.image, c.setting, test::PageTextsOf(rig));
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, PageName::Circuit);
        EXPECT_EQ(out.circuit, c.setting.section.back() - '0');
        EXPECT_EQ(FieldValues(rig.image, c.stored), c.stored);
        EXPECT_EQ(Listed(out.notes), c.notes);
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
        const SettingOutcome out = ApplySetting(*rig.link, rig.image, s, test::PageTextsOf(rig));
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
    EXPECT_EQ(rig.image.FlowKorr[1].Stelle[0], 10.0f);
    EXPECT_EQ(rig.image.Grenzwerte.U_Max, 1.4125f);
    EXPECT_EQ(rig.image.System.Kind, 4);
    EXPECT_EQ(rig.image.System.Faktor, 0.95f);
    EXPECT_EQ(rig.image.Trend_User.Time, 15);
    EXPECT_TRUE(rig.log.empty()) << test::Joined(rig.log);

    // A preset the device holds already is not sent again.
    EditRig online;
    online.store("");
    ASSERT_TRUE(ApplySetting(*online.link, online.image, {"Vorgaben", "Vorgabe3", "250"},
                             test::PageTextsOf(online))
                    .ok());
    EXPECT_EQ(online.device.framesServed(cmd::Write), 1u);
    const SettingOutcome again = ApplySetting(
        *online.link, online.image, {"Vorgaben", "Vorgabe3", "250"}, test::PageTextsOf(online));
    EXPECT_EQ(Listed(again.notes), "[the preset already holds 250; nothing sent]");
    EXPECT_EQ(online.device.framesServed(cmd::Write), 1u);
}

TEST(PageCommands, ChoicesAndTheGasInputSetOfTheCircuitNamed) {
    EditRig rig;
    auto apply = [&](Setting s) {
        const SettingOutcome out = ApplySetting(*rig.link, rig.image, s, test::PageTextsOf(rig));
        EXPECT_TRUE(out.ok()) << out.message;
        return out;
    };
    apply({"Med_User1", "Kind", "6"});
    // The input set counts for the page of circuit 2: its Ready goes.
    EXPECT_EQ(apply({"EG_User", "CO2", "2.5", 1}).circuit, 1);
    apply({"Dis_User", "Einheiten", "1"});
    EXPECT_EQ(apply({"UserEinheiten4", "Kind", "11"}).page, PageName::Units);
    const char* device =
        "Med_User0 Ready=1 Med_User1 Kind=6 Ready=0 EG_User CO2=2.5 Dis_User Einheiten=1 "
        "UserEinheiten4 Kind=11";
    rig.expectDevice(device);

    const SettingOutcome bad =
        ApplySetting(*rig.link, rig.image, {"UserEinheiten0", "Kind", "3"}, test::PageTextsOf(rig));
    EXPECT_EQ(bad.status, Status::BadChoice);
    EXPECT_EQ(Listed(bad.valid), "[0 °C|1 °F|2 K]");
}

TEST(PageCommands, RemarkLinesOfAFile) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    im.Bemerkung = {"Pump station 7"};
    auto set = [&](const std::string& key, const std::string& text) {
        return ApplySetting(*rig.link, im, {"Bemerkung", key, text}, test::PageTextsOf(rig));
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
    // A line that would read back as the end of the remarks is refused.
    const ParameterImage before = im;
    for (const char* end : {"@", " @ ", "\"@\"", "'@'", "x\n@"}) {
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
        return PrintPage(page, im, medium::Gas, 0, test::PageTextsOf(rig));
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
    EXPECT_EQ(ParsePageName("Relays"), PageName::Relays);
    EXPECT_EQ(ParsePageName("outputs"), PageName::Outputs);
    EXPECT_EQ(ParsePageName("DISPLAY"), PageName::Display);
    EXPECT_EQ(ParsePageName("Units"), PageName::Units);
    EXPECT_EQ(ParsePageName("unit"), std::nullopt);
}

}  // namespace
}  // namespace parvion::edit
