// The printouts: the header line (the date in the window's form of the
// language, a file name shortened in its middle so that the centred title
// never reaches the date); the parameter page (title, headings, the groups
// of each circuit and their row conditions, alarms, outputs and rules); the
// terminal plan's page, the print jobs of both printouts with their remarks
// pages, and the commissioning record.

#include <gtest/gtest.h>

#include <string>

#include "core/edit/correction.h"
#include "core/model/units.h"
#include "core/print/printouts.h"
#include "print_rig.h"

namespace parvion::test {
namespace {

using print::Placement;
constexpr auto L1 = Placement::LeftLabel;
constexpr auto V1 = Placement::LeftValue;
constexpr auto L2 = Placement::RightLabel;
constexpr auto V2 = Placement::RightValue;

std::size_t Columns(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

TEST(HeaderLine, DateAsTheWindowOfTheLanguageShowsIt) {
    EXPECT_EQ(print::HeaderDateTime({2026, 12, 7, 14, 3, 59}, 0), "07.12.2026 14:03");
    EXPECT_EQ(print::HeaderDateTime({2027, 1, 31, 0, 0, 0}, 1), "2027-01-31 00:00");
}

TEST(HeaderLine, AFileNameNeverRunsIntoTheDate) {
    const std::string longest = std::string(30, 'T');  // the library's titles: 30 at most
    // The title and the file, what the title line must still hold, and
    // whether the file name stays whole.
    const std::tuple<const char*, std::string, std::string, std::string, bool> cases[] = {
        {"short path", "PV-GAS2 basic version", "/srv/anlagen/st7.PGA", "/srv/anlagen/st7.PGA",
         true},
        {"path under the status bar's limit", "PV-GAS2 basic version",
         "/home/me/ab/cd/ef/gh/ij/kl/mn/op/st.PGA", "/home/me/ab/cd/", false},
        {"Windows path", "PV-ENG2 high-end version",
         "C:\\Users\\operator\\Documents\\Parameter\\Kesselhaus West\\Kessel 3.PEG",
         "\\Kessel 3.PEG", false},
        {"no separator", "PV-GAS2 High-End-Version",
         "Stationsparameter-Nord-Dezember-2026-nach-der-Umruestung.PGA", "Umruestung.PGA", false},
        {"umlauts count as one column", "PV-GAS2 Basisversion",
         "/home/bediener/Übergabestation/Größere Anlagen/Gaszähler Süd/Zähler-Übergabe.PGA",
         "Übergabe.PGA", false},
        {"longest title", longest,
         "/home/operator/Stationen/Nord/2026/Dezember/Inbetriebnahme/NORD-7.PGA", "PGA", false},
    };
    // The date takes 16 columns in either language.
    for (const auto& [what, title, file, kept, whole] : cases) {
        SCOPED_TRACE(what);
        print::PrintHeader header;
        header.source.statusText = file;
        header.dateTime = print::HeaderDateTime({2026, 12, 7, 14, 3, 0}, 0);
        const std::string line = print::HeaderTitle(title, header);
        EXPECT_EQ(line.rfind(title + "  ", 0), 0U) << line;
        EXPECT_NE(line.find(kept), std::string::npos) << line;
        EXPECT_EQ(line == title + "  " + file, whole) << line;
        // Centred, the line ends at (C + n) / 2; the date starts at
        // C - 2 - d; two columns stay free.
        const std::size_t n = Columns(line);
        const std::size_t d = Columns(header.dateTime);
        EXPECT_LE((print::kPageColumns + n + 1) / 2 + 2, print::kPageColumns - 2 - d) << line;
    }
    // Online the serial number follows the title as it is.
    print::PrintHeader online;
    online.source.online = true;
    online.source.serialNo = "123456";
    EXPECT_EQ(print::HeaderTitle("PV-GAS2 Basisversion", online),
              "PV-GAS2 Basisversion SerialNo:123456");
}

const print::PrintHeader kOffline{{false, {}, "C:/anlage/kessel.PGA"}, "07.12.2026 06:30"};

print::PrintPage Build(PrintRig& rig) {
    return print::BuildParameterPage(rig.image, rig.session.Medium, rig.pageTexts(), kOffline);
}

TEST(ParameterPrintout, TitleTextFollowsTheExpansionLevel) {
    const std::pair<std::uint8_t, std::uint16_t> cases[] = {
        {0x00, 64}, {0xFE, 65}, {0x3C, 66}, {0xC0, 67}, {0x01, 67}, {0x80, 67}, {0x02, 66}};
    for (const auto& [level, text] : cases) {
        EXPECT_EQ(print::ParameterTitleText(level), text) << int(level);
    }
}

TEST(ParameterPrintout, ExpansionLevelWithoutCircuit2PrintsCircuit1AndOutput1Only) {
    PrintRig rig(medium::Gas);
    rig.image.System.Ausbaustufe = 0xC0;
    for (auto& o : rig.image.Aus_User) o.Param = 0;
    const print::PrintPage page = Build(rig);
    EXPECT_EQ(At(page, 1, Placement::Centre)->rfind(rig.text(67), 0), 0u);
    // Nothing of circuit 2 in the circuit rows, and no heading for it; of
    // the outputs only the first.
    EXPECT_EQ(Texts(page, 3, 50, {L2, V2}), std::vector<std::string>{});
    EXPECT_EQ(At(page, 57, L1), rig.text(8192) + " 1");
    EXPECT_FALSE(At(page, 62, L1));
    EXPECT_EQ(Texts(page, 57, 62, {L2}), std::vector<std::string>{});
}

TEST(ParameterPrintout, HeadingsFollowTheSystemKind) {
    // System kind, expansion level, and the headings of the two halves.
    using Heading = std::optional<std::uint16_t>;
    const std::tuple<std::uint8_t, std::uint8_t, Heading, Heading> cases[] = {
        {0, 0x00, 30720, 30721},        {0, 0xC0, 30720, std::nullopt},
        {1, 0x00, 30722, std::nullopt}, {2, 0x00, 30724, std::nullopt},
        {4, 0x00, 30726, 30727},        {3, 0x00, std::nullopt, std::nullopt},
    };
    for (const auto& [kind, level, wantLeft, wantRight] : cases) {
        PrintRig rig(medium::Gas);
        rig.image.System.Kind = kind;
        rig.image.System.Ausbaustufe = level;
        const print::PrintPage page = Build(rig);
        SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " level " << int(level));
        const auto left = PlacedAt(page, 3, L1);
        ASSERT_EQ(left.has_value(), wantLeft.has_value());
        EXPECT_EQ(At(page, 3, L2), wantRight ? std::optional(rig.text(*wantRight)) : std::nullopt);
        if (left) {
            EXPECT_EQ(left->text, rig.text(*wantLeft));
            EXPECT_TRUE(left->bold);
        }
    }
}

TEST(ParameterPrintout, InputTakenFromTheOtherCircuitNamesItAndHasNoLines) {
    for (int circuit : {0, 1}) {
        PrintRig rig(medium::Gas);
        const auto i = static_cast<std::size_t>(circuit);
        rig.image.T_User[i].Kind = rig.image.P_User[i].Kind = 1;
        rig.image.T_User[i].Eq = rig.image.P_User[i].Eq = 2;
        const print::PrintPage page = Build(rig);
        const auto l = circuit == 0 ? L1 : L2;
        const auto v = circuit == 0 ? V1 : V2;
        const std::string other = circuit == 0 ? " 2" : " 1";
        const auto type = PlacedAt(page, 5, v);
        ASSERT_TRUE(type);
        EXPECT_EQ(type->text, rig.text(2052) + other);
        EXPECT_TRUE(type->bold);
        EXPECT_EQ(At(page, 9, v), rig.text(3076) + other);
        EXPECT_EQ(Texts(page, 6, 8, {l, v}), std::vector<std::string>{});
        EXPECT_EQ(Texts(page, 10, 13, {l, v}), std::vector<std::string>{});
    }
}

TEST(ParameterPrintout, FlowCorrectionOnlyWhenAFactorCorrects) {
    PrintRig rig(medium::Gas);
    for (auto& k : rig.image.FlowKorr) k.Stelle.fill(1.0f);
    rig.image.FlowKorr[1].Stelle[7] = 1.02f;
    const print::PrintPage page = Build(rig);
    EXPECT_EQ(Texts(page, 26, 34, {L1, V1}), std::vector<std::string>{});
    EXPECT_EQ(At(page, 26, L2), rig.text(edit::kCorrectionTexts) + " 2");
    EXPECT_FALSE(At(page, 26, V2));
    EXPECT_EQ(At(page, 27, L2).value().rfind(rig.text(12289), 0), 0u);
    EXPECT_EQ(At(page, 34, L2).value().rfind(rig.text(12296), 0), 0u);
    EXPECT_NE(At(page, 34, V2).value().find("1.0200"), std::string::npos);
    EXPECT_FALSE(At(page, 35, L2));
}

// Which lines each medium kind has: CircuitLines.EveryGroupAndKindHasItsLines;
// here that the page prints them, without plain lines or the gas status.
TEST(ParameterPrintout, MediumLinesByVariantWithoutTheGasCalculationStatus) {
    const std::tuple<int, std::uint8_t, std::size_t> cases[] = {
        {medium::Gas, 6, 4}, {medium::Gas, 0, 0}, {medium::Energy, 4, 5}, {medium::Energy, 5, 0}};
    for (const auto& [med, kind, lines] : cases) {
        PrintRig rig(med);
        rig.image.Med_User[0].Kind = kind;
        const print::PrintPage page = Build(rig);
        SCOPED_TRACE(testing::Message() << med << "/" << int(kind));
        EXPECT_EQ(At(page, 36, V1), rig.text(static_cast<std::uint16_t>(5121 + kind)));
        const auto rows = Texts(page, 37, 42, {L1, V1});
        EXPECT_EQ(rows.size(), 2 * lines);
        for (const auto& r : rows) EXPECT_EQ(r.find("ISO"), std::string::npos) << r;
    }
}

// A pulse output of a kind above 128, and one whose value stands alone; a
// constant-current output with the one line its page shows.
TEST(ParameterPrintout, PulseAndConstantCurrentOutputs) {
    PrintRig rig(medium::Gas);
    rig.image.Imp_User[0].Kind = 129;
    rig.image.Imp_User[1].Kind = 1;
    rig.image.Imp_User[1].Compare = 10;
    rig.image.Aus_User[0].Param = 0;
    rig.image.Aus_User[0].Konstant = 125;
    const print::PrintPage page = Build(rig);
    EXPECT_EQ(At(page, 43, V1), rig.text(6146));
    EXPECT_FALSE(At(page, 44, V1));
    EXPECT_EQ(At(page, 43, V2), rig.text(6146));
    EXPECT_FALSE(At(page, 44, L2));
    EXPECT_EQ(At(page, 44, V2), rig.pageTexts().values(quantity::Total, true, false, 10));

    EXPECT_FALSE(At(page, 57, V1));
    EXPECT_EQ(At(page, 58, L1).value().rfind(rig.text(8227), 0), 0u);
    EXPECT_EQ(At(page, 58, V1), rig.pageTexts().values(quantity::Current, true, false, 12.5f));
    EXPECT_FALSE(At(page, 59, L1));
}

TEST(ParameterPrintout, ReferenceConditionsLeftOutForKind4) {
    for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{4}}) {
        for (int med : {medium::Gas, medium::Energy}) {
            PrintRig rig(med);
            rig.image.System.Kind = kind;
            const print::PrintPage page = Build(rig);
            // Gas adds the factor line to temperature and pressure.
            const std::size_t perCircuit = kind == 4 ? 0 : (med == medium::Gas ? 4 : 3);
            EXPECT_EQ(Texts(page, 46, 50, {L1}).size(), perCircuit) << int(kind) << med;
            if (kind == 0) {
                EXPECT_EQ(At(page, 46, L1), rig.text(20480));
            }
        }
    }
}

