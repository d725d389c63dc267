// An entry set to a limit of the value input dialog: what the entry rule
// records (which limit, what was typed) and the status line that says so,
// with the value's name, the entry and the limit in the dialog's unit.

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>

#include "core/views/input_rules.h"

namespace parvion::views {
namespace {

TEST(ClampedInput, SaysWhichValueWasSetToWhichLimit) {
    const std::map<std::uint16_t, std::string> library = {
        {kTextClampedToMax, "%1: maximum %3 taken, not %2"},
        {kTextClampedToMin, "%1: minimum %3 taken, not %2"},
    };
    const TextLoader text = [&library](std::uint16_t n) {
        const auto it = library.find(n);
        return it == library.end() ? std::string() : it->second;
    };
    ParameterImage image;
    // The natural-gas inputs of the gas calculation, in the dialog's units.
    const UnitRow* hs = InputUnitRow(image, 0, quantity::CalorificValue);  // Wh/m³
    const UnitRow* co2 = InputUnitRow(image, 0, quantity::Concentration);  // mol%
    ASSERT_NE(hs, nullptr);
    ASSERT_NE(co2, nullptr);
    const auto limits = [](const UnitRow* row, float min, float max) {
        return InputLimits{ToDisplayUnit(row, min), ToDisplayUnit(row, max), min, max};
    };
    struct Case {
        const char* name;
        const char* label;
        float entry;
        InputLimits limits;
        const UnitRow* row;
        InputClamp clamp;
        float base;
        const char* line;
    };
    const Case cases[] = {
        {"calorific value above", "Calorific val. Ho", 15000, limits(hs, 6, 13), hs,
         InputClamp::ToMax, 13, "Calorific val. Ho: maximum 13000 Wh/m³ taken, not 15000 Wh/m³"},
        {"CO2 below", "CO2 content  ", -2.5f, limits(co2, 0, 30), co2, InputClamp::ToMin, 0,
         "CO2 content: minimum 0 mol% taken, not -2.5 mol%"},
        {"H2 within: nothing said", "H2 content", 4, limits(co2, 0, 10), co2, InputClamp::None, 4,
         ""},
        {"the limit itself: nothing said", "H2 content", 10, limits(co2, 0, 10), co2,
         InputClamp::None, 10, ""},
        {"near zero snapped, not clamped: nothing said", "Anteil H2", 1e-12f, limits(co2, 0, 10),
         co2, InputClamp::None, 0, ""},
        {"typed near zero below a positive minimum: the entry as typed", "Normdichte:", 1e-12f,
         InputLimits{0.71f, 1.16f, 0.71f, 1.16f}, nullptr, InputClamp::ToMin, 0.71f,
         "Normdichte: minimum 0.71 taken, not 1E-12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AcceptedInput a = AcceptInputValue(c.entry, c.limits, c.row);
        EXPECT_EQ(a.clamp, c.clamp);
        EXPECT_FLOAT_EQ(a.baseValue, c.base);
        EXPECT_EQ(ClampedInputText(text, c.label, a, c.row), c.line);
    }
    // Without the library: the number and the values.
    const AcceptedInput a = AcceptInputValue(40, limits(co2, 0, 30), co2);
    EXPECT_EQ(ClampedInputText({}, "CO2", a, co2), "#22950 CO2 40 mol% 30 mol%");
}

}  // namespace
}  // namespace parvion::views
