// The comparison of two parameter sets as the window and the CLI show it:
// exactly the changed fields, grouped in page order, values with the user's
// units, and the text lines of the command line.

#include "core/edit/parameter_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/defaults.h"

namespace parvion::edit {
namespace {

// Tab captions as numbers, so that the grouping is visible in the test.
std::string Tab(std::uint16_t n) {
    return "tab" + std::to_string(n);
}

ParameterImage Defaults(int medium) {
    ParameterImage img;
    ResetParameters(img, medium, false);
    return img;
}

TEST(ParameterCompare, ListsExactlyTheChangedFieldsInPageOrder) {
    for (int medium : {0, 1}) {
        ParameterImage device = Defaults(medium);
        // Temperature measured (not constant), so that its range is shown.
        device.T_User[0].Kind = 1;
        device.T_User[1].Kind = 1;
        ParameterImage file = device;
        // Changed in reverse page order: the rows still come in page order.
        file.Trend_User.Time = static_cast<std::uint8_t>(device.Trend_User.Time + 1);
        file.Alm_User[0].Max = device.Alm_User[0].Max + 5.0f;
        file.T_User[1].Max = device.T_User[1].Max + 1.0f;
        file.T_User[0].Max = 333.5f;

        const auto rows = CompareParameterSets(device, file, medium, Tab);
        std::vector<std::string> got;
        for (const ComparisonRow& r : rows) got.push_back(r.page + " " + r.section + " " + r.key);
        EXPECT_EQ(got, (std::vector<std::string>{"tab529 T_User0 Max", "tab530 T_User1 Max",
                                                 "tab531 Alm_User0 Max", "tab534 Trend_User Time"}))
            << "medium " << medium;
        // A value of a circuit page in its unit, both sides the same way.
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0].right.rfind("333.5", 0), 0u) << rows[0].right;
        EXPECT_NE(rows[0].right.find("°C"), std::string::npos) << rows[0].right;
        EXPECT_NE(rows[0].left.find("°C"), std::string::npos) << rows[0].left;
        EXPECT_EQ(rows[0].right.find("  "), std::string::npos) << rows[0].right;
        // A choice keeps the file's text.
        EXPECT_EQ(rows.back().right, std::to_string(file.Trend_User.Time));

        EXPECT_TRUE(CompareParameterSets(device, device, medium, Tab).empty());
    }
}

TEST(ParameterCompare, ADifferenceBelowTheShownDigitsStillShows) {
    ParameterImage device = Defaults(0);
    device.T_User[0].Kind = 1;
    device.T_User[0].Max = 120.0f;
    ParameterImage file = device;
    file.T_User[0].Max = 120.00001f;
    const auto rows = CompareParameterSets(device, file, 0, Tab);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].left, rows[0].right);
    EXPECT_EQ(rows[0].left, "120") << rows[0].left;
}

TEST(ParameterCompare, LinesGiveEachPageOnceThenItsFields) {
    const std::vector<ComparisonRow> rows = {
        {"Circuit 1", "T_User0", "Max", "120 °C", "333.5 °C"},
        {"Circuit 1", "P_User0", "Min", "0 bar", "1 bar"},
        {"Relays", "Alm_User0", "Kind", "0", "1"},
    };
    EXPECT_EQ(ComparisonLines(rows),
              (std::vector<std::string>{"Circuit 1:", "[T_User0] Max: device 120 °C, file 333.5 °C",
                                        "[P_User0] Min: device 0 bar, file 1 bar",
                                        "Relays:", "[Alm_User0] Kind: device 0, file 1"}));
    EXPECT_TRUE(ComparisonLines({}).empty());
}

}  // namespace
}  // namespace parvion::edit
