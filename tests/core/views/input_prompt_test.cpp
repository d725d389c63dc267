// The body of the value dialog in the four string libraries: what is edited,
// its unit and limits, and why an entry that holds no number was not taken.

#include <gtest/gtest.h>

#include <string>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "core/model/units.h"
#include "core/views/input_rules.h"

namespace parvion::views {
namespace {

TextLoader Library(const TextLibrary& library) {
    return [&library](std::uint16_t n) { return library.LoadText(n); };
}

struct PromptCase {
    int medium;
    int sprache;
    const char* label;
    const char* unit;
    const char* expected;
};

TEST(InputPrompt, NamesWhatIsEditedItsUnitAndLimitsInEveryLibrary) {
    const PromptCase cases[] = {
        {0, 0, "Druck — Wert bei 20 mA", "bar", "Druck — Wert bei 20 mA (bar): 0 … 100"},
        {0, 1, "Pressure — Value at 20 mA", "bar", "Pressure — Value at 20 mA (bar): 0 … 100"},
        {1, 0, "Systemfaktor", "", "Systemfaktor: 0 … 100"},
        {1, 1, "System factor", "", "System factor: 0 … 100"},
        {0, 0, "", "°C", "Erlaubt (°C): 0 … 100"},
        {1, 1, "", "°C", "Allowed (°C): 0 … 100"},
        {1, 0, "", "", "Erlaubt: 0 … 100"},
        {0, 1, "", "", "Allowed: 0 … 100"},
    };
    for (const PromptCase& c : cases) {
        SCOPED_TRACE(std::string(c.expected));
        Session session;
        session.Medium = c.medium;
        session.Sprache = c.sprache;
        const TextLibrary library(PARVION_BIN_DIR, session);
        EXPECT_EQ(InputPrompt(Library(library), c.label, c.unit, "0", "100"), c.expected);
    }
}

struct RefusalCase {
    int sprache;
    const char* entry;
    const char* expected;
};

TEST(InputPrompt, AnEntryWithoutANumberIsRefusedWithTheLimits) {
    const RefusalCase cases[] = {
        {0, "", "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {0, "  ", "Das Feld ist leer: einen Wert von -273.15 bis 1500 eingeben."},
        {1, "", "The field is empty: enter a value from -273.15 to 1500."},
        {0, "-", "„-“ ist keine Zahl: einen Wert von -273.15 bis 1500 eingeben."},
        {1, ".", "\".\" is not a number: enter a value from -273.15 to 1500."},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(std::string(c.expected));
        Session session;
        session.Sprache = c.sprache;
        const TextLibrary library(PARVION_BIN_DIR, session);
        ASSERT_FALSE(ParseInputNumber(c.entry).has_value());
        EXPECT_EQ(InputRefusal(Library(library), c.entry, "-273.15", "1500"), c.expected);
    }
}

TEST(InputPrompt, TheUnitIsTheOneTheValuesAreShownIn) {
    EXPECT_EQ(InputUnitName(nullptr), "");
    ParameterImage image;
    // Base units of the gas computer: temperature in °C, pressure in kPa.
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, quantity::Temperature)), "°C");
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, quantity::Pressure)), "kPa");
    EXPECT_EQ(InputUnitName(InputUnitRow(image, 0, kNoQuantity)), "");
}

}  // namespace
}  // namespace parvion::views
