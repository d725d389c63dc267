// The circuit and units pages against the in-process simulator: the lines of
// each group for every kind, gas and energy (which field each line edits, its
// quantity and limits, some following other fields) and the texts the lists
// show with the real string library; the rules that follow an accepted value
// or a choice, applied offline; the radio items of the units page; and the
// write-back of every change, the frames, waits and progress steps in the
// device's order, with the device's own memory holding the new bytes after.

#include <gtest/gtest.h>

#include <functional>

#include "core/edit/circuit_page.h"
#include "core/edit/units_page.h"
#include "core/model/units.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::TwoSteps;

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
    // Variant, group, circuit, the fields set, and the lines joined by "; ".
    const std::tuple<int, CircuitGroup, int, const char*, const char*> cases[] = {
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
    for (const auto& [med, group, circuit, setup, lines] : cases) {
        SCOPED_TRACE(setup);
        ParameterImage image;
        test::SetFields(image, setup);
        std::string got;
        for (const CircuitLine& line : GroupLines(image, med, circuit, group)) {
            got += (got.empty() ? "" : "; ") + Describe(line);
        }
        EXPECT_EQ(got, lines);
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
    // Circuit 2's temperature is taken from circuit 1; its pulse kind 3 has
    // no choice (the combo shows text 6149).
    const std::tuple<int, G, std::optional<int>> choices[] = {
        {1, G::Temperature, 3}, {1, G::Pressure, 2},         {1, G::Flow, 5},
        {0, G::Pulse, 2},       {1, G::Pulse, std::nullopt}, {0, G::Reference, std::nullopt}};
    for (const auto& [c, g, choice] : choices) {
        EXPECT_EQ(GroupChoice(im, c, g), choice) << c << " " << int(g);
    }
    // Label blocks by kind.
    const std::tuple<int, G, int> labels[] = {{1, G::Temperature, 2080},
                                              {1, G::Flow, 4192},
                                              {0, G::Medium, 5232},
                                              {0, G::Pulse, 6144},
                                              {0, G::Reference, 20480}};
    for (const auto& [c, g, block] : labels) EXPECT_EQ(LabelBlock(im, c, g), block) << int(g);
}

TEST(CircuitRules, AcceptedValuesPullTheirNeighboursAlong) {
    // The fields set, the setting entered and its value, the fields after.
    using Case = std::tuple<std::string, const char*, float, const char*>;
    const std::string orifice =
        "Flow_User0 Kind=1 Flow_User1 Kind=1 System Anzahl=4 "
        "Des_User0 Desdp=10 Desdp2=50 Desdp3=20 Desdp4=40 System Kind=";
    const std::string analog = "Flow_User0 Min=20 Max=100 Schleich=30 Kind=";
    const Case cases[] = {
        {"T_User0 Kind=1 Min=0 Max=50", "T_User0 Min", 80, "T_User0 Min=80 Max=80"},
        {"T_User0 Kind=1 Min=10 Max=50", "T_User0 Max", -5, "T_User0 Min=-5 Max=-5"},
        {"T_User0 Kind=1 Min=10 Max=50", "T_User0 Min", 20, "T_User0 Min=20 Max=50"},
        // Pressure pulls along only with Kind 1.
        {"P_User0 Kind=1 Min=100 Max=500", "P_User0 Max", 50, "P_User0 Min=50 Max=50"},
        {"P_User0 Kind=2 Min=100 Max=500", "P_User0 Max", 50, "P_User0 Min=100 Max=50"},
        // Desdp of circuit 1: system kind 1 lowers the larger copies, kind 2
        // sets them all, another kind leaves them, as does Desdp of circuit 2.
        {orifice + "1", "Des_User0 Desdp", 30, "Des_User0 Desdp=30 Desdp2=30 Desdp3=20 Desdp4=30"},
        {orifice + "2", "Des_User0 Desdp", 30, "Des_User0 Desdp=30 Desdp2=30 Desdp3=30 Desdp4=30"},
        {orifice + "0", "Des_User0 Desdp", 30, "Des_User0 Desdp=30 Desdp2=50 Desdp3=20 Desdp4=40"},
        {orifice + "2", "Des_User1 Desdp", 30, "Des_User1 Desdp=30 Des_User0 Desdp2=50 Desdp4=40"},
        // Flow Min and Max of kinds 3 and 4 pull each other along; Schleich
        // stays at most Max.
        {analog + "3", "Flow_User0 Max", 25, "Flow_User0 Min=20 Max=25 Schleich=25"},
        {analog + "4", "Flow_User0 Max", 10, "Flow_User0 Min=10 Max=10 Schleich=10"},
        {analog + "4", "Flow_User0 Min", 150, "Flow_User0 Min=150 Max=150 Schleich=30"},
        {analog + "3", "Flow_User0 Schleich", 200, "Flow_User0 Min=20 Max=100 Schleich=100"},
        {"Flow_User0 Kind=5", "Flow_User0 MaxFreq", 12.7f, "Flow_User0 MaxFreq=12"},
    };
    EditRig rig;
    rig.goOffline();
    for (const auto& [setup, setting, entered, after] : cases) {
        SCOPED_TRACE(setup + " / " + setting);
        rig.image = ParameterImage{};
        test::SetFields(rig.image, setup);
        const CircuitGroup group = setting[0] == 'T'   ? CircuitGroup::Temperature
                                   : setting[0] == 'P' ? CircuitGroup::Pressure
                                                       : CircuitGroup::Flow;
        EXPECT_EQ(rig.enter(setting, entered), GroupSet{group});
        test::ExpectFields(rig.image, after);
    }
    // Offline nothing is sent, and no progress bar shows.
    EXPECT_EQ(rig.device.framesServed(cmd::Write), 0u);
    EXPECT_EQ(test::Joined(rig.log), "");
}

TEST(CircuitRules, TheNaturalGasInputSetClearsReadyOnlyWhenItChanges) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    test::SetFields(im,
                    "Med_User0 Kind=6 Ready=1 Dummy2=120 Med_User1 Kind=7 Ready=1 Dummy2=120 "
                    "EG_User Ho=11.2 CO2=2 H2=0 Rho=0.81");

    // The same value again: Ready stays, the status goes to both circuits. A
    // change clears Ready of the circuit edited alone:
    // PageCommands.ChoicesAndTheGasInputSetOfTheCircuitNamed.
    EXPECT_EQ(rig.enter("EG_User CO2", 2.0f), (GroupSet{CircuitGroup::Medium, CircuitGroup::Flow}));
    test::ExpectFields(im, "Med_User0 Ready=1 Dummy2=48 Med_User1 Dummy2=48");

    // An input set that fails the check shows its status on both circuits.
    im.Med_User[1].Kind = 6;
    rig.enter("EG_User Rho", 0.71f, 1);
    EXPECT_NE(im.Med_User[0].Dummy2, '0');
    EXPECT_EQ(std::pair(im.Med_User[1].Ready, im.Med_User[1].Dummy2),
              std::pair(std::uint8_t{0}, im.Med_User[0].Dummy2));

    // Another medium kind runs no check.
    test::SetFields(im, "Med_User0 Kind=7 Dummy2=120");
    ApplyWithoutValue(*rig.link, im, 0, CircuitGroup::Medium);
    EXPECT_EQ(im.Med_User[0].Dummy2, 'x');
    EXPECT_EQ(rig.device.framesServed(cmd::Write), 0u);
}

