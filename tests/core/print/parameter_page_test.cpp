// The parameter printout's page: title, headings, the groups of each
// circuit and their row conditions, alarms, outputs and rules.

#include <gtest/gtest.h>

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

const print::PrintHeader kOffline{{false, {}, "C:/anlage/kessel.PGA"}, "07.12.2026 06:30"};

print::PrintPage Build(PrintRig& rig, const print::PrintHeader& header = kOffline) {
    return print::BuildParameterPage(rig.image, rig.session.Medium, rig.pageTexts(), header);
}

TEST(ParameterPrintout, TitleTextFollowsTheExpansionLevel) {
    struct Case {
        std::uint8_t level;
        std::uint16_t text;
    };
    for (const Case c : {Case{0x00, 64}, Case{0xFE, 65}, Case{0x3C, 66}, Case{0xC0, 67},
                         Case{0x01, 67}, Case{0x80, 67}, Case{0x02, 66}}) {
        EXPECT_EQ(print::ParameterTitleText(c.level), c.text) << int(c.level);
    }
}

TEST(ParameterPrintout, ExpansionLevelWithoutCircuit2PrintsCircuit1AndOutput1Only) {
    PrintRig rig(medium::Gas);
    rig.image.System.Ausbaustufe = 0xC0;
    for (auto& o : rig.image.Aus_User) o.Param = 0;
    const print::PrintPage page = Build(rig);
    EXPECT_EQ(At(page, 1, Placement::Centre)->rfind(rig.text(67), 0), 0u);
    // Nothing of circuit 2 in the circuit rows, and no heading for it.
    EXPECT_EQ(Texts(page, 3, 50, {L2, V2}), std::vector<std::string>{});
    EXPECT_EQ(At(page, 3, L1), rig.text(30720));
    EXPECT_EQ(At(page, 57, L1), rig.text(8192) + " 1");
    EXPECT_FALSE(At(page, 62, L1));
    EXPECT_FALSE(At(page, 57, L2));
    EXPECT_FALSE(At(page, 62, L2));
}

TEST(ParameterPrintout, HeadingsFollowTheSystemKind) {
    struct Case {
        std::uint8_t kind;
        std::uint8_t level;
        std::optional<std::uint16_t> left, right;
    };
    const Case cases[] = {
        {0, 0x00, 30720, 30721},        {0, 0xC0, 30720, std::nullopt},
        {1, 0x00, 30722, std::nullopt}, {2, 0x00, 30724, std::nullopt},
        {4, 0x00, 30726, 30727},        {3, 0x00, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        PrintRig rig(medium::Gas);
        rig.image.System.Kind = c.kind;
        rig.image.System.Ausbaustufe = c.level;
        const print::PrintPage page = Build(rig);
        SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " level " << int(c.level));
        const auto left = PlacedAt(page, 3, L1);
        const auto right = PlacedAt(page, 3, L2);
        ASSERT_EQ(left.has_value(), c.left.has_value());
        ASSERT_EQ(right.has_value(), c.right.has_value());
        if (left) {
            EXPECT_EQ(left->text, rig.text(*c.left));
            EXPECT_TRUE(left->bold);
        }
        if (right) {
            EXPECT_EQ(right->text, rig.text(*c.right));
        }
    }
}

TEST(ParameterPrintout, InputTakenFromTheOtherCircuitNamesItAndHasNoLines) {
    for (int circuit : {0, 1}) {
        PrintRig rig(medium::Gas);
        auto& t = rig.image.T_User[static_cast<std::size_t>(circuit)];
        t.Kind = 1;
        t.Eq = 2;
        auto& p = rig.image.P_User[static_cast<std::size_t>(circuit)];
        p.Kind = 1;
        p.Eq = 2;
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

TEST(ParameterPrintout, MediumLinesByVariantWithoutTheGasCalculationStatus) {
    struct Case {
        int medium;
        std::uint8_t kind;
        std::size_t lines;
    };
    for (const Case c :
         {Case{medium::Gas, 6, 4}, Case{medium::Gas, 7, 4}, Case{medium::Gas, 8, 2},
          Case{medium::Gas, 0, 0}, Case{medium::Energy, 1, 1}, Case{medium::Energy, 3, 2},
          Case{medium::Energy, 4, 5}, Case{medium::Energy, 5, 0}, Case{medium::Energy, 6, 0}}) {
        PrintRig rig(c.medium);
        rig.image.Med_User[0].Kind = c.kind;
        const print::PrintPage page = Build(rig);
        SCOPED_TRACE(testing::Message() << c.medium << "/" << int(c.kind));
        EXPECT_EQ(At(page, 36, V1), rig.text(static_cast<std::uint16_t>(5121 + c.kind)));
        const auto rows = Texts(page, 37, 42, {L1, V1});
        EXPECT_EQ(rows.size(), 2 * c.lines);
        for (const auto& r : rows) EXPECT_EQ(r.find("ISO"), std::string::npos) << r;
    }
}

TEST(ParameterPrintout, PulseOutputKindAbove128AndTheValueAlone) {
    PrintRig rig(medium::Gas);
    rig.image.Imp_User[0].Kind = 129;
    rig.image.Imp_User[1].Kind = 1;
    rig.image.Imp_User[1].Compare = 10;
    const print::PrintPage page = Build(rig);
    EXPECT_EQ(At(page, 43, V1), rig.text(6146));
    EXPECT_FALSE(At(page, 44, V1));
    EXPECT_EQ(At(page, 43, V2), rig.text(6146));
    EXPECT_FALSE(At(page, 44, L2));
    EXPECT_EQ(At(page, 44, V2), rig.pageTexts().values(quantity::Total, true, false, 10));
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

TEST(ParameterPrintout, ConstantCurrentOutputHasOneLineLabelledAsOnItsPage) {
    PrintRig rig(medium::Gas);
    rig.image.Aus_User[0].Param = 0;
    rig.image.Aus_User[0].Konstant = 125;
    const print::PrintPage page = Build(rig);
    EXPECT_FALSE(At(page, 57, V1));
    EXPECT_EQ(At(page, 58, L1).value().rfind(rig.text(8227), 0), 0u);
    EXPECT_EQ(At(page, 58, V1), rig.pageTexts().values(quantity::Current, true, false, 12.5f));
    EXPECT_FALSE(At(page, 59, L1));
}

}  // namespace
}  // namespace parvion::test
