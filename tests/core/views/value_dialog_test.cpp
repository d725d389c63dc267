// The value input dialog: number display, key filter, reading an entry,
// near-zero snapping and clamping, the unit row it converts with, and its
// words (what is edited with unit and limits, why an entry without a number
// was not taken, which value was set to which limit); and the print
// preview's rules (zoom steps, page line, window size).

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "core/model/units.h"
#include "core/views/input_rules.h"
#include "core/views/preview_rules.h"

namespace parvion::views {
namespace {

// 123456 has six integer digits, more than five; 99999.5 carries into a
// sixth digit.
TEST(InputNumberFormat, GeneralFormatWithPrecisionOrRoundedToAnInteger) {
    const std::tuple<float, bool, const char*> cases[] = {
        {-273.15f, false, "-273.15"}, {1500.0f, false, "1500"},
        {0.0f, false, "0"},           {-0.0f, false, "0"},
        {1.5f, false, "1.5"},         {123456.0f, false, "1.2346E5"},
        {12345.0f, false, "12345"},   {0.00001f, false, "0.00001"},
        {0.000001f, false, "1E-6"},   {-0.0000015f, false, "-1.5E-6"},
        {99999.5f, false, "1E5"},     {12.6f, true, "13"},
        {-12.6f, true, "-13"},        {-0.2f, true, "0"},
        {65535.0f, true, "65535"},
    };
    for (const auto& [value, integer, text] : cases) {
        EXPECT_EQ(FormatInputNumber(value, integer, 5), text) << text;
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
    const std::tuple<char, const char*, std::size_t, char> cases[] = {
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
    for (const auto& [key, text, selected, inserted] : cases) {
        EXPECT_EQ(FilterInputKey(key, text, selected, 5).value_or(kNo), inserted)
            << key << " after \"" << text << '"';
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
    // themselves stay, without a beep. Values beyond a limit, a near-zero one
    // below a positive minimum too: ClampedInput, whose clamps beep.
    const std::tuple<float, InputLimits, float, bool> cases[] = {
        {1e-10f, t, 0.0f, true},      {0.0f, t, 0.0f, false},
        {1e-9f, t, 1e-9f, false},     {std::numeric_limits<float>::infinity(), t, 1500.0f, true},
        {1500.0f, t, 1500.0f, false}, {-273.15f, t, -273.15f, false},
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
    // Option off: base unit, named as the values are shown.
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, quantity::Temperature)), "°C");
    EXPECT_EQ(InputUnitName(nullptr), "");
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
    // Beyond quantity 7 the dialog follows the option too: SelectUnitRow.
}

// With the German library of the build; the print preview's page line too.
TEST(InputPrompt, NamesWhatIsEditedItsUnitAndLimitsAndWhyAnEntryIsRefused) {
    const Session session;
    const TextLibrary library(PARVION_BIN_DIR, session);
    const TextLoader text = [&library](std::uint16_t n) { return library.LoadText(n); };
    // Label, unit, prompt.
    const std::tuple<const char*, const char*, const char*> prompts[] = {
        {"Druck — Wert bei 20 mA", "bar", "Druck — Wert bei 20 mA (bar): 0 … 100"},
        {"Systemfaktor", "", "Systemfaktor: 0 … 100"},
        {"", "°C", "Erlaubt (°C): 0 … 100"},
        {"", "", "Erlaubt: 0 … 100"},
    };
    for (const auto& [label, unit, expected] : prompts) {
        EXPECT_EQ(InputPrompt(text, label, unit, "0", "100"), expected);
    }
    const std::pair<const char*, const char*> refusals[] = {
        {"", "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {"  ", "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {" - ", "„-“ ist keine Zahl: einen Wert von -273.15 bis 1500 eingeben."},
    };
    for (const auto& [entry, expected] : refusals) {
        ASSERT_FALSE(ParseInputNumber(entry).has_value()) << entry;
        EXPECT_EQ(InputRefusal(text, entry, "-273.15", "1500"), expected);
    }
    EXPECT_EQ(PreviewPageLine(text, 1, 3), "Seite 2 von 3");
}

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
    const UnitRow* hs = InputUnitRow(image, 0, quantity::CalorificValue);  // Wh/m³
    const UnitRow* co2 = InputUnitRow(image, 0, quantity::Concentration);  // mol%
    ASSERT_NE(hs, nullptr);
    ASSERT_NE(co2, nullptr);
    const auto limits = [](const UnitRow* row, float min, float max) {
        return InputLimits{ToDisplayUnit(row, min), ToDisplayUnit(row, max), min, max};
    };
    const struct {
        const char* label;
        float entry;
        InputLimits limits;
        const UnitRow* row;
        InputClamp clamp;
        float base;
        const char* line;
    } cases[] = {
        {"Calorific val. Ho", 15000, limits(hs, 6, 13), hs, InputClamp::ToMax, 13,
         "Calorific val. Ho: maximum 13000 Wh/m³ taken, not 15000 Wh/m³"},
        {"CO2 content  ", -2.5f, limits(co2, 0, 30), co2, InputClamp::ToMin, 0,
         "CO2 content: minimum 0 mol% taken, not -2.5 mol%"},
        {"H2", 10, limits(co2, 0, 10), co2, InputClamp::None, 10, ""},
        // Typed near zero below a positive minimum: the entry as typed.
        {"Normdichte:", 1e-12f, InputLimits{0.71f, 1.16f, 0.71f, 1.16f}, nullptr, InputClamp::ToMin,
         0.71f, "Normdichte: minimum 0.71 taken, not 1E-12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const AcceptedInput a = AcceptInputValue(c.entry, c.limits, c.row);
        EXPECT_EQ(a.clamp, c.clamp);
        EXPECT_FLOAT_EQ(a.baseValue, c.base);
        EXPECT_EQ(ClampedInputText(text, c.label, a, c.row), c.line);
    }
}

TEST(PreviewRules, ZoomStepsUpAndDownAndStopsAtTheEnds) {
    const std::tuple<int, int, int> cases[] = {{100, 1, 125}, {100, -1, 75}, {300, 1, 300},
                                               {50, -1, 50},  {110, 1, 125}, {110, -1, 100},
                                               {100, 0, 100}};
    for (const auto& [from, direction, to] : cases) {
        EXPECT_EQ(NextPreviewZoom(from, direction), to) << from << " " << direction;
    }
}

TEST(PreviewRules, TheWindowOpensToReadAPageOnTheScreenItIsOn) {
    // An A4 page at 96 dpi (794 × 1123) with 40 × 80 pixels of frame, bar
    // and scroll bar, on screens of the width and height given.
    const std::tuple<const char*, int, int, PreviewWindowSize> cases[] = {
        {"1280 × 1024: the page's width, nine tenths of the height", 1280, 1024, {834, 921}},
        {"1920 × 1200: as tall as the page needs", 1920, 1440, {834, 1203}},
        {"800 × 600: the whole screen", 800, 600, {800, 540}},
        {"640 × 400: never larger than the screen", 640, 400, {640, 400}},
    };
    for (const auto& [what, screenW, screenH, expected] : cases) {
        const PreviewWindowSize s = PreviewWindowFor(screenW, screenH, 794, 1123, 40, 80);
        EXPECT_EQ(std::pair(s.width, s.height), std::pair(expected.width, expected.height)) << what;
    }
}

}  // namespace
}  // namespace parvion::views