TEST(CircuitRules, TheFourthChoiceTakesTheValueFromTheOtherCircuit) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    using G = CircuitGroup;
    for (const std::string r : {"T_User", "P_User"}) {
        const G group = r == "T_User" ? G::Temperature : G::Pressure;
        const std::string both = r + "0 Kind=1 Eq=0 " + r + "1 Kind=1 Eq=0";
        test::SetFields(im, both);
        EXPECT_EQ(ApplyChoice(*rig.link, im, 1, group, 3), GroupSet{group});
        // Circuit 1 is the source now; circuit 2 shows no lines of its own.
        const std::string taken = r + "0 Kind=1 Eq=1 " + r + "1 Kind=1 Eq=2";
        test::ExpectFields(im, taken);
        EXPECT_TRUE(GroupLines(im, medium::Gas, 1, group).empty());
        EXPECT_EQ(GroupChoice(im, 1, group), 3);

        // A kind of its own again: Eq 0 here, while the source keeps Eq 1.
        ApplyChoice(*rig.link, im, 1, group, 0);
        ApplyChoice(*rig.link, im, 0, group, 2);
        const std::string own = r + "0 Kind=2 Eq=1 " + r + "1 Kind=0 Eq=0";
        test::ExpectFields(im, own);
    }
    // Flow, medium and pulse output take the index as their kind.
    ApplyChoice(*rig.link, im, 1, G::Flow, 5);
    ApplyChoice(*rig.link, im, 1, G::Medium, 8);
    ApplyChoice(*rig.link, im, 1, G::Pulse, 2);
    test::ExpectFields(im, "Flow_User1 Kind=5 Med_User1 Kind=8 Imp_User1 Kind=2");
    // No choice at all changes nothing.
    const ParameterImage before = im;
    EXPECT_TRUE(ApplyChoice(*rig.link, im, 0, G::Flow, -1).empty());
    EXPECT_TRUE(ApplyChoice(*rig.link, im, 0, G::Reference, 1).empty());
    EXPECT_EQ(im, before);
    EXPECT_TRUE(rig.log.empty());
}

