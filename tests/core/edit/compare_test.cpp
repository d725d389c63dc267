// The comparison of two parameter sets as the window and the CLI show it:
// exactly the changed fields, grouped in page order, values with the user's
// units; what a value is called outside its page (the page's caption and
// label from the real string library); and the text lines of the command
// line with those names.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/texts.h"
#include "core/edit/parameter_compare.h"
#include "core/edit/value_names.h"
#include "core/model/defaults.h"
#include "core/model/session.h"

namespace parvion::edit {
namespace {

// Tab captions as numbers, so that the grouping is visible in the test.
std::string Tab(std::uint16_t n) {
    return "tab" + std::to_string(n);
}

// Measured temperature and pressure, a relay and an output with a source.
ParameterImage Defaults() {
    ParameterImage img;
    ResetParameters(img, 0, false);
    for (std::size_t c = 0; c < 2; ++c) {
        img.T_User[c].Kind = 1;
        img.P_User[c].Kind = 1;
    }
    img.Alm_User[0].Param = 1;
    img.Alm_User[0].Kind = 0;
    img.Aus_User[1].Param = 1;
    return img;
}

TEST(ParameterCompare, ListsExactlyTheChangedFieldsInPageOrder) {
    const ParameterImage device = Defaults();  // temperature measured: its range is shown
    ParameterImage file = device;
    // Changed in reverse page order: the rows still come in page order.
    file.Trend_User.Time = static_cast<std::uint8_t>(device.Trend_User.Time + 1);
    file.Alm_User[0].Max = device.Alm_User[0].Max + 5.0f;
    file.T_User[1].Max = device.T_User[1].Max + 1.0f;
    file.T_User[0].Max = 333.5f;

    const auto rows = CompareParameterSets(device, file, medium::Gas, Tab);
    std::vector<std::string> got;
    for (const ComparisonRow& r : rows) got.push_back(r.page + " " + r.section + " " + r.key);
    EXPECT_EQ(got, (std::vector<std::string>{"tab529 T_User0 Max", "tab530 T_User1 Max",
                                             "tab531 Alm_User0 Max", "tab534 Trend_User Time"}));
    // A value of a circuit page in its unit, both sides the same way.
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].right.rfind("333.5", 0), 0u) << rows[0].right;
    EXPECT_NE(rows[0].right.find("°C"), std::string::npos) << rows[0].right;
    EXPECT_NE(rows[0].left.find("°C"), std::string::npos) << rows[0].left;
    EXPECT_EQ(rows[0].right.find("  "), std::string::npos) << rows[0].right;
    // A choice keeps the file's text.
    EXPECT_EQ(rows.back().right, std::to_string(file.Trend_User.Time));

    EXPECT_TRUE(CompareParameterSets(device, device, medium::Gas, Tab).empty());
}

TEST(ParameterCompare, ADifferenceBelowTheShownDigitsStillShows) {
    ParameterImage device = Defaults();
    device.T_User[0].Max = 120.0f;
    ParameterImage file = device;
    file.T_User[0].Max = 120.00001f;
    const auto rows = CompareParameterSets(device, file, medium::Gas, Tab);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].left, rows[0].right);
    EXPECT_EQ(rows[0].left, "120") << rows[0].left;
}

struct ValueNamesTest : ::testing::Test {
    Session session;
    TextLibrary library{PARVION_BIN_DIR, session};
    views::TextLoader text = [this](std::uint16_t n) { return library.LoadText(n); };
};

TEST_F(ValueNamesTest, AFieldIsNamedAsItsPageNamesIt) {
    // Section, key, and the name; "" for a field no page line shows.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"P_User0", "Max", "Druck — Wert bei 20 mA"},
        {"T_User0", "max", "Temperatur — Wert bei 20 mA"},  // key as typed
        {"Alm_User0", "Min", "Grenzwertrelais 1 — Minimum"},
        {"Aus_User1", "Max", "Analogausgang 2 — Wert 20 mA"},
        {"Vorgaben", "Vorgabe3", "Vorgabewerte — Normvolumenstrom 1"},
        {"System", "Faktor", "Systemfaktor"},
        {"FlowKorr_2", "Stelle7", "Korrekturfaktoren Kreis 2 — Stützstelle 8"},
        {"P_User0", "Kind", ""},
        {"Alm_User0", "Max", ""},  // a limit the relay's kind does not show
        {"Vorgaben", "Vorgabe0", ""},
        {"Vorgaben", "Vorgabe9", ""},
        {"FlowKorr_3", "Stelle0", ""},
        {"Trend_User", "Time", ""},
    };
    const ParameterImage image = Defaults();
    for (const auto& [section, key, expected] : cases) {
        EXPECT_EQ(FieldName(image, image, 0, section, key, text), expected)
            << section << " " << key;
    }
    // Shown only by the other set: named too.
    ParameterImage device = Defaults();
    device.Alm_User[0].Param = 0;
    EXPECT_EQ(FieldName(device, image, 0, "Alm_User0", "Min", text), "Grenzwertrelais 1 — Minimum");
}

TEST(ValueNames, JoiningDropsWhatIsMissingOrRepeated) {
    const views::TextLoader text = [](std::uint16_t) { return std::string("%1 / %2"); };
    EXPECT_EQ(JoinNames(text, "A", "B"), "A / B");
    EXPECT_EQ(JoinNames(text, "", "B"), "B");
    EXPECT_EQ(JoinNames(text, "A", ""), "A");
    EXPECT_EQ(JoinNames(text, "A", "A"), "A");
}

TEST_F(ValueNamesTest, TheComparisonNamesItsRowsAndItsLinesPrintTheName) {
    const ParameterImage device = Defaults();
    ParameterImage file = device;
    file.P_User[0].Min = device.P_User[0].Min + 1.0f;
    file.P_User[0].Max = device.P_User[0].Max + 1.0f;
    file.Trend_User.Time = static_cast<std::uint8_t>(device.Trend_User.Time + 1);
    const std::vector<ComparisonRow> rows = CompareParameterSets(device, file, 0, text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].label, "");
    // Each page once, then its fields.
    const std::vector<std::string> lines = ComparisonLines(rows, "snapshot 1", "snapshot 2");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Kreis 1:");
    EXPECT_TRUE(lines[2].starts_with("Druck — Wert bei 20 mA [P_User0] Max: snapshot 1 "))
        << lines[2];
    EXPECT_EQ(lines[3], rows[2].page + ":");
    EXPECT_TRUE(lines[4].starts_with("[Trend_User] Time: snapshot 1 ")) << lines[4];
    EXPECT_EQ(ComparisonKey(rows[1]), "[P_User0] Max");
    EXPECT_TRUE(ComparisonLines({}).empty());
}

}  // namespace
}  // namespace parvion::edit
