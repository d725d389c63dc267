// What a value is called outside its page (the value dialog's body, the
// comparison window, `parvion2-cli diff`): the page's own caption and label,
// from the real string libraries, and the comparison's lines with them.

#include "core/edit/value_names.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/app/texts.h"
#include "core/edit/parameter_compare.h"
#include "core/model/defaults.h"
#include "core/model/session.h"

namespace parvion::edit {
namespace {

ParameterImage Defaults(int medium) {
    ParameterImage img;
    ResetParameters(img, medium, false);
    // Measured temperature and pressure (4..20 mA), a relay and an output
    // with a source: the lines below exist.
    for (std::size_t c = 0; c < 2; ++c) {
        img.T_User[c].Kind = 1;
        img.P_User[c].Kind = 1;
    }
    img.Alm_User[0].Param = 1;
    img.Alm_User[0].Kind = 0;
    img.Aus_User[1].Param = 1;
    img.Aus_User[2].Param = 0;
    return img;
}

struct NameCase {
    int medium;
    int sprache;
    const char* section;
    const char* key;
    const char* expected;  // "" for a field no page line shows
};

TEST(ValueNames, AFieldIsNamedAsItsPageNamesIt) {
    const NameCase cases[] = {
        {0, 0, "P_User0", "Max", "Druck — Wert bei 20 mA"},
        {0, 0, "P_User1", "Min", "Druck — Wert bei 4 mA"},
        {1, 1, "P_User0", "Max", "Pressure — Value at 20 mA"},
        {0, 0, "T_User0", "max", "Temperatur — Wert bei 20 mA"},  // key as typed
        {0, 0, "Alm_User0", "Min", "Grenzwertrelais 1 — Minimum"},
        {1, 1, "Alm_User0", "Min", "Limit relay 1 — Minimum"},
        {0, 0, "Aus_User1", "Max", "Analogausgang 2 — Wert 20 mA"},
        {0, 0, "Aus_User1", "Err", "Analogausgang 2 — Fehlerstrom"},
        {1, 1, "Aus_User2", "Konstant", "Analog output 3 — Fixed value"},
        {0, 0, "Vorgaben", "Vorgabe3", "Vorgabewerte — Normvolumenstrom 1"},
        {0, 0, "System", "Faktor", "Systemfaktor"},
        {1, 1, "System", "Faktor", "System factor"},
        {0, 0, "FlowKorr_2", "Stelle7", "Korrekturfaktoren Kreis 2 — Stützstelle 8"},
        // No page line: the kind byte, a relay limit its kind does not
        // show, keys and sections that do not exist.
        {0, 0, "P_User0", "Kind", ""},
        {0, 0, "Alm_User0", "Max", ""},
        {0, 0, "Alm_User1", "Min", ""},
        {0, 0, "Vorgaben", "Vorgabe0", ""},
        {0, 0, "Vorgaben", "Vorgabe9", ""},
        {0, 0, "FlowKorr_3", "Stelle0", ""},
        {0, 0, "Trend_User", "Time", ""},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " " + c.key);
        Session session;
        session.Medium = c.medium;
        session.Sprache = c.sprache;
        const TextLibrary library(PARVION_BIN_DIR, session);
        const views::TextLoader text = [&](std::uint16_t n) { return library.LoadText(n); };
        const ParameterImage image = Defaults(c.medium);
        EXPECT_EQ(FieldName(image, image, c.medium, c.section, c.key, text), c.expected);
    }
}

TEST(ValueNames, AFieldShownOnlyByTheOtherSetIsNamedToo) {
    Session session;
    const TextLibrary library(PARVION_BIN_DIR, session);
    const views::TextLoader text = [&](std::uint16_t n) { return library.LoadText(n); };
    ParameterImage device = Defaults(0);
    device.Alm_User[0].Param = 0;  // the device's relay has no source, the file's has
    const ParameterImage file = Defaults(0);
    EXPECT_EQ(FieldName(device, file, 0, "Alm_User0", "Min", text), "Grenzwertrelais 1 — Minimum");
}

TEST(ValueNames, JoiningDropsWhatIsMissingOrRepeated) {
    const views::TextLoader text = [](std::uint16_t) { return std::string("%1 / %2"); };
    EXPECT_EQ(JoinNames(text, "A", "B"), "A / B");
    EXPECT_EQ(JoinNames(text, "", "B"), "B");
    EXPECT_EQ(JoinNames(text, "A", ""), "A");
    EXPECT_EQ(JoinNames(text, "Impulsausgang", "Impulsausgang"), "Impulsausgang");
}

TEST(ValueNames, TheComparisonNamesItsRowsAndItsLinesPrintTheName) {
    Session session;
    const TextLibrary library(PARVION_BIN_DIR, session);
    const views::TextLoader text = [&](std::uint16_t n) { return library.LoadText(n); };
    const ParameterImage device = Defaults(0);
    ParameterImage file = device;
    file.P_User[0].Max = device.P_User[0].Max + 1.0f;
    file.Trend_User.Time = static_cast<std::uint8_t>(device.Trend_User.Time + 1);
    const std::vector<ComparisonRow> rows = CompareParameterSets(device, file, 0, text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].label, "Druck — Wert bei 20 mA");
    EXPECT_EQ(rows[1].label, "");
    const std::vector<std::string> lines = ComparisonLines(rows, "snapshot 1", "snapshot 2");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Kreis 1:");
    EXPECT_EQ(lines[1].rfind("Druck — Wert bei 20 mA [P_User0] Max: snapshot 1 ", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[3].rfind("[Trend_User] Time: snapshot 1 ", 0), 0u) << lines[3];
    EXPECT_EQ(ComparisonKey(rows[0]), "[P_User0] Max");
}

}  // namespace
}  // namespace parvion::edit