print::PrintPage Plan(PrintRig& rig) {
    return print::BuildTerminalPlanPage(rig.image, rig.pageTexts(), kOffline);
}

void SetInputs(PrintRig& rig, int c, std::uint8_t t, std::uint8_t p, std::uint8_t flow) {
    const auto i = static_cast<std::size_t>(c);
    rig.image.T_User[i].Kind = t;
    rig.image.T_User[i].Eq = 0;
    rig.image.P_User[i].Kind = p;
    rig.image.P_User[i].Eq = 0;
    rig.image.Flow_User[i].Kind = flow;
}

TEST(TerminalPlan, SingleCircuitDeviceFillsTheLeftHalfOnly) {
    PrintRig rig(medium::Gas);
    rig.image.System.Ausbaustufe = 0xC0;
    SetInputs(rig, 0, 1, 1, 2);
    SetInputs(rig, 1, 2, 1, 5);
    const print::PrintPage page = Plan(rig);
    const std::vector<std::string> left = {"10:1:" + rig.text(31233) + "1", "10:2:A4[+] A5[-]",
                                           "11:1:" + rig.text(31235) + "1", "11:2:A6[+] A7[-]",
                                           "12:1:" + rig.text(31241) + "1", "12:2:A8[+] A9[-]"};
    EXPECT_EQ(Texts(page, 10, 15, {L1, V1}), left);
    EXPECT_EQ(Texts(page, 10, 15, {L2, V2}), std::vector<std::string>{});
    // Of the analog outputs only the first.
    EXPECT_EQ(Texts(page, 19, 20, {L1, V1, L2, V2}),
              (std::vector<std::string>{"19:1:" + rig.text(31244) + "1", "19:2:A12[+] A13[-]"}));
}

