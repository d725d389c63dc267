// The terminal plan's page, the print jobs of both printouts with their
// remarks pages, and the commissioning record.

#include <gtest/gtest.h>

#include "core/print/printouts.h"
#include "print_rig.h"

namespace parvion::test {
namespace {

using print::Placement;
constexpr auto L1 = Placement::LeftLabel;
constexpr auto V1 = Placement::LeftValue;
constexpr auto L2 = Placement::RightLabel;
constexpr auto V2 = Placement::RightValue;

const print::PrintHeader kHeader{{false, {}, "anlage.PEG"}, "07.12.2026 06:30"};

print::PrintPage Plan(PrintRig& rig) {
    return print::BuildTerminalPlanPage(rig.image, rig.pageTexts(), kHeader);
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
    struct Case {
        std::uint8_t systemKind, anzahl;
        std::uint16_t first;
        std::vector<std::string> terminals;
    };
    const Case cases[] = {
        {1, 3, 31236, {"A8[+] A9[-]", "B4[+] B5[-]", "B6[+] B7[-]"}},
        {2, 4, 31237, {"A8[+] A9[-]", "B4[+] B5[-]", "B6[+] B7[-]", "B8[+] B9[-]"}},
        {1, 1, 31236, {"A8[+] A9[-]"}},
    };
    for (const Case& c : cases) {
        PrintRig rig(medium::Gas);
        rig.image.System.Kind = c.systemKind;
        rig.image.System.Anzahl = c.anzahl;
        SetInputs(rig, 0, 0, 0, 1);
        SetInputs(rig, 1, 1, 1, 1);
        const print::PrintPage page = Plan(rig);
        std::vector<std::string> terminals;
        for (int row = 12; row <= 15; ++row) {
            if (auto t = At(page, row, V1)) terminals.push_back(*t);
        }
        EXPECT_EQ(terminals, c.terminals);
        EXPECT_EQ(At(page, 12, L1), rig.text(c.first));
        if (c.anzahl > 1) {
            EXPECT_EQ(At(page, 13, L1), rig.text(31238));
        }
        EXPECT_EQ(Texts(page, 10, 15, {L2, V2}), std::vector<std::string>{});
    }
}

TEST(TerminalPlan, RowConditionsOfEachCircuit) {
    struct Case {
        std::uint8_t tKind, tEq, pKind, pEq, flow;
        std::optional<std::string> row10, row11, row12;
    };
    const Case cases[] = {
        {1, 2, 1, 0, 0, std::nullopt, "B6[+] B7[-]", std::nullopt},
        {2, 0, 0, 0, 5, "B1[A] B2[B] B3[b]", std::nullopt, "B10[+] B11[-]"},
        {3, 0, 2, 2, 3, "B1[A] B2[B] B3[b]", std::nullopt, "B8[+] B9[-]"},
        {0, 0, 1, 1, 4, std::nullopt, "B6[+] B7[-]", "B8[+] B9[-]"},
    };
    for (const Case& c : cases) {
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
    struct Case {
        int copies;
        std::vector<std::string> remarks;
        std::size_t jobs, pages;
    };
    for (const Case& c : {Case{3, {"Zeile A", "Zeile B"}, 3, 2}, Case{1, {}, 1, 1},
                          Case{0, {"x"}, 1, 2}, Case{2, {}, 2, 1}}) {
        PrintRig rig(medium::Gas);
        rig.image.Bemerkung = c.remarks;
        const auto jobs = print::TerminalPlanJobs(rig.image, rig.pageTexts(), kHeader, c.copies);
        ASSERT_EQ(jobs.size(), c.jobs);
        for (const auto& job : jobs) {
            EXPECT_EQ(job.title, "Klemmenplan");
            ASSERT_EQ(job.pages.size(), c.pages);
            if (c.pages == 2) {
                EXPECT_EQ(At(job.pages[1], 3, L1), c.remarks[0]);
                EXPECT_EQ(At(job.pages[1], 2 + static_cast<int>(c.remarks.size()), L1),
                          c.remarks.back());
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
    auto job = print::CommissioningRecordJob(rig.image, rig.session.Medium, rig.pageTexts(),
                                             kHeader, id, 1);
    ASSERT_EQ(job.pages.size(), 3u);
    EXPECT_EQ(job.title, "Commissioning record");
    const auto& first = job.pages[0];
    EXPECT_EQ(At(first, 1, Placement::Centre), "Commissioning record");
    EXPECT_EQ(At(first, 4, L2), "PV-GAS2");
    EXPECT_EQ(At(first, 6, L2), "0004711");
    EXPECT_EQ(At(first, 8, L2), "07.12.2026 06:30:12");
    EXPECT_EQ(At(first, 10, L2), "+12 s");

    id.deviceClock.reset();
    job = print::CommissioningRecordJob(rig.image, rig.session.Medium, rig.pageTexts(), kHeader, id,
                                        0);
    EXPECT_EQ(job.title, "Inbetriebnahmeprotokoll");
    EXPECT_EQ(At(job.pages[0], 8, L2), "nicht lesbar");
    EXPECT_FALSE(At(job.pages[0], 10, L2));

    print::DeviceIdentity file;
    file.fileName = "anlage.PGA";
    rig.image.Bemerkung = {"r"};
    job = print::CommissioningRecordJob(rig.image, rig.session.Medium, rig.pageTexts(), kHeader,
                                        file, 1);
    ASSERT_EQ(job.pages.size(), 4u);
    EXPECT_EQ(At(job.pages[0], 6, L2), "anlage.PGA");
}

TEST(CommissioningRecord, ClockDifference) {
    struct Case {
        double seconds;
        const char* text;
    };
    for (const Case c : {Case{0, "+0 s"}, Case{-3, "-3 s"}, Case{59.4, "+59 s"},
                         Case{3725, "+01:02:05"}, Case{-(2 * 86400 + 3605), "-2 d 01:00:05"}}) {
        EXPECT_EQ(print::ClockDifferenceText(c.seconds / 86400.0), c.text);
    }
    EXPECT_EQ(print::ClockDifferenceText(std::numeric_limits<double>::quiet_NaN()), "?");
}

}  // namespace
}  // namespace parvion::test
