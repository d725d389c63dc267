// Lines of the integrator page.

#include "core/views/integrator_lines.h"

#include <gtest/gtest.h>

#include "core/model/value_format.h"

namespace parvion::views {
namespace {

bool Labels(std::uint16_t first, std::uint8_t width, TextBlock& t) {
    for (std::size_t i = 0; i < 4; ++i) {
        t[i] = "L" + std::to_string(first + i - 18432);
        if (t[i].size() < width) t[i].append(width - t[i].size(), ' ');
    }
    return true;
}

std::string Format(std::uint8_t q, bool withUnit, bool trim, float v) {
    return "q" + std::to_string(q) + (withUnit ? "u" : "") + (trim ? "t" : "") + "=" +
           std::to_string(static_cast<int>(v));
}

TEST(IntegratorLines, TwoLinesAndAnEmptyOnePerFilledEntryNewestFirst) {
    IntegratorsRec rec;
    auto& e0 = rec.Entry[1][0];
    e0.Time1 = {2024, 5, 1, 0, 0, 0};
    e0.Time2 = {2024, 5, 2, 0, 0, 0};
    e0.Value1 = 1500;
    e0.Value2 = 700;
    // An entry whose second time has day 0 shows nothing, even with a first time.
    rec.Entry[1][1].Time1 = {2024, 4, 30, 0, 0, 0};
    rec.Entry[1][2] = e0;
    rec.Entry[1][2].Value1 = 1400;

    const auto lines = BuildIntegratorLines(rec, 1, Labels, Format);
    const std::string pad(11, ' ');
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "L0" + pad + FormatDeviceDateTime(e0.Time1) + "   L1" + pad + "q5ut=1500");
    EXPECT_EQ(lines[1], "L2" + pad + FormatDeviceDateTime(e0.Time2) + "   L3" + pad + "q6ut=700");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3].substr(lines[3].size() - 4), "1400");
    EXPECT_TRUE(BuildIntegratorLines(rec, 0, Labels, Format).empty());
}

}  // namespace
}  // namespace parvion::views