TEST(TerminalPlan, MultiTransmitterMeteringListsItsTransmitters) {
    // System kind, transmitters, the text of the first, and the terminals.
    const std::tuple<std::uint8_t, std::uint8_t, std::uint16_t, std::vector<std::string>> cases[] =
        {
            {1, 3, 31236, {"A8[+] A9[-]", "B4[+] B5[-]", "B6[+] B7[-]"}},
            {2, 4, 31237, {"A8[+] A9[-]", "B4[+] B5[-]", "B6[+] B7[-]", "B8[+] B9[-]"}},
            {1, 1, 31236, {"A8[+] A9[-]"}},
        };
    for (const auto& [systemKind, anzahl, first, want] : cases) {
        PrintRig rig(medium::Gas);
        rig.image.System.Kind = systemKind;
        rig.image.System.Anzahl = anzahl;
        SetInputs(rig, 0, 0, 0, 1);
        SetInputs(rig, 1, 1, 1, 1);
        const print::PrintPage page = Plan(rig);
        std::vector<std::string> terminals;
        for (int row = 12; row <= 15; ++row) {
            if (auto t = At(page, row, V1)) terminals.push_back(*t);
        }
        EXPECT_EQ(terminals, want);
        EXPECT_EQ(At(page, 12, L1), rig.text(first));
        if (anzahl > 1) {
            EXPECT_EQ(At(page, 13, L1), rig.text(31238));
        }
        EXPECT_EQ(Texts(page, 10, 15, {L2, V2}), std::vector<std::string>{});
    }
}

