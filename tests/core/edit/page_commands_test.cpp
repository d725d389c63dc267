// Settings named as in the parameter file, applied through the page rules,
// and the pages printed as text: refusals that change and send nothing,
// the dialog's clamping with its notes, remark lines, and the printouts.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/edit/field_ref.h"
#include "core/edit/page_commands.h"
#include "core/edit/remarks.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using Status = SettingOutcome::Status;

PageTexts Texts(EditRig& rig) {
    return {rig.blocks, [&rig](std::uint16_t n) { return rig.texts.LoadText(n); }, rig.format};
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

struct RefusedCase {
    Setting setting;
    Status status;
    std::string message;             // part of the message
    std::vector<std::string> valid;  // exactly, or
    std::string validHas;            // one that must be among them
};

TEST(PageCommands, RefusedSettingsChangeAndSendNothing) {
    EditRig rig;  // gas device: temperature and pressure kind 1, flow kind 4 on circuit 1
    rig.image.System.Kind = 1;  // one circuit
    const std::vector<RefusedCase> cases = {
        {{"T_User0", "Konst", "5"},
         Status::Unknown,
         "\"T_User0 Konst\" is not a setting of the circuit 1 page",
         {"T_User0 Kind", "T_User0 Min", "T_User0 Max"},
         {}},
        {{"T_User0", "Max", "abc"}, Status::NotANumber, "\"abc\" is not a number", {}, {}},
        {{"T_User0", "Max", "12abc"}, Status::NotANumber, "not a number", {}, {}},
        {{"T_User0", "Max", ""}, Status::NotANumber, "not a number", {}, {}},
        {{"T_User0", "Max", "INF"}, Status::NotANumber, "not a number", {}, {}},
        {{"Flow_User0", "Kind", "6"},
         Status::BadChoice,
         "no choice 6",
         {"0 No flow input", "1 Differential pressure, linear",
          "2 Differential pressure, square-rooted", "3 Mass flow 4-20 mA", "4 Volume flow 4-20 mA",
          "5 Pulse input"},
         {}},
        {{"Flow_User0", "Kind", "1.5"}, Status::NotANumber, "choice index", {}, {}},
        {{"Imp_User0", "Kind", "3"}, Status::BadChoice, "no choice 3", {}, "2 Mass"},
        {{"Des_User0", "DesQN", "5"}, Status::Unknown, "Des_User0 DesQN", {}, "Flow_User0 TKK"},
        {{"EG_User", "Ho", "11"}, Status::Unknown, "EG_User Ho", {}, "Med_User0 Kind"},
        {{"Foo", "Max", "1"}, Status::Unknown, "no section \"Foo\"", {}, "Dis_User"},
        {{"UserEinheiten9", "Kind", "0"}, Status::Unknown, "no section", {}, "T_User0"},
        {{"Dis_User", "Kind", "1"}, Status::Unknown, "Dis_User Kind", {"Dis_User Einheiten"}, {}},
        {{"Dis_User", "Einheiten", "2"}, Status::BadChoice, "no choice 2", {"0 off", "1 on"}, {}},
        {{"UserEinheiten0", "Kind", "1"},
         Status::Refused,
         "only while the user units are on",
         {"Dis_User Einheiten"},
         {}},
        {{"T_User1", "Max", "5"}, Status::Refused, "circuit 2 is not available", {}, {}},
        {{"EG_User", "Ho", "11", 1}, Status::Refused, "circuit 2 is not available", {}, {}},
        {{"Bemerkung", "Zeile 1", "x"}, Status::Refused, "only in parameter files", {}, {}},
    };
    const ParameterImage before = rig.image;
    const auto served = rig.device.framesServed();
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.setting.section + " " + c.setting.key + " " + c.setting.value);
        const SettingOutcome out = ApplySetting(*rig.link, rig.image, c.setting, Texts(rig));
        EXPECT_EQ(out.status, c.status);
        EXPECT_NE(out.message.find(c.message), std::string::npos) << out.message;
        if (!c.valid.empty()) {
            EXPECT_EQ(out.valid, c.valid);
        }
        if (!c.validHas.empty()) {
            EXPECT_TRUE(Has(out.valid, c.validHas)) << c.validHas;
        }
        EXPECT_EQ(rig.image, before);
    }
    EXPECT_EQ(rig.device.framesServed(), served);
    EXPECT_TRUE(rig.log.empty());
}

