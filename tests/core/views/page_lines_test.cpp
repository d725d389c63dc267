// Lines of the read-only pages: the about box; the live-value pages, built
// from a real string library file and the real value formatting; the
// error-protocol page (ring order, entry texts, the groups of an absent
// circuit 2, the names of one-circuit systems) and its file; the integrator
// page.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>

#include "core/app/texts.h"
#include "core/model/defaults.h"
#include "core/model/value_format.h"
#include "core/views/about_lines.h"
#include "core/views/circuit_values.h"
#include "core/views/error_protocol_lines.h"
#include "core/views/integrator_lines.h"
#include "support/temp_dir.h"

namespace parvion::views {
namespace {

std::string text(std::uint16_t n) {
    return "T" + std::to_string(n);
}

TEST(AboutLines, OfflineOrWithTheDevicesLevelProgramAndSerial) {
    EXPECT_EQ(BuildAboutLines(text, std::nullopt),
              (std::vector<std::string>{"T32 V02.45", "T33", "", "T41", "T42", "T43"}));
    // The device sends Windows-1252 bytes; the memo shows them as the
    // characters they stand for, never as invalid UTF-8.
    // Level, program text and serial number, and lines 3 and 4 they give.
    const std::tuple<std::uint8_t, std::string, const char*, const char*, const char*> cases[] = {
        {0x3C, std::string("AB 12\x01", 6), "4711", "T37 AB12", "T40 4711"},
        {0x00, "Z\xE4hler \x80\x96", "N\xBA 7", "T39 Z\u00E4hler\u20AC\u2013", "T40 N\u00BA 7"},
    };
    for (const auto& [level, program, serial, line3, line4] : cases) {
        const auto lines = BuildAboutLines(text, AboutDeviceInfo{level, program, serial});
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(std::tuple(lines[2], lines[3], lines[4]), std::tuple("", line3, line4));
    }
    EXPECT_EQ(ExpansionLevelText(0xC0), 38);
    EXPECT_EQ(ExpansionLevelText(0xFE), 36);
    EXPECT_EQ(VisibleProgramText("\xE4x y"), "\xE4xy");
}

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

TEST_F(CircuitLines, ValuesInBaseUnitsStartInOneColumnAndTheOperatingTimeAfter51Characters) {
    values_.Field[6] = 20.5f;
    values_.Field[13] = 1000000.0f;
    values_.Field[14] = 0.5f;
    values_.OperatingTime = 3725;
    const auto lines = build();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], label("System A"));
    EXPECT_EQ(lines[1], label("Temperatur") + "  20.5000    °C");
    // Totals are added before formatting.
    EXPECT_EQ(lines[7], label("Normvolumen") + "   1.0000E+6 Nm³");
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
    // The names in the order of the codes.
    const int codes[] = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 17, 18, 19, 20, 21, 28, 29};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(OutputSourceNameIndex(codes[i]), i) << codes[i];
}

TEST_F(CircuitLines, FlowKindLines) {
    // Kind: the orifice's lines shown, the volume flow shown (kinds 3, 4).
    for (const auto& [kind, orifice, volume] :
         {std::tuple{1, true, false}, {4, false, true}, {3, false, false}}) {
        image_.Flow_User[1].Kind = static_cast<std::uint8_t>(kind);
        const auto lines = build(0, 1);
        EXPECT_EQ(contains(lines, orifice ? label("Wirkdruck") : "Wirkdruck"), orifice) << kind;
        EXPECT_TRUE(!orifice || contains(lines, label("Beiwert") + "   0.0000   ")) << kind;
        EXPECT_TRUE(kind == 1 || contains(lines, label("Volumenstrom")) == volume) << kind;
    }
}