TEST(TerminalPlan, RowConditionsOfEachCircuit) {
    const struct {
        std::uint8_t tKind, tEq, pKind, pEq, flow;
        std::optional<std::string> row10, row11, row12;
    } cases[] = {
        {1, 2, 1, 0, 0, std::nullopt, "B6[+] B7[-]", std::nullopt},
        {2, 0, 0, 0, 5, "B1[A] B2[B] B3[b]", std::nullopt, "B10[+] B11[-]"},
        {3, 0, 2, 2, 3, "B1[A] B2[B] B3[b]", std::nullopt, "B8[+] B9[-]"},
        {0, 0, 1, 1, 4, std::nullopt, "B6[+] B7[-]", "B8[+] B9[-]"},
    };
    for (const auto& c : cases) {
        PrintRig rig(medium::Energy);
        SetInputs(rig, 1, c.tKind, c.pKind, c.flow);
        rig.image.T_User[1].Eq = c.tEq;
        rig.image.P_User[1].Eq = c.pEq;
        const print::PrintPage page = Plan(rig);
        SCOPED_TRACE(testing::Message()
                     << int(c.tKind) << int(c.tEq) << int(c.pKind) << int(c.flow));
        EXPECT_EQ(At(page, 10, V2), c.row10);
        EXPECT_EQ(At(page, 11, V2), c.row11);
        EXPECT_EQ(At(page, 12, V2), c.row12);
        if (c.row12) {
            EXPECT_EQ(At(page, 12, L2)->back(), '2');
        }
    }
}