TEST(PageCommands, ValuesAreTakenAsTheDialogTakesThemInTheBaseUnit) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    im.Dis_User.Einheiten = 1;
    im.UserEinheiten[0].Kind = 1;  // °F on the pages: the setting stays in °C
    im.Flow_User[1].Kind = 5;
    struct Case {
        Setting setting;
        FieldRef field;
        float stored;
        std::string note;  // empty: none
    };
    const std::vector<Case> cases = {
        {{"T_User0", "Max", "120"}, {Record::T_User, "Max", 0}, 120, ""},
        {{"t_user0", "max", " 1,5 "}, {Record::T_User, "Max", 0}, 1.5f, ""},
        {{"T_User0", "Max", "2000"},
         {Record::T_User, "Max", 0},
         1500,
         "2000 is above the upper limit; 1500 taken"},
        {{"T_User0", "Min", "-300"},
         {Record::T_User, "Min", 0},
         -273.15f,
         "-300 is below the lower limit; -273.15 taken"},
        {{"T_User0", "Min", "1E-10"}, {Record::T_User, "Min", 0}, 0, "1E-10 is taken as 0"},
        {{"T_User0", "Min", "1E99"}, {Record::T_User, "Min", 0}, 1500, "above the upper limit"},
        {{"P_User0", "Hyd", "80"}, {Record::P_User, "Hyd", 0}, 90, "below the lower limit; 90"},
        {{"Flow_User1", "MaxFreq", "12.7"},
         {Record::Flow_User, "MaxFreq", 1},
         12,
         "MaxFreq keeps the whole-number part: 12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting.section + " " + c.setting.key + " " + c.setting.value);
        const SettingOutcome out = ApplySetting(*rig.link, im, c.setting, Texts(rig));
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, PageName::Circuit);
        EXPECT_EQ(out.circuit, c.field.circuit);
        EXPECT_EQ(GetField(im, c.field), c.stored);
        if (c.note.empty()) {
            EXPECT_TRUE(out.notes.empty()) << out.notes.front();
        } else {
            ASSERT_EQ(out.notes.size(), 1u);
            EXPECT_NE(out.notes[0].find(c.note), std::string::npos) << out.notes[0];
        }
    }
}

TEST(PageCommands, ChoicesAndTheGasInputSetOfTheCircuitNamed) {
    EditRig rig;
    ParameterImage& im = rig.image;
    const PageTexts texts = Texts(rig);
    auto apply = [&](Setting s) {
        const SettingOutcome out = ApplySetting(*rig.link, im, s, texts);
        EXPECT_TRUE(out.ok()) << out.message;
        return out;
    };
    apply({"Med_User1", "Kind", "6"});
    EXPECT_EQ(rig.deviceRecord<Med_UserRec>(block::Med_User(1)).Kind, 6);
    // The input set counts for the page of circuit 2: its Ready goes.
    const SettingOutcome out = apply({"EG_User", "CO2", "2.5", 1});
    EXPECT_EQ(out.circuit, 1);
    EXPECT_EQ(rig.deviceRecord<EG_UserRec>(block::EG_User).CO2, 2.5f);
    EXPECT_EQ(rig.deviceRecord<Med_UserRec>(block::Med_User(1)).Ready, 0);
    EXPECT_EQ(rig.deviceRecord<Med_UserRec>(block::Med_User(0)).Ready, 1);

    apply({"Dis_User", "Einheiten", "1"});
    EXPECT_EQ(rig.deviceRecord<Dis_UserRec>(block::Dis_User).Einheiten, 1);
    EXPECT_EQ(apply({"UserEinheiten4", "Kind", "11"}).page, PageName::Units);
    EXPECT_EQ(rig.deviceRecord<UserEinheitRec>(block::UserEinheiten(4)).Kind, 11);
    const SettingOutcome bad = ApplySetting(*rig.link, im, {"UserEinheiten0", "Kind", "3"}, texts);
    EXPECT_EQ(bad.status, Status::BadChoice);
    EXPECT_EQ(bad.valid, (std::vector<std::string>{"0 °C", "1 °F", "2 K"}));
}

