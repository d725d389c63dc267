// The value dialog's words (what is edited with unit and limits, why an entry
// without a number was not taken, which value was set to which limit) and the
// print preview's rules (zoom steps, page line, window size).

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "core/model/units.h"
#include "core/views/input_rules.h"
#include "core/views/preview_rules.h"

namespace parvion::views {
namespace {

TEST(InputPrompt, NamesWhatIsEditedItsUnitAndLimitsAndWhyAnEntryIsRefused) {
    const Session session;
    const TextLibrary library(PARVION_BIN_DIR, session);
    const TextLoader text = [&library](std::uint16_t n) { return library.LoadText(n); };
    const struct {
        const char* label;
        const char* unit;
        const char* expected;
    } prompts[] = {
        {"Druck — Wert bei 20 mA", "bar", "Druck — Wert bei 20 mA (bar): 0 … 100"},
        {"Systemfaktor", "", "Systemfaktor: 0 … 100"},
        {"", "°C", "Erlaubt (°C): 0 … 100"},
        {"", "", "Erlaubt: 0 … 100"},
    };
    for (const auto& c : prompts) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(InputPrompt(text, c.label, c.unit, "0", "100"), c.expected);
    }
    const struct {
        const char* entry;
        const char* expected;
    } refusals[] = {
        {"", "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {"  ", "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {" - ", "„-“ ist keine Zahl: einen Wert von -273.15 bis 1500 eingeben."},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.expected);
        ASSERT_FALSE(ParseInputNumber(c.entry).has_value());
        EXPECT_EQ(InputRefusal(text, c.entry, "-273.15", "1500"), c.expected);
    }
}

TEST(InputPrompt, TheUnitIsTheOneTheValuesAreShownIn) {
    EXPECT_EQ(InputUnitName(nullptr), "");
    ParameterImage image;
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, quantity::Temperature)), "°C");
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, quantity::Pressure)), "kPa");
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, kNoQuantity)), "");
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
        {"H2", 1e-12f, limits(co2, 0, 10), co2, InputClamp::None, 0, ""},  // snapped to 0
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
    struct Case {
        int from;
        int direction;
        int to;
    };
    const Case cases[] = {
        {100, 1, 125}, {100, -1, 75}, {200, 1, 300},  {300, 1, 300}, {75, -1, 50},
        {50, -1, 50},  {110, 1, 125}, {110, -1, 100}, {100, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " " + std::to_string(c.direction));
        EXPECT_EQ(NextPreviewZoom(c.from, c.direction), c.to);
    }
}

TEST(PreviewRules, ThePageLine) {
    const Session session;
    const TextLibrary library(PARVION_BIN_DIR, session);
    EXPECT_EQ(PreviewPageLine([&](std::uint16_t n) { return library.LoadText(n); }, 1, 3),
              "Seite 2 von 3");
}

TEST(PreviewRules, TheWindowOpensToReadAPageOnTheScreenItIsOn) {
    struct Case {
        const char* what;
        int screenW, screenH;
        PreviewWindowSize expected;
    };
    // An A4 page at 96 dpi (794 × 1123) with 40 × 80 pixels of frame, bar
    // and scroll bar.
    const Case cases[] = {
        {"1280 × 1024: the page's width, nine tenths of the height", 1280, 1024, {834, 921}},
        {"1920 × 1200: as tall as the page needs", 1920, 1440, {834, 1203}},
        {"800 × 600: the whole screen", 800, 600, {800, 540}},
        {"640 × 400: never larger than the screen", 640, 400, {640, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PreviewWindowSize s = PreviewWindowFor(c.screenW, c.screenH, 794, 1123, 40, 80);
        EXPECT_EQ(std::pair(s.width, s.height), std::pair(c.expected.width, c.expected.height));
    }
}

}  // namespace
}  // namespace parvion::views