TEST(PrintJobs, TerminalPlanCopiesAreJobsEachWithItsRemarks) {
    // Copies asked for and the remark lines; the jobs and the pages of each.
    const std::tuple<int, std::vector<std::string>, std::size_t, std::size_t> cases[] = {
        {3, {"Zeile A", "Zeile B"}, 3, 2}, {1, {}, 1, 1}, {0, {"x"}, 1, 2}};
    for (const auto& [copies, remarks, jobCount, pages] : cases) {
        PrintRig rig(medium::Gas);
        rig.image.Bemerkung = remarks;
        const auto jobs = print::TerminalPlanJobs(rig.image, rig.pageTexts(), kOffline, copies);
        ASSERT_EQ(jobs.size(), jobCount);
        for (const auto& job : jobs) {
            EXPECT_EQ(job.title, "Klemmenplan");
            ASSERT_EQ(job.pages.size(), pages);
            if (pages == 2) {
                EXPECT_EQ(At(job.pages[1], 3, L1), remarks[0]);
                EXPECT_EQ(At(job.pages[1], 2 + static_cast<int>(remarks.size()), L1),
                          remarks.back());
            }
        }
    }
}

TEST(CommissioningRecord, IdentityPageFromADeviceAndFromAFile) {
    PrintRig rig(medium::Gas);
    print::DeviceIdentity id;
    id.fromDevice = true;
    id.ident = "PV-GAS2 ";
    id.programText = "V2.31 03/2026   ";
    id.serialNo = "0004711         ";
    id.deviceClock = DeviceDateTime{2026, 12, 7, 6, 30, 12};
    id.clockOffsetDays = 12.0 / 86400.0;
    id.computerClock = "07.12.2026 06:30:00";
    const auto record = [&](const print::DeviceIdentity& identity, int sprache) {
        return print::CommissioningRecordJob(rig.image, rig.session.Medium, rig.pageTexts(),
                                             kOffline, identity, sprache);
    };
    auto job = record(id, 1);
    ASSERT_EQ(job.pages.size(), 3u);
    EXPECT_EQ(job.title, "Commissioning record");
    const auto& first = job.pages[0];
    EXPECT_EQ(At(first, 1, Placement::Centre), "Commissioning record");
    EXPECT_EQ(At(first, 4, L2), "PV-GAS2");
    EXPECT_EQ(At(first, 6, L2), "0004711");
    EXPECT_EQ(At(first, 8, L2), "07.12.2026 06:30:12");
    EXPECT_EQ(At(first, 10, L2), "+12 s");

    id.deviceClock.reset();
    job = record(id, 0);
    EXPECT_EQ(job.title, "Inbetriebnahmeprotokoll");
    EXPECT_EQ(At(job.pages[0], 8, L2), "nicht lesbar");
    EXPECT_FALSE(At(job.pages[0], 10, L2));

    print::DeviceIdentity file;
    file.fileName = "anlage.PGA";
    rig.image.Bemerkung = {"r"};
    job = record(file, 1);
    ASSERT_EQ(job.pages.size(), 4u);
    EXPECT_EQ(At(job.pages[0], 6, L2), "anlage.PGA");
}

TEST(CommissioningRecord, ClockDifference) {
    for (const auto& [seconds, text] : {std::pair<double, const char*>{0, "+0 s"},
                                        {-3, "-3 s"},
                                        {59.4, "+59 s"},
                                        {3725, "+01:02:05"},
                                        {-(2 * 86400 + 3605), "-2 d 01:00:05"}}) {
        EXPECT_EQ(print::ClockDifferenceText(seconds / 86400.0), text);
    }
    EXPECT_EQ(print::ClockDifferenceText(std::numeric_limits<double>::quiet_NaN()), "?");
}

}  // namespace
}  // namespace parvion::test
