// The relay, output and display pages as settings and as text: choice
// indexes and values taken as the pages take them, refusals that change
// and send nothing, and the pages printed with their settings.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/edit/page_commands.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::FieldValues;
using test::Listed;
using Status = SettingOutcome::Status;

TEST(RelayOutputDisplaySettings, SettingsAreTakenAsThePagesTakeThem) {
    EditRig rig;
    rig.store(
        "Alm_User0 Param=1 Kind=0 Min=0 Max=0 Aus_User0 Param=0 Konstant=40 "
        "Dis_User Kind=0 Display Enable1=1 Enable2=0 Enable3=0 Enable4=0");
    rig.log.clear();
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
        const SettingOutcome out =
            ApplySetting(*rig.link, rig.image, c.setting, test::PageTextsOf(rig));
        ASSERT_TRUE(out.ok()) << out.message;
        EXPECT_EQ(out.page, c.page);
        EXPECT_EQ(FieldValues(rig.deviceImage(), c.stored), c.stored);
        EXPECT_EQ(Listed(out.notes), c.notes);
    }
}

TEST(RelayOutputDisplaySettings, RefusedSettingsChangeAndSendNothing) {
    EditRig rig;
    rig.image.System.Ausbaustufe = 0xC0;  // no circuit 2, one output
    rig.store("Alm_User0 Param=0 Alm_User1 Param=2 Kind=1 Aus_User0 Param=3 Display Enable4=8");
    rig.log.clear();
    struct Case {
        Setting setting;
        Status status;
        const char* message;
        const char* valid;
    };
    const Case cases[] = {
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
    const ParameterImage before = rig.image;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting.section + " " + c.setting.key + " " + c.setting.value);
        const SettingOutcome out =
            ApplySetting(*rig.link, rig.image, c.setting, test::PageTextsOf(rig));
        EXPECT_EQ(out.status, c.status);
        EXPECT_NE(out.message.find(c.message), std::string::npos) << out.message;
        EXPECT_NE(Listed(out.valid).find(c.valid), std::string::npos) << Listed(out.valid);
        EXPECT_EQ(rig.image, before);
    }
    // The sum page has no temperature box (value 1).
    rig.image.System.Ausbaustufe = 0;
    const SettingOutcome sum =
        ApplySetting(*rig.link, rig.image, {"Display", "Enable4", "9"}, test::PageTextsOf(rig));
    EXPECT_EQ(sum.status, Status::BadChoice);
    EXPECT_NE(sum.message.find("at most 120"), std::string::npos) << sum.message;
    EXPECT_TRUE(rig.log.empty()) << test::Joined(rig.log);
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

    EXPECT_EQ(ParsePageName("Relays"), PageName::Relays);
    EXPECT_EQ(ParsePageName("outputs"), PageName::Outputs);
    EXPECT_EQ(ParsePageName("DISPLAY"), PageName::Display);
    struct Where {
        Setting setting;
        std::optional<PageName> page;
    };
    const Where where[] = {{{"Alm_User1", "Min", ""}, PageName::Relays},
                           {{"Alm_User2", "Min", ""}, std::nullopt},
                           {{"aus_user3", "Param", ""}, PageName::Outputs},
                           {{"Aus_User4", "Param", ""}, std::nullopt},
                           {{"Dis_User", "First", ""}, PageName::Display},
                           {{"Dis_User", "einheiten", ""}, PageName::Units},
                           {{"Display", "Enable1", ""}, PageName::Display}};
    for (const Where& w : where) {
        const auto at = PageOfSetting(w.setting);
        EXPECT_EQ(at ? std::optional(at->page) : std::nullopt, w.page)
            << w.setting.section << " " << w.setting.key;
    }
}

}  // namespace
}  // namespace parvion::edit