TEST(CircuitRules, FieldsByTheirParameterFileNames) {
    for (const char* other : {"T_User2", "T_User", "EG_User0", "Alm_User0", ""}) {
        EXPECT_FALSE(ParseSection(other)) << other;
    }
    const auto flow = ParseSection("flow_user1");
    ASSERT_TRUE(flow);
    EXPECT_EQ(std::pair(flow->record, flow->circuit), std::pair(Record::Flow_User, 1));
    EXPECT_EQ(ParseSection("EG_USER").value().record, Record::EG_User);
    EXPECT_EQ(CanonicalKey(Record::Flow_User, "maxfreq"), "MaxFreq");
    EXPECT_EQ(CanonicalKey(Record::T_User, "Kind"), std::nullopt);  // a choice byte
    EXPECT_EQ(SettingName({Record::EG_User, "Ho", 1}), "EG_User Ho");
    EXPECT_EQ(SettingName({Record::Bez_User, "p0", 1}), "Bez_User1 p0");

    // MaxFreq is a word: whole numbers within 0..65535.
    ParameterImage im;
    const FieldRef freq{Record::Flow_User, "MaxFreq", 1};
    for (const auto& [in, stored] : std::vector<std::pair<float, float>>{{70000, 65535}, {-3, 0}}) {
        SetField(im, freq, in);
        EXPECT_EQ(GetField(im, freq), stored) << in;
    }
    // A key the record does not have reads as 0 and is not stored.
    const ParameterImage before = im;
    SetField(im, {Record::T_User, "Nope", 0}, 5);
    EXPECT_EQ(im, before);
    EXPECT_EQ(GetField(im, {Record::T_User, "Nope", 0}), 0);
}

TEST(UnitsPage, EachVariantListsItsOwnUnits) {
    // Variant, quantity, how many units, the first and the last, without the
    // blanks around the unit.
    const std::tuple<int, std::uint8_t, std::size_t, const char*, const char*> cases[] = {
        {medium::Gas, 3, 9, "Nm³/h", "SCF/s"},   // standard volume flow
        {medium::Energy, 3, 6, "kW", "kcal/h"},  // power
        {medium::Gas, 0, 3, "°C", "K"},          // rows of both variants
    };
    for (const auto& [med, q, count, first, last] : cases) {
        const std::vector<std::string> items = UnitChoices(med, q);
        ASSERT_EQ(items.size(), count) << med << "/" << int(q);
        EXPECT_EQ(items.front() + " " + items.back(), std::string(first) + " " + last);
    }
    for (const auto& [count, columns] :
         std::vector<std::pair<std::size_t, int>>{{4, 1}, {5, 2}, {8, 2}, {9, 3}}) {
        EXPECT_EQ(UnitColumns(count), columns) << count;
    }
}

TEST(UnitsPage, AUnitChosenOfflineShowsAtOnceAndSendsNothing) {
    EditRig rig;
    rig.goOffline();
    const auto served = rig.device.framesServed();
    ParameterImage& im = rig.image;
    test::SetFields(im, "Dis_User Einheiten=1 T_User0 Kind=1 Eq=0 Min=100 Max=200");

    ASSERT_TRUE(SelectUnit(*rig.link, im, 0, 1));  // °F
    const auto& f = im.UserEinheiten[0];
    EXPECT_EQ(std::tuple(f.Kind, f.Factor, f.Offset), std::tuple(1, 1.8f, 32.0f));
    const auto lines =
        GroupListTexts(im, medium::Gas, 0, CircuitGroup::Temperature, rig.blocks, rig.format);
    EXPECT_EQ(lines.at(0), "Value at 4 mA      212.0000    °F");

    // A unit the variant does not have: nothing changes.
    const ParameterImage before = im;
    EXPECT_FALSE(SelectUnit(*rig.link, im, 0, 3));
    EXPECT_FALSE(SelectUnit(*rig.link, im, 3, 6 + 9));
    EXPECT_FALSE(SelectUnit(*rig.link, im, kUnitPageQuantities, 0));
    EXPECT_FALSE(SelectUnit(*rig.link, im, 1, -1));
    EXPECT_EQ(im, before);

    // Off keeps the unit selections.
    SwitchUserUnits(*rig.link, im, false);
    test::ExpectFields(im, "Dis_User Einheiten=0 UserEinheiten0 Kind=1");
    EXPECT_FALSE(FillUnitsPage(*rig.link, im, true));
    EXPECT_EQ(rig.device.framesServed(), served);
}

