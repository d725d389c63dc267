// Lines of the live-value pages, built from a real string library file and
// the real value formatting.

#include "core/views/circuit_values.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/app/texts.h"
#include "core/model/defaults.h"
#include "core/model/value_format.h"
#include "support/temp_dir.h"

namespace parvion::views {
namespace {

class CircuitLines : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream lib(dir_ / "Gasger.txt");
        lib << "0=GAS2\n"
               "15360=System A\n15361=System B\n"
               "15376=Temperatur\n15377=Druck\n15378=Dichte\n15379=Normvolumenstrom\n"
               "15380=Betriebsvolumenstrom\n"
               "15872=A0\n15873=A1\n15874=A2\n15875=A3\n";
        for (int i = 0; i < 16; ++i) lib << 15888 + i << "=N" << i << "\n";
        for (int i = 0; i < 16; ++i) lib << 15904 + i << "=N" << 16 + i << "\n";
        lib << "16384=Massestrom\n16385=Normvolumen\n16386=Masse\n"
               "16387=Betriebszeit 1234567890123456789012345678901234567890123456789012345\n"
               "16400=Wirkdruck\n16401=Beiwert\n16402=Volumenstrom\n16403=Temperatur 2\n"
               "17456=Fehler T\n17457=Fehler P\n17458=Fehler F\n17459=Fehler R\n"
               "17460=Fehler S\n17461=Fehler X\n";
        lib.close();
        ResetParameters(image_, 0, false);
        image_.System.Ausbaustufe = ausbaustufe::HighEnd;
    }

    std::vector<std::string> build(int medium = 0, int circuit = 0, int number = 0,
                                   std::uint8_t bits = 0) {
        session_.Medium = medium;
        const CircuitValuesInput in{image_, medium, circuit, values_, currents_, number, bits};
        return BuildCircuitLines(
            in,
            [this](std::uint16_t first, std::uint8_t width, TextBlock& t) {
                return texts_.LoadTextBlock(first, width, t);
            },
            [this, medium](std::uint8_t q, bool withUnit, bool trim, float v) {
                return FormatValue(image_, medium, q, withUnit, trim, v);
            });
    }

    static bool contains(const std::vector<std::string>& lines, const std::string& s) {
        for (const auto& l : lines) {
            if (l.find(s) != std::string::npos) return true;
        }
        return false;
    }

    test::TempDir dir_;
    Session session_;
    TextLibrary texts_{dir_.path(), session_};
    ParameterImage image_;
    OperatingValuesRec values_;
    OutputCurrentsRec currents_;
};

std::string label(const std::string& text) {
    return text + std::string(54 - text.size(), ' ');
}

TEST_F(CircuitLines, ValuesInBaseUnitsStartInOneColumn) {
    values_.Field[6] = 20.5f;
    values_.Field[13] = 1000000.0f;
    values_.Field[14] = 0.5f;
    const auto lines = build();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], label("System A"));
    EXPECT_EQ(lines[1], label("Temperatur") + "  20.5000    °C");
    // Totals are added before formatting.
    EXPECT_EQ(lines[7], label("Normvolumen") + "   1.0000E+6 Nm³");
}

TEST_F(CircuitLines, OperatingTimeAfterFirst51Characters) {
    values_.OperatingTime = 3725;
    const auto lines = build();
    const std::string head =
        std::string("Betriebszeit 1234567890123456789012345678901234567890").substr(0, 51);
    EXPECT_TRUE(contains(lines, head + "     1:02:05    hms"));
    EXPECT_EQ(FormatOperatingTime(0), "     0:00:00    hms");
}

TEST_F(CircuitLines, ExpansionLevelLimitsOutputsAndHeadline) {
    for (int k = 0; k < 4; ++k) image_.Aus_User[static_cast<std::size_t>(k)].Param = 0;
    auto lines = build();
    EXPECT_TRUE(contains(lines, "A3 - N0"));
    for (std::uint8_t level : {ausbaustufe::BasicA2, ausbaustufe::Basic}) {
        image_.System.Ausbaustufe = level;
        lines = build();
        EXPECT_NE(lines[0], label("System A"));
        EXPECT_TRUE(contains(lines, "A0 - N0"));
        EXPECT_FALSE(contains(lines, "A1 - "));
        EXPECT_FALSE(contains(lines, "A3 - "));
    }
}

