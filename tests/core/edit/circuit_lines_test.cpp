// The lines of the circuit page's groups for every kind, gas and energy:
// which field each line edits, its quantity and limits (some follow other
// fields), and the texts the lists show with the real string library.

#include <gtest/gtest.h>

#include "core/edit/circuit_page.h"
#include "core/model/units.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;

// One line in a few words: "T_User0 Max q0 -273.15..1500 L1", "plain L2
// property 1", "status ISO ... OK".
std::string Describe(const CircuitLine& line) {
    const std::string label = " L" + std::to_string(line.label);
    switch (line.kind) {
        case LineKind::Status:
            return "status " + line.status;
        case LineKind::Plain:
            return "plain" + label +
                   (line.action == LineAction::PropertyTable
                        ? " property " + std::to_string(line.tableTag)
                    : line.action == LineAction::SaturationTable ? " saturation"
                                                                 : " none");
        case LineKind::Value:
        case LineKind::Frequency:
            break;
    }
    EXPECT_EQ(line.action, LineAction::Dialog);
    EXPECT_EQ(line.quantity, line.editQuantity);
    return std::string(line.kind == LineKind::Frequency ? "freq " : "") + SettingName(line.field) +
           " q" + std::to_string(line.editQuantity) + " " +
           FormatGeneral(static_cast<double>(line.min), 7) + ".." +
           FormatGeneral(static_cast<double>(line.max), 7) + label;
}