const std::string kFlowSteps =
    "start 4, W Des_User0, step, wait 50, W Flow_User0, step, wait 50, "
    "R Des_User0, step, R Flow_User0, step, hide";

std::string UnitsOn() {
    std::string log = "start 17";
    for (int q = 0; q < 16; ++q) log += ", R UserEinheiten" + std::to_string(q) + ", step";
    return log + ", wait 50, W Dis_User, wait 50, step, R Dis_User, step, hide";
}

TEST(WriteBack, EachChangeIsWrittenWaitedForAndReadBackInTheDevicesOrder) {
    using G = CircuitGroup;
    using Change = std::function<void(EditRig&)>;
    auto enter = [](const char* setting, float v) -> Change {
        return [=](EditRig& r) { r.enter(setting, v); };
    };
    auto choose = [](int circuit, G g, int index) -> Change {
        return [=](EditRig& r) { ApplyChoice(*r.link, r.image, circuit, g, index); };
    };
    // The variant, the fields of the image and the device alike, the change,
    // the log, and the fields of the device's memory afterwards.
    const int gas = medium::Gas;
    const std::tuple<int, const char*, Change, std::string, const char*> cases[] = {
        {gas, "", enter("T_User0 Max", 120), TwoSteps("T_User0"), "T_User0 Max=120"},
        // The fourth choice on circuit 2 writes circuit 1 at once.
        {gas, "", choose(1, G::Temperature, 3), "W T_User0, wait 50, " + TwoSteps("T_User1"),
         "T_User0 Eq=1 T_User1 Eq=2"},
        {gas, "", enter("Flow_User0 Max", 500), kFlowSteps, "Flow_User0 Max=500"},
        {gas, "", choose(0, G::Flow, 5), TwoSteps("Flow_User0"), "Flow_User0 Kind=5"},
        {gas, "Med_User0 Kind=6 Ready=1", enter("EG_User CO2", 2.5f),
         "start 4, W Med_User0, step, wait 50, W EG_User, step, wait 50, R EG_User, step, "
         "wait 50, R Med_User0, step, hide",
         "EG_User CO2=2.5 Med_User0 Ready=0"},
        {medium::Energy, "Med_User0 Kind=3", enter("Med_User0 Rho", 900),
         "start 4, W Med_User0, step, wait 50, R Med_User0, step, hide", "Med_User0 Rho=900"},
        // The medium choice of the gas calculation reads the input set.
        {gas, "", choose(1, G::Medium, 6),
         "start 3, W Med_User1, step, wait 50, R Med_User1, step, R EG_User, step, hide",
         "Med_User1 Kind=6"},
        // A double click on a pulse output of a kind without a line.
        {gas, "",
         [](EditRig& r) {
             r.image.Imp_User[0].Kind = 7;
             ApplyWithoutValue(*r.link, r.image, 0, G::Pulse);
         },
         TwoSteps("Imp_User0"), "Imp_User0 Kind=7"},
        {gas, "System Kind=0", enter("Bez_User0 T0", 15), TwoSteps("Bez_User0"), "Bez_User0 T0=15"},
        {gas, "", [](EditRig& r) { ReadCircuitPage(*r.link, r.image, 1); },
         "start 3, R T_User1, R P_User1, R Flow_User1, R Des_User1, R Med_User1, R EG_User, "
         "R Aus_User0, R Aus_User1, R Aus_User2, R Aus_User3, step, R Bez_User1, step, "
         "R Imp_User1, step, hide",
         ""},
        {gas, "", [](EditRig& r) { SelectUnit(*r.link, r.image, 3, 2); },
         // Unit selections are read with the user units only: read first.
         "R UserEinheiten3, start 2, W UserEinheiten3, step, wait 50, step, hide",
         "UserEinheiten3 Kind=2"},
        {gas, "", [](EditRig& r) { SwitchUserUnits(*r.link, r.image, true); }, UnitsOn(),
         "Dis_User Einheiten=1"},
        // Off: the unit selections stay as they are.
        {gas, "Dis_User Einheiten=1 UserEinheiten0 Kind=1",
         [](EditRig& r) { SwitchUserUnits(*r.link, r.image, false); }, test::kDisUserSteps,
         "Dis_User Einheiten=0 UserEinheiten0 Kind=1"},
    };
    for (const auto& [med, setup, change, log, device] : cases) {
        SCOPED_TRACE(log);
        EditRig rig(med);
        rig.store(setup);
        change(rig);
        EXPECT_EQ(test::Joined(rig.log), log);
        rig.expectDevice(device);
        EXPECT_EQ(rig.device.writesRejected(), 0u);
        EXPECT_EQ(rig.link->failedTransactions(), 0);
    }
}