TEST_F(CircuitLines, SecondTemperatureOnlyForEnergyMedia0And2) {
    // The energy library is a copy with the energy signature.
    std::ifstream in(dir_ / "Gasger.txt");
    std::ofstream out(dir_ / "Steamger.txt");
    out << in.rdbuf();
    out.close();
    ResetParameters(image_, 1, false);
    for (const auto& [medium, kind, shown] :
         {std::tuple{1, 2, true}, std::tuple{1, 1, false}, std::tuple{0, 0, false}}) {
        image_.Med_User[0].Kind = static_cast<std::uint8_t>(kind);
        EXPECT_EQ(contains(build(medium), "Temperatur 2"), shown) << medium << "/" << kind;
    }
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

DeviceDateTime At(int day, int hour) {
    return {2024, 3, static_cast<std::uint16_t>(day), static_cast<std::uint16_t>(hour), 5, 6};
}

std::string Texts(std::uint16_t n) {
    if (n == 17440) return "(active)";
    if (n == 17441) return "(open)";
    if (n == 17442) return "-->";
    return {};
}

// Texts "<prefix><number>", numbered from `base`, padded as the library pads
// them.
BlockLoader Padded(std::string prefix, int base) {
    return [=](std::uint16_t first, std::uint8_t width, TextBlock& t) {
        for (std::size_t i = 0; i < t.size(); ++i) {
            t[i] = prefix + std::to_string(first + static_cast<int>(i) - base);
            if (t[i].size() < width) t[i].append(width - t[i].size(), ' ');
        }
        return true;
    };
}
const BlockLoader Names = Padded("G", 0);  // group names "G17408"

TEST(ErrorProtocolOrder, StartsAtAnActiveRingPositionElseTheSlotBefore) {
    ErrorProtocolRec p;
    p.RingPos[0] = 3;
    p.Entry[0][3].Active = 1;
    using Order = std::array<std::size_t, 8>;
    EXPECT_EQ(ErrorEntryOrder(p, 0), (Order{3, 2, 1, 0, 7, 6, 5, 4}));
    // Not active: the slot before (ErrorProtocolLines below); before slot 0
    // the ring continues at slot 7, and a ring position beyond 7 names a slot
    // modulo 8.
    p.RingPos[1] = 8;
    EXPECT_EQ(ErrorEntryOrder(p, 1), (Order{7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST(ErrorProtocolEntry, SecondEndedAndEmptyEntries) {
    ErrorEntry e;
    e.Start = At(1, 10);
    e.End = At(1, 12);
    const std::string start = FormatDeviceDateTime(e.Start);
    const std::string end = FormatDeviceDateTime(e.End);

    // Active and ended entries: ErrorProtocolLines below.
    e.Second = 1;
    EXPECT_EQ(ErrorEntryLine(e, "A", "B", "C"), start + "C" + end + std::string(12, ' '));
    ErrorEntry none;
    none.End = At(2, 1);  // an end without a start day gives nothing
    EXPECT_EQ(ErrorEntryLine(none, "A", "B", "C"), "");
}

TEST(ErrorProtocolLines, EveryGroupHasItsNameItsEntriesAndAnEmptyLine) {
    ErrorProtocolRec p;
    p.RingPos[2] = 1;
    p.Entry[2][1].Start = At(5, 8);
    p.Entry[2][1].End = At(5, 9);
    p.Entry[2][0].Start = At(4, 8);
    p.Entry[2][0].Active = 1;
    SystemRec sys;
    const auto lines = BuildErrorProtocolLines(p, sys, Texts, Names);
    ASSERT_EQ(lines.size(), 16u * 2 + 2);
    EXPECT_EQ(lines[0], "G17408" + std::string(22, ' '));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[4], "G17410" + std::string(22, ' '));
    // Slot 1 is not active, so the list starts at slot 0 and ends with slot 1.
    EXPECT_EQ(lines[6],
              FormatDeviceDateTime(At(5, 8)) + "-->" + FormatDeviceDateTime(At(5, 9)) + "(open)");
    EXPECT_EQ(lines[5], FormatDeviceDateTime(At(4, 8)) + std::string(24, ' ') + "(active)");
    EXPECT_EQ(lines[7], "");
}

TEST(ErrorProtocolLines, WithoutCircuit2ElevenGroupsAndOneCircuitSystemsUseTheirNames) {
    ErrorProtocolRec p;
    SystemRec sys;
    sys.Ausbaustufe = ausbaustufe::BasicA2;
    auto lines = BuildErrorProtocolLines(p, sys, Texts, Names);
    std::vector<std::string> names;
    for (const auto& l : lines) {
        if (!l.empty()) names.push_back(l.substr(0, 6));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"G17408", "G17409", "G17410", "G17411", "G17416", "G17417",
                                        "G17418", "G17420", "G17421", "G17422", "G17423"}));
    sys.Ausbaustufe = 0;
    sys.Kind = 2;
    lines = BuildErrorProtocolLines(p, sys, Texts, Names);
    EXPECT_EQ(lines.front().substr(0, 6), "G17424");
}

TEST(ErrorProtocolFile, ReplacesTheWholeFileOrLeavesItAsItWas) {
    parvion::test::TempDir dir;
    const auto file = dir / "ErrorListe.txt";
    const auto count = [&] {
        return std::distance(std::filesystem::directory_iterator(dir.path()),
                             std::filesystem::directory_iterator());
    };
    parvion::test::writeFileBytes(file, "an older and much longer list\r\nof lines\r\n");
    std::string error;
    ASSERT_TRUE(SaveErrorProtocolFile(file, {"G1", "", "01.02.2024 03:04:05 -->"}, &error))
        << error;
    EXPECT_EQ(parvion::test::readFileBytes(file), "G1\r\n\r\n01.02.2024 03:04:05 -->\r\n");
    EXPECT_EQ(count(), 1);

    // A folder that does not exist: nothing is created, the reason names the file.
    const auto missing = dir / "missing" / "e.txt";
    EXPECT_FALSE(SaveErrorProtocolFile(missing, {"x"}, &error));
    EXPECT_NE(error.find(missing.string()), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    // A name taken by a folder cannot be replaced: the folder and its
    // contents stay, and no half-written file is left beside it.
    const auto taken = dir / "taken";
    std::filesystem::create_directory(taken);
    parvion::test::writeFileBytes(taken / "inside", "kept");
    EXPECT_FALSE(SaveErrorProtocolFile(taken, {"x"}, &error));
    EXPECT_EQ(parvion::test::readFileBytes(taken / "inside"), "kept");
    EXPECT_EQ(count(), 2);
    EXPECT_FALSE(SaveErrorProtocolFile({}, {"x"}));
}

const BlockLoader Labels = Padded("L", 18432);  // "L0" for the block's first text

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
