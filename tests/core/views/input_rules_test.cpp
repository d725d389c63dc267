// Rules of the value input dialog: number display, key filter, reading an
// entry, near-zero snapping and clamping, and the unit row it converts with.

#include "core/views/input_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace parvion::views {
namespace {

TEST(InputNumberFormat, GeneralFormatWithPrecision) {
    EXPECT_EQ(FormatInputNumber(-273.15f, false, 5), "-273.15");
    EXPECT_EQ(FormatInputNumber(1500.0f, false, 5), "1500");
    EXPECT_EQ(FormatInputNumber(0.0f, false, 5), "0");
    EXPECT_EQ(FormatInputNumber(-0.0f, false, 5), "0");
    EXPECT_EQ(FormatInputNumber(1.5f, false, 5), "1.5");
    EXPECT_EQ(FormatInputNumber(123456.0f, false, 5), "1.2346E5");  // 6 integer digits > 5
    EXPECT_EQ(FormatInputNumber(12345.0f, false, 5), "12345");
    EXPECT_EQ(FormatInputNumber(0.00001f, false, 5), "0.00001");
    EXPECT_EQ(FormatInputNumber(0.000001f, false, 5), "1E-6");
    EXPECT_EQ(FormatInputNumber(-0.0000015f, false, 5), "-1.5E-6");
    EXPECT_EQ(FormatInputNumber(1.0f / 3.0f, false, 7), "0.3333333");
    EXPECT_EQ(FormatInputNumber(99999.5f, false, 5), "1E5");  // rounding carries into a sixth digit
}

TEST(InputNumberFormat, IntegerModeRounds) {
    EXPECT_EQ(FormatInputNumber(12.6f, true, 5), "13");
    EXPECT_EQ(FormatInputNumber(-12.6f, true, 5), "-13");
    EXPECT_EQ(FormatInputNumber(-0.2f, true, 5), "0");
    EXPECT_EQ(FormatInputNumber(65535.0f, true, 5), "65535");
}

TEST(InputNumberFormat, Caption) {
    EXPECT_EQ(InputCaption("-273.15", "1500"), "-273.15 .. 1500");
}

// The filter's answer as a string: the character inserted, or "-" for a
// swallowed key.
std::string key(char k, std::string_view text, std::size_t selected, int precision = 5) {
    const auto r = FilterInputKey(k, text, selected, precision);
    return r ? std::string(1, *r) : std::string("rejected");
}

TEST(InputKeyFilter, WholeTextSelected) {
    EXPECT_EQ(key('.', "12", 2), "rejected");
    EXPECT_EQ(key('E', "12", 2), "rejected");
    EXPECT_EQ(key('-', "12", 2), "-");
    EXPECT_EQ(key('7', "123456", 6), "7");
    EXPECT_EQ(key('-', "", 0), "-");
    EXPECT_EQ(key('.', "", 0), "rejected");
}

TEST(InputKeyFilter, DigitsWithoutPointStopAtFive) {
    EXPECT_EQ(key('5', "1234", 0), "5");
    EXPECT_EQ(key('6', "12345", 0), "rejected");
    EXPECT_EQ(key('0', "12345", 0), "0");  // zero and backspace always pass
    EXPECT_EQ(key(kBackspace, "12345", 0), std::string(1, kBackspace));
    EXPECT_EQ(key('6', "-1234", 0), "6");
    EXPECT_EQ(key('6', "-12345", 0), "rejected");
}

TEST(InputKeyFilter, DecimalDigitsStopAtPrecision) {
    // P = 5: "1.234" has 4 digits, the fifth fits (L 5 < 6), a sixth not.
    EXPECT_EQ(key('5', "1.234", 0), "5");
    EXPECT_EQ(key('6', "1.2345", 0), "rejected");
    EXPECT_EQ(key('6', "-1.2345", 0), "rejected");
    // Leading zeros after "0." do not count.
    EXPECT_EQ(key('5', "0.0001234", 0), "5");
    EXPECT_EQ(key('6', "0.00012345", 0), "rejected");
    EXPECT_EQ(key('7', "1.23456", 0, 7), "7");
}

TEST(InputKeyFilter, PointExponentAndCase) {
    EXPECT_EQ(key(',', "1", 0), ".");
    EXPECT_EQ(key('.', "1.5", 0), "rejected");
    EXPECT_EQ(key('e', "1.5", 0), "E");
    EXPECT_EQ(key('E', "1.5E", 0), "rejected");
    EXPECT_EQ(key('-', "1.5E", 0), "-");
    EXPECT_EQ(key('-', "1.5", 0), "rejected");
    EXPECT_EQ(key('E', "", 0), "rejected");
    EXPECT_EQ(key('a', "1", 0), "rejected");
}

TEST(InputEntry, ReadsNumbersAndRefusesNonNumbers) {
    EXPECT_EQ(ParseInputNumber("1,5"), 1.5f);
    EXPECT_EQ(ParseInputNumber("-2.5E-3"), -2.5e-3f);
    EXPECT_EQ(ParseInputNumber("1.5E"), 1.5f);
    EXPECT_EQ(ParseInputNumber("1.5E-"), 1.5f);
    EXPECT_EQ(ParseInputNumber(".5"), 0.5f);
    EXPECT_EQ(ParseInputNumber("1E99"), std::numeric_limits<float>::infinity());
    EXPECT_FALSE(ParseInputNumber(""));
    EXPECT_FALSE(ParseInputNumber("-"));
    EXPECT_FALSE(ParseInputNumber("."));
    EXPECT_FALSE(ParseInputNumber("E5"));
}

TEST(InputEntry, NearZeroAndLimits) {
    const InputLimits t{-273.15f, 1500.0f, -273.15f, 1500.0f};
    // Near-zero snapping happens before the limits; 1E-9 and the limits
    // themselves stay, without a beep.
    const InputLimits positive{1.0f, 2.0f, 1.0f, 2.0f};
    const std::tuple<float, InputLimits, float, bool> cases[] = {
        {2000.0f, t, 1500.0f, true},     {-300.0f, t, -273.15f, true},
        {1e-10f, t, 0.0f, true},         {0.0f, t, 0.0f, false},
        {1e-9f, t, 1e-9f, false},        {std::numeric_limits<float>::infinity(), t, 1500.0f, true},
        {-1e-12f, positive, 1.0f, true}, {1500.0f, t, 1500.0f, false},
        {-273.15f, t, -273.15f, false},
    };
    for (const auto& [entered, limits, base, beep] : cases) {
        const AcceptedInput a = AcceptInputValue(entered, limits, nullptr);
        EXPECT_EQ(a.baseValue, base) << entered;
        EXPECT_EQ(a.beep, beep) << entered;
    }
}

TEST(InputUnits, FahrenheitWithUserUnitsOnly) {
    ParameterImage image;
    image.UserEinheiten[quantity::Temperature].Kind = 1;  // °F
    // Option off: base unit.
    EXPECT_EQ(InputUnitRow(image, 0, quantity::Temperature)->Factor, 1.0f);
    image.Dis_User.Einheiten = 1;
    const UnitRow* f = InputUnitRow(image, 0, quantity::Temperature);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ToDisplayUnit(f, 100.0f), 212.0f);
    const InputLimits t{ToDisplayUnit(f, -273.15f), ToDisplayUnit(f, 1500.0f), -273.15f, 1500.0f};
    EXPECT_EQ(FormatInputNumber(t.displayMin, false, 5), "-459.67");
    EXPECT_EQ(FormatInputNumber(t.displayMax, false, 5), "2732");
    EXPECT_EQ(AcceptInputValue(32.0f, t, f).baseValue, 0.0f);
    EXPECT_EQ(AcceptInputValue(5000.0f, t, f).baseValue, 1500.0f);  // exactly the base limit
    EXPECT_EQ(InputUnitRow(image, 0, kNoQuantity), nullptr);
    // The dialog follows the option beyond quantity 7 too (no such row: none).
    image.UserEinheiten[quantity::Frequency].Kind = 3;
    EXPECT_EQ(InputUnitRow(image, 0, quantity::Frequency), nullptr);
}

}  // namespace
}  // namespace parvion::views
