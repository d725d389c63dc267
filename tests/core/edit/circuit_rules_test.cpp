// The rules that follow an accepted value or a choice on the circuit page,
// applied offline: the image changes, nothing reaches the device.

#include <gtest/gtest.h>

#include "core/edit/circuit_page.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::FieldValues;

TEST(CircuitRules, AcceptedValuesPullTheirNeighboursAlong) {
    struct Case {
        std::string setup;
        const char* setting;
        float entered;
        const char* after;
    };
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup + " / " + c.setting);
        rig.image = ParameterImage{};
        test::SetFields(rig.image, c.setup);
        const CircuitGroup group = c.setting[0] == 'T'   ? CircuitGroup::Temperature
                                   : c.setting[0] == 'P' ? CircuitGroup::Pressure
                                                         : CircuitGroup::Flow;
        EXPECT_EQ(rig.enter(c.setting, c.entered), GroupSet{group});
        EXPECT_EQ(FieldValues(rig.image, c.after), c.after);
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

    // The same value again: Ready stays, the status goes to both circuits.
    EXPECT_EQ(rig.enter("EG_User CO2", 2.0f), (GroupSet{CircuitGroup::Medium, CircuitGroup::Flow}));
    EXPECT_EQ(FieldValues(im, "Med_User0 Ready=1 Dummy2=48 Med_User1 Dummy2=48"),
              "Med_User0 Ready=1 Dummy2=48 Med_User1 Dummy2=48");

    // 2 -> 2.5 clears Ready of the circuit edited, not of the other one.
    rig.enter("EG_User CO2", 2.5f);
    EXPECT_EQ(FieldValues(im, "EG_User CO2=2.5 Med_User0 Ready=0 Med_User1 Ready=1"),
              "EG_User CO2=2.5 Med_User0 Ready=0 Med_User1 Ready=1");

    // An input set that fails the check shows its status on both circuits.
    im.Med_User[1].Kind = 6;
    rig.enter("EG_User Rho", 0.71f, 1);
    EXPECT_EQ(im.Med_User[1].Ready, 0);
    EXPECT_NE(im.Med_User[0].Dummy2, '0');
    EXPECT_EQ(im.Med_User[0].Dummy2, im.Med_User[1].Dummy2);

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
        EXPECT_EQ(FieldValues(im, taken), taken);
        EXPECT_TRUE(GroupLines(im, medium::Gas, 1, group).empty());
        EXPECT_EQ(GroupChoice(im, 1, group), 3);

        // A kind of its own again: Eq 0 here, while the source keeps Eq 1.
        ApplyChoice(*rig.link, im, 1, group, 0);
        ApplyChoice(*rig.link, im, 0, group, 2);
        const std::string own = r + "0 Kind=2 Eq=1 " + r + "1 Kind=0 Eq=0";
        EXPECT_EQ(FieldValues(im, own), own);
    }
    // Flow, medium and pulse output take the index as their kind.
    ApplyChoice(*rig.link, im, 1, G::Flow, 5);
    ApplyChoice(*rig.link, im, 1, G::Medium, 8);
    ApplyChoice(*rig.link, im, 1, G::Pulse, 2);
    EXPECT_EQ(FieldValues(im, "Flow_User1 Kind=5 Med_User1 Kind=8 Imp_User1 Kind=2"),
              "Flow_User1 Kind=5 Med_User1 Kind=8 Imp_User1 Kind=2");
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
    EXPECT_EQ(CanonicalKey(Record::Imp_User, "Min"), std::nullopt);
    EXPECT_EQ(SettingName({Record::EG_User, "Ho", 1}), "EG_User Ho");
    EXPECT_EQ(SettingName({Record::Bez_User, "p0", 1}), "Bez_User1 p0");

    // MaxFreq is a word: whole numbers within 0..65535.
    ParameterImage im;
    const FieldRef freq{Record::Flow_User, "MaxFreq", 1};
    for (const auto& [in, stored] :
         std::vector<std::pair<float, float>>{{12.7f, 12}, {70000, 65535}, {-3, 0}}) {
        SetField(im, freq, in);
        EXPECT_EQ(GetField(im, freq), stored) << in;
    }
    // A key the record does not have reads as 0 and is not stored.
    const ParameterImage before = im;
    SetField(im, {Record::T_User, "Nope", 0}, 5);
    EXPECT_EQ(im, before);
    EXPECT_EQ(GetField(im, {Record::T_User, "Nope", 0}), 0);
}

}  // namespace
}  // namespace parvion::edit