TEST(CircuitLines, EveryGroupAndKindHasItsLines) {
    using G = CircuitGroup;
    const int gas = medium::Gas;
    const int energy = medium::Energy;
    struct Case {
        int medium;
        CircuitGroup group;
        int circuit;
        const char* setup;
        const char* lines;  // joined by "; "
    };
    const Case cases[] = {
        {gas, G::Temperature, 0, "T_User0 Kind=0", "T_User0 Konst q0 -273.15..1500 L0"},
        {gas, G::Temperature, 1, "T_User1 Kind=1 Eq=2", ""},  // from the other circuit
        {gas, G::Temperature, 1, "T_User1 Kind=1 Eq=1",       // feeding the other circuit
         "T_User1 Min q0 -273.15..1500 L0; T_User1 Max q0 -273.15..1500 L1"},
        {gas, G::Pressure, 0, "P_User0 Kind=0", "P_User0 Konst q1 0..100000 L0"},
        {gas, G::Pressure, 0, "P_User0 Kind=1",
         "P_User0 Min q1 0..100000 L0; P_User0 Max q1 0..100000 L1; P_User0 Hyd q1 90..120 L2"},
        {gas, G::Pressure, 0, "P_User0 Kind=2",
         "P_User0 Min q1 0..100000 L0; P_User0 Max q1 0..100000 L1"},
        {gas, G::Pressure, 0, "P_User0 Kind=1 Eq=2", ""},
        // Orifice with four transmitters: each limit follows the one before.
        {gas, G::Flow, 0,
         "Flow_User0 Kind=1 System Kind=2 Anzahl=4 Des_User0 Desdp=40 Desdp2=30 Desdp3=20",
         "Des_User0 Desdp q1 0..1000 L0; Des_User0 DesQN q3 0..1E7 L1; "
         "Des_User0 DesT q0 -273.15..1500 L2; Des_User0 Desp q1 0..100000 L3; "
         "Flow_User0 Exp_zahl q255 0.5..1 L4; Flow_User0 Schleich q1 0..40 L5; "
         "Des_User0 Desdp2 q1 0..40 L6; Des_User0 Desdp3 q1 0..30 L7; "
         "Des_User0 Desdp4 q1 0..20 L8"},
        // Circuit 2: the further transmitters stay those of circuit 1.
        {gas, G::Flow, 1,
         "Flow_User1 Kind=1 System Kind=1 Anzahl=3 Des_User0 Desdp=40 Desdp2=30 Des_User1 "
         "Desdp=55",
         "Des_User1 Desdp q1 0..1000 L0; Des_User1 DesQN q3 0..1E7 L1; "
         "Des_User1 DesT q0 -273.15..1500 L2; Des_User1 Desp q1 0..100000 L3; "
         "Flow_User1 Exp_zahl q255 0.5..1 L4; Flow_User1 Schleich q1 0..55 L5; "
         "Des_User0 Desdp2 q1 0..40 L6; Des_User0 Desdp3 q1 0..30 L7"},
        {energy, G::Flow, 0, "Flow_User0 Kind=1 System Kind=4",
         "Des_User0 Desdp q1 0..1000 L0; Des_User0 DesQN q4 0..1E8 L1; "
         "Des_User0 DesT q0 -273.15..1500 L2; Des_User0 Desp q1 0..100000 L3; "
         "Flow_User0 Exp_zahl q255 0.5..1 L4; Flow_User0 Schleich q1 0..0 L5"},
        {gas, G::Flow, 0, "Flow_User0 Kind=3",
         "Flow_User0 Min q4 0..1E8 L0; Flow_User0 Max q4 0..1E8 L1; "
         "Flow_User0 Schleich q4 0..1E8 L2"},
        {gas, G::Flow, 0, "Flow_User0 Kind=4",
         "Flow_User0 Min q7 0..1E8 L0; Flow_User0 Max q7 0..1E8 L1; "
         "Flow_User0 TKK q9 0..0.001 L2; Flow_User0 BTemp q0 -273.15..1500 L3; "
         "Flow_User0 Schleich q7 0..1E8 L4"},
        {gas, G::Flow, 0, "Flow_User0 Kind=5",
         "Flow_User0 KFak q8 0.005..1000 L0; freq Flow_User0 MaxFreq q14 0..9999 L1; "
         "Flow_User0 TKK q9 0..0.001 L2; Flow_User0 BTemp q0 -273.15..1500 L3"},
        {gas, G::Flow, 0, "Flow_User0 Kind=0", ""},
        {gas, G::Medium, 0, "Med_User0 Kind=6 Dummy2=48",
         "EG_User Ho q10 6..13 L0; EG_User Rho q2 0.71..1.16 L1; EG_User CO2 q11 0..30 L2; "
         "EG_User H2 q11 0..10 L3; status ISO                 OK"},
        {gas, G::Medium, 0, "Med_User0 Kind=7",
         "Med_User0 Rho q2 0.08..5000 L0; Med_User0 BRho q2 0.08..5000 L1; "
         "Med_User0 BT q0 -273.15..1500 L2; Med_User0 Bp q1 0..100000 L3"},
        {gas, G::Medium, 0, "Med_User0 Kind=8",
         "Med_User0 Rho q2 0.08..5000 L0; Med_User0 RN q12 0.08..3000 L1; plain L2 property 1"},
        {gas, G::Medium, 0, "Med_User0 Kind=2", ""},
        {energy, G::Medium, 1, "Med_User1 Kind=1", "Med_User1 Satt_Tol q13 0..20 L0"},
        {energy, G::Medium, 0, "Med_User0 Kind=3",
         "Med_User0 Rho q2 0.08..5000 L0; Med_User0 WKapa q12 0.08..5 L1"},
        {energy, G::Medium, 0, "Med_User0 Kind=4",
         "Med_User0 Rho q2 0.08..5000 L0; Med_User0 BRho q2 0.08..5000 L1; "
         "Med_User0 BT q0 -273.15..1500 L2; Med_User0 Bp q1 0..100000 L3; "
         "Med_User0 WKapa q12 0.08..5 L4"},
        {energy, G::Medium, 0, "Med_User0 Kind=5", "plain L0 property 0; plain L1 property 1"},
        {energy, G::Medium, 0, "Med_User0 Kind=6", "plain L0 saturation"},
        {gas, G::Pulse, 0, "Imp_User0 Kind=1", "Imp_User0 Compare q5 0..1E7 L0"},
        {energy, G::Pulse, 0, "Imp_User0 Kind=1", "Imp_User0 Compare q5 0..1E8 L0"},
        {gas, G::Pulse, 1, "Imp_User1 Kind=2", "Imp_User1 Compare q6 0..1E8 L0"},
        {gas, G::Pulse, 0, "Imp_User0 Kind=0", ""},
        {gas, G::Reference, 0, "System Kind=0",
         "Bez_User0 T0 q0 -273.15..1500 L1; Bez_User0 p0 q1 0..100000 L2; "
         "Bez_User0 Faktor q255 0.9..1.1 L3"},
        {energy, G::Reference, 1, "System Kind=5",
         "Bez_User1 T0 q0 -273.15..1500 L1; Bez_User1 p0 q1 0..100000 L2"},
        {gas, G::Reference, 0, "System Kind=4", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        ParameterImage image;
        test::SetFields(image, c.setup);
        std::string got;
        for (const CircuitLine& line : GroupLines(image, c.medium, c.circuit, c.group)) {
            got += (got.empty() ? "" : "; ") + Describe(line);
        }
        EXPECT_EQ(got, c.lines);
    }
}

TEST(CircuitLines, ListTextsComeFromTheLibraryAndTheValueFormat) {
    EditRig rig;  // gas, English
    ParameterImage& im = rig.image;
    auto texts = [&](CircuitGroup g, int circuit = 0) {
        return GroupListTexts(im, medium::Gas, circuit, g, rig.blocks, rig.format);
    };
    test::SetFields(im, "T_User0 Kind=1 Eq=0 Min=-20 Max=60 Flow_User0 Kind=5 MaxFreq=50");
    EXPECT_EQ(texts(CircuitGroup::Temperature),
              (std::vector<std::string>{"Value at 4 mA      -20.0000    °C",
                                        "Value at 20 mA      60.0000    °C"}));
    // The pulse input's frequency: a whole number in four places, then Hz.
    EXPECT_EQ(texts(CircuitGroup::Flow).at(1), "Max. frequency      50          Hz");
    im.Flow_User[0].MaxFreq = 12345;
    EXPECT_EQ(texts(CircuitGroup::Flow).at(1), "Max. frequency    12345          Hz");

    // Labels 1 to 3 of the reference block; its first text is the caption.
    test::SetFields(im, "System Kind=0 Bez_User0 T0=0 p0=101.325 Faktor=1");
    EXPECT_EQ(texts(CircuitGroup::Reference),
              (std::vector<std::string>{"Standard temp.       0.0000    °C",
                                        "Standard pressure  101.3250    kPa",
                                        "Correction factor    1.0000   "}));

    // The status of the gas calculation, by the character in Dummy2.
    im.Med_User[1].Kind = 6;
    auto status = [&](std::uint8_t s) {
        im.Med_User[1].Dummy2 = s;
        return texts(CircuitGroup::Medium, 1).at(4);
    };
    EXPECT_EQ(status('0'), "ISO                 OK");
    for (char d : {'2', '3', '4', '5'}) {
        EXPECT_EQ(status(static_cast<std::uint8_t>(d)),
                  std::string("ISO                 A4") + d + " ERROR");
    }
    EXPECT_EQ(status('1'), "ISO              ???49");
    EXPECT_EQ(status(255), "ISO              ???255");

    // A label block that cannot be loaded leaves the list empty.
    const views::BlockLoader none = [](std::uint16_t, std::uint8_t, views::TextBlock&) {
        return false;
    };
    EXPECT_TRUE(
        GroupListTexts(im, medium::Gas, 0, CircuitGroup::Temperature, none, rig.format).empty());
}

TEST(CircuitLines, ChoicesAndTheChoiceShown) {
    EditRig rig;
    using G = CircuitGroup;
    EXPECT_EQ(GroupChoices(G::Temperature, 0, rig.blocks),
              (std::vector<std::string>{"Constant", "Current input 4-20 mA", "Pt100 three-wire",
                                        "Same as circuit 2"}));
    EXPECT_EQ(GroupChoices(G::Pressure, 1, rig.blocks).at(3), "Same as circuit 1");
    EXPECT_EQ(GroupChoices(G::Flow, 0, rig.blocks).size(), 6u);
    EXPECT_EQ(GroupChoices(G::Medium, 0, rig.blocks).size(), 9u);
    EXPECT_EQ(GroupChoices(G::Pulse, 0, rig.blocks),
              (std::vector<std::string>{"Off", "Standard volume", "Mass"}));
    EXPECT_TRUE(GroupChoices(G::Reference, 0, rig.blocks).empty());
    rig.session.Medium = medium::Energy;  // the energy library has its own media
    EXPECT_EQ(GroupChoices(G::Medium, 0, rig.blocks).size(), 7u);

    ParameterImage im;
    test::SetFields(im,
                    "T_User1 Kind=1 Eq=2 P_User1 Kind=2 Eq=1 Flow_User1 Kind=5 "
                    "Imp_User0 Kind=2 Imp_User1 Kind=3 Med_User0 Kind=6");
    EXPECT_EQ(GroupChoice(im, 1, G::Temperature), 3);  // taken from circuit 1
    EXPECT_EQ(GroupChoice(im, 1, G::Pressure), 2);
    EXPECT_EQ(GroupChoice(im, 1, G::Flow), 5);
    EXPECT_EQ(GroupChoice(im, 0, G::Pulse), 2);
    EXPECT_EQ(GroupChoice(im, 1, G::Pulse), std::nullopt);  // the combo shows text 6149
    EXPECT_EQ(GroupChoice(im, 0, G::Reference), std::nullopt);

    // Label blocks by kind.
    EXPECT_EQ(LabelBlock(im, 1, G::Temperature), 2080);
    EXPECT_EQ(LabelBlock(im, 1, G::Flow), 4192);
    EXPECT_EQ(LabelBlock(im, 0, G::Medium), 5232);
    EXPECT_EQ(LabelBlock(im, 0, G::Pulse), 6144);
    EXPECT_EQ(LabelBlock(im, 0, G::Reference), 20480);
}

}  // namespace
}  // namespace parvion::edit