TEST(PageCommands, RemarkLinesOfAFile) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    im.Bemerkung = {"Pump station 7"};
    auto set = [&](const std::string& key, const std::string& text) {
        return ApplySetting(*rig.link, im, {"Bemerkung", key, text}, Texts(rig));
    };
    EXPECT_EQ(set("Zeile 2", "north side").page, PageName::Remarks);
    EXPECT_TRUE(set("zeile 1", "Pump station 8").ok());
    EXPECT_EQ(im.Bemerkung, (std::vector<std::string>{"Pump station 8", "north side"}));
    // A line break makes further lines, as in the page's memo.
    EXPECT_TRUE(set("Zeile 2", "north\r\nside").ok());
    EXPECT_EQ(im.Bemerkung, (std::vector<std::string>{"Pump station 8", "north", "side"}));
    const SettingOutcome gap = set("Zeile 5", "x");
    EXPECT_EQ(gap.status, Status::Unknown);
    EXPECT_EQ(gap.valid.back(), "Bemerkung Zeile 4");
    EXPECT_EQ(set("Zeile", "x").status, Status::Unknown);

    struct Split {
        std::string text;
        std::vector<std::string> lines;
    };
    for (const Split& s : std::vector<Split>{{"", {}},
                                             {"a", {"a"}},
                                             {"a\r\nb", {"a", "b"}},
                                             {"a\n", {"a", ""}},
                                             {"\n\n", {"", "", ""}},
                                             {"a\rb", {"a\rb"}}}) {
        EXPECT_EQ(SplitRemarks(s.text), s.lines) << s.text;
        if (s.text.find('\r') == std::string::npos) {
            EXPECT_EQ(JoinRemarks(s.lines), s.text);
        }
    }
}

TEST(PageCommands, PagesPrintTheirLinesWithTheSettingThatChangesThem) {
    EditRig rig;  // gas, English; System kind 4 hides the reference values
    ParameterImage& im = rig.image;
    const PageTexts texts = Texts(rig);
    std::vector<std::string> page = PrintPage(PageName::Circuit, im, medium::Gas, 0, texts);
    ASSERT_GE(page.size(), 4u);
    EXPECT_EQ(page[0], "Temperature: Current input 4-20 mA  [T_User0 Kind 0..3]");
    EXPECT_EQ(page[2], "  Value at 20 mA      60.0000    °C  [T_User0 Max]");
    EXPECT_FALSE(Has(page, "Standard conditions"));

    im.System.Kind = 0;
    im.Med_User[0] = {0, '2', 1, 6};
    im.Imp_User[0].Kind = 3;
    page = PrintPage(PageName::Circuit, im, medium::Gas, 0, texts);
    EXPECT_TRUE(Has(page, "  ISO                 A42 ERROR"));  // no setting: no brackets
    EXPECT_TRUE(Has(page, "Pulse output: not defined  [Imp_User0 Kind 0..2]"));
    EXPECT_TRUE(Has(page, "Standard conditions"));
    EXPECT_TRUE(Has(page, "  Correction factor    1.0000     [Bez_User0 Faktor]"));

    page = PrintPage(PageName::Units, im, medium::Gas, 0, texts);
    EXPECT_EQ(page, (std::vector<std::string>{"[ ] User units  [Dis_User Einheiten 0..1]"}));
    im.Dis_User.Einheiten = 1;
    im.UserEinheiten[0].Kind = 2;
    page = PrintPage(PageName::Units, im, medium::Gas, 0, texts);
    ASSERT_EQ(page.size(), 17u);
    EXPECT_EQ(page[1], "Temperature: K  [UserEinheiten0 Kind 0..2]");
    EXPECT_EQ(page[2], "  ( ) 0 °C  ( ) 1 °F  (*) 2 K");

    im.Bemerkung = {"first", ""};
    EXPECT_EQ(PrintPage(PageName::Remarks, im, medium::Gas, 0, texts),
              (std::vector<std::string>{"first  [Bemerkung Zeile 1]", "  [Bemerkung Zeile 2]"}));

    // Which page a section belongs to, before anything is read.
    struct Where {
        Setting setting;
        std::optional<SettingPage> page;
    };
    for (const Where& w :
         std::vector<Where>{{{"T_User1", "Max", "1"}, SettingPage{PageName::Circuit, 1}},
                            {{"EG_User", "Ho", "1", 1}, SettingPage{PageName::Circuit, 1}},
                            {{"des_user0", "x", "1", 1}, SettingPage{PageName::Circuit, 0}},
                            {{"UserEinheiten7", "Kind", "1"}, SettingPage{PageName::Units, 0}},
                            {{"Dis_User", "Kind", "1"}, SettingPage{PageName::Units, 0}},
                            {{"Bemerkung", "Zeile 1", "x"}, SettingPage{PageName::Remarks, 0}},
                            {{"UserEinheiten8", "Kind", "1"}, std::nullopt},
                            {{"System", "Kind", "1"}, std::nullopt}}) {
        EXPECT_EQ(PageOfSetting(w.setting), w.page) << w.setting.section;
    }
    EXPECT_EQ(ParsePageName("Units"), PageName::Units);
    EXPECT_EQ(ParsePageName("unit"), std::nullopt);
}

}  // namespace
}  // namespace parvion::edit
