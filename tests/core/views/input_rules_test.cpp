// Rules of the value input dialog: number display, key filter, reading an
// entry, near-zero snapping and clamping, and the unit row it converts with.

#include "core/views/input_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace parvion::views {
namespace {

// 123456 has six integer digits, more than five; 99999.5 carries into a
// sixth digit.
TEST(InputNumberFormat, GeneralFormatWithPrecisionOrRoundedToAnInteger) {
    const struct {
        float value;
        bool integer;
        const char* text;
    } cases[] = {
        {-273.15f, false, "-273.15"}, {1500.0f, false, "1500"},
        {0.0f, false, "0"},           {-0.0f, false, "0"},
        {1.5f, false, "1.5"},         {123456.0f, false, "1.2346E5"},
        {12345.0f, false, "12345"},   {0.00001f, false, "0.00001"},
        {0.000001f, false, "1E-6"},   {-0.0000015f, false, "-1.5E-6"},
        {99999.5f, false, "1E5"},     {12.6f, true, "13"},
        {-12.6f, true, "-13"},        {-0.2f, true, "0"},
        {65535.0f, true, "65535"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatInputNumber(c.value, c.integer, 5), c.text) << c.text;
    }
    EXPECT_EQ(FormatInputNumber(1.0f / 3.0f, false, 7), "0.3333333");
    EXPECT_EQ(InputCaption("-273.15", "1500"), "-273.15 .. 1500");
}

// The key filter with the text so far (`selected` characters of it
// selected): the character it inserts, or none for a swallowed key. Digits
// without a point stop at five, zero and backspace always pass; with P = 5
// "1.234" has 4 digits, the fifth fits (L 5 < 6), a sixth not, and leading
// zeros after "0." do not count.
TEST(InputKeyFilter, SignDigitsPointAndExponent) {
    constexpr char kNo = 0;
    constexpr char kBs = kBackspace;
    const struct {
        char key;
        const char* text;
        std::size_t selected;
        char inserted;
    } cases[] = {
        {'.', "12", 2, kNo},        {'E', "12", 2, kNo},         {'-', "12", 2, '-'},
        {'7', "123456", 6, '7'},    {'-', "", 0, '-'},           {'.', "", 0, kNo},
        {'5', "1234", 0, '5'},      {'6', "12345", 0, kNo},      {'0', "12345", 0, '0'},
        {kBs, "12345", 0, kBs},     {'6', "-1234", 0, '6'},      {'6', "-12345", 0, kNo},
        {'5', "1.234", 0, '5'},     {'6', "1.2345", 0, kNo},     {'6', "-1.2345", 0, kNo},
        {'5', "0.0001234", 0, '5'}, {'6', "0.00012345", 0, kNo}, {',', "1", 0, '.'},
        {'.', "1.5", 0, kNo},       {'e', "1.5", 0, 'E'},        {'E', "1.5E", 0, kNo},
        {'-', "1.5E", 0, '-'},      {'-', "1.5", 0, kNo},        {'E', "", 0, kNo},
        {'a', "1", 0, kNo},
    };
    for (const auto& c : cases) {
        const auto r = FilterInputKey(c.key, c.text, c.selected, 5);
        EXPECT_EQ(r.value_or(kNo), c.inserted) << c.key << " after \"" << c.text << '"';
    }
    EXPECT_EQ(FilterInputKey('7', "1.23456", 0, 7), '7');
}

TEST(InputEntry, ReadsNumbersAndRefusesNonNumbers) {
    constexpr std::optional<float> kNone;
    const std::pair<const char*, std::optional<float>> cases[] = {
        {"1,5", 1.5f},   {"-2.5E-3", -2.5e-3f}, {"1.5E", 1.5f},
        {"1.5E-", 1.5f}, {".5", 0.5f},          {"1E99", std::numeric_limits<float>::infinity()},
        {"", kNone},     {"-", kNone},          {".", kNone},
        {"E5", kNone},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseInputNumber(text), value) << text;
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