TEST(WriteBack, FillingTheUnitsPageActsAsAClickWhenTheShownStateDiffers) {
    // The device, the state shown, the result, and the log after reading Dis_User.
    const std::tuple<const char*, bool, bool, std::string> cases[] = {
        {"Dis_User Einheiten=1", false, true, "wait 50, " + UnitsOn() + ", wait 50, hide"},
        {"Dis_User Einheiten=1", true, true, "wait 50, wait 50, hide"},
        {"Dis_User Einheiten=0", true, false, test::kDisUserSteps + ", hide"},
        {"Dis_User Einheiten=0", false, false, "hide"},
    };
    for (const auto& [device, shown, result, log] : cases) {
        SCOPED_TRACE(std::string(device) + (shown ? ", shown on" : ", shown off"));
        EditRig rig;
        rig.store(device);
        EXPECT_EQ(FillUnitsPage(*rig.link, rig.image, shown), result);
        EXPECT_EQ(test::Joined(rig.log), "start 16, R Dis_User, step, " + log);
        rig.expectDevice("");
    }
}

TEST(WriteBack, RecordsNotReadInThisConnectionAreReadBeforeTheChange) {
    // The device's circuit 2 holds its own temperature input; the program
    // has connected anew and read nothing but the page of circuit 1.
    const char* circuit2 = "T_User1 Kind=1 Eq=0 Min=-20 Max=60 Konst=15 Dummy3=7";
    for (const bool readFails : {false, true}) {
        SCOPED_TRACE(readFails ? "the read fails" : "the read succeeds");
        EditRig rig;
        rig.device.poke(block::T_User(1).address, std::vector<std::uint8_t>(32, 0));
        rig.store(circuit2);
        rig.image.T_User[1] = T_UserRec{};  // what the program would hold without the read
        ASSERT_TRUE(rig.link->OpenComPort(1, rig.device.baudIndex()));
        ReadCircuitPage(*rig.link, rig.image, 0);
        const ParameterImage before = rig.image;
        rig.mark();
        if (readFails) rig.device.injectFault(sim::Fault::BadChecksum, 4);

        // "Same as circuit 2" on circuit 1.
        ApplyChoice(*rig.link, rig.image, 0, CircuitGroup::Temperature, 3);
        if (readFails) {
            // Four tries of the read; then the user is told, and that is all.
            EXPECT_EQ(test::Joined(rig.log),
                      "R T_User1, wait 50, R T_User1, wait 50, R T_User1, wait 50, R T_User1, "
                      "hide, not sent checksum");
            EXPECT_EQ(rig.image, before);
            EXPECT_EQ(rig.device.framesServed(cmd::Write), 0u);
            rig.expectDevice("");
        } else {
            EXPECT_EQ(test::Joined(rig.log),
                      "R T_User1, W T_User1, wait 50, " + TwoSteps("T_User0"));
            const char* after = "T_User0 Eq=2 T_User1 Kind=1 Eq=1 Min=-20 Max=60 Konst=15 Dummy3=7";
            rig.expectDevice(after);
            test::ExpectFields(rig.image, after);
        }
    }
}

TEST(WriteBack, AFailedReadBackLeavesTheImageAsEdited) {
    EditRig rig;
    rig.device.injectFault(sim::Fault::None, 1);         // the write
    rig.device.injectFault(sim::Fault::BadChecksum, 4);  // every try of the read-back
    rig.enter("T_User0 Max", 99);
    EXPECT_EQ(rig.image.T_User[0].Max, 99);
    rig.expectDevice("T_User0 Max=99");
    EXPECT_EQ(rig.link->failedTransactions(), 1);
    EXPECT_EQ(rig.log.back(), "hide");
}

}  // namespace
}  // namespace parvion::edit