TEST_F(CircuitLines, OutputSourcesMapToNames) {
    image_.Aus_User[0].Param = 28;
    image_.Aus_User[1].Param = 32;  // not listed
    image_.Aus_User[2].Param = 9;
    image_.Aus_User[3].Param = 5;
    currents_.Current[0] = 12.0f;
    const auto lines = build();
    EXPECT_TRUE(contains(lines, label("A0 - N16") + "  12.0000    mA"));
    EXPECT_FALSE(contains(lines, "A1 - "));
    EXPECT_TRUE(contains(lines, "A2 - N6 "));
    EXPECT_TRUE(contains(lines, "A3 - N5 "));
    const int expected[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    const int codes[] = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 17, 18, 19, 20, 21, 28, 29};
    for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(OutputSourceNameIndex(codes[i]), expected[i]);
}

TEST_F(CircuitLines, FlowKindLines) {
    image_.Flow_User[1].Kind = 1;
    auto lines = build(0, 1);
    EXPECT_TRUE(contains(lines, label("Wirkdruck")));
    EXPECT_TRUE(contains(lines, label("Beiwert") + "   0.0000   "));
    image_.Flow_User[1].Kind = 4;
    lines = build(0, 1);
    EXPECT_FALSE(contains(lines, "Wirkdruck"));
    EXPECT_TRUE(contains(lines, label("Volumenstrom")));
    image_.Flow_User[1].Kind = 3;
    lines = build(0, 1);
    EXPECT_FALSE(contains(lines, "Wirkdruck"));
    EXPECT_FALSE(contains(lines, label("Volumenstrom")));
}

TEST_F(CircuitLines, SecondTemperatureOnlyForEnergyMedia0And2) {
    // The energy library is a copy with the energy signature.
    std::ifstream in(dir_ / "Gasger.txt");
    std::ofstream out(dir_ / "Steamger.txt");
    out << in.rdbuf();
    out.close();
    ResetParameters(image_, 1, false);
    image_.Med_User[0].Kind = 2;
    EXPECT_TRUE(contains(build(1), "Temperatur 2"));
    image_.Med_User[0].Kind = 1;
    EXPECT_FALSE(contains(build(1), "Temperatur 2"));
    image_.Med_User[0].Kind = 0;
    EXPECT_FALSE(contains(build(0), "Temperatur 2"));
}

TEST_F(CircuitLines, ErrorStateGroups) {
    auto tail = [this](int number, std::uint8_t bits) {
        std::vector<std::string> out;
        for (const auto& l : build(0, 0, number, bits)) {
            if (l.rfind("Fehler", 0) == 0) out.push_back(l);
        }
        return out;
    };
    EXPECT_EQ(tail(1, 0x10), std::vector<std::string>{"Fehler R"});
    EXPECT_EQ(tail(1, 0x01), std::vector<std::string>{"Fehler T"});
    EXPECT_EQ(tail(1, 0x03), std::vector<std::string>{"Fehler T"});
    EXPECT_EQ(tail(1, 0xFF).size(), 6u);
    EXPECT_TRUE(tail(0, 0xFF).empty());
    EXPECT_TRUE(tail(-1, 0xFF).empty());
    EXPECT_TRUE(tail(3, 0).empty());
}

TEST_F(CircuitLines, MissingLibraryBlocks) {
    std::filesystem::remove(dir_ / "Gasger.txt");
    EXPECT_TRUE(build().empty());
    std::ofstream lib(dir_ / "Gasger.txt");
    lib << "0=GAS2\n15376=Temperatur\n";
    lib.close();
    values_.Field[9] = 5.0f;
    const auto lines = build();
    // Later blocks missing: empty labels with their values.
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[5], "   5.0000    kg/h");
}

TEST(StaleValuesNote, TimeAndCauseInEachLanguage) {
    const DeviceDateTime read{2026, 3, 7, 9, 5, 2};
    for (int sprache = 0; sprache < 2; ++sprache) {
        Session session;
        session.Sprache = sprache;
        const TextLibrary lib(PARVION_BIN_DIR, session);
        const TextLoader text = [&lib](std::uint16_t n) { return lib.LoadText(n); };
        const std::string withCause = StaleValuesNote(read, "CAUSE", text);
        EXPECT_NE(withCause.find("07.03.2026 09:05:02"), std::string::npos) << withCause;
        EXPECT_EQ(withCause.substr(withCause.size() - 7), ": CAUSE") << withCause;
        EXPECT_EQ(withCause.find('%'), std::string::npos) << withCause;
        // Without a cause the note ends before it, with no dangling colon.
        const std::string bare = StaleValuesNote(read, "", text);
        EXPECT_EQ(withCause.rfind(bare, 0), 0u) << bare;
        EXPECT_NE(bare.back(), ':');
        EXPECT_NE(bare.back(), ' ');
    }
    // A library without the text still gives the time and the cause.
    EXPECT_EQ(StaleValuesNote(read, "x", [](std::uint16_t) { return std::string(); }),
              "07.03.2026 09:05:02: x");
}

}  // namespace
}  // namespace parvion::views
