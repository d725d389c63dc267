// The rules that follow an accepted value or a choice on the circuit page,
// applied offline: the image changes, nothing reaches the device.

#include <gtest/gtest.h>

#include <functional>

#include "core/calc/sgerg88.h"
#include "core/edit/circuit_page.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;

// The line of the group that edits the field.
CircuitLine LineOf(const ParameterImage& image, int medium, int circuit, CircuitGroup group,
                   const FieldRef& field) {
    for (const CircuitLine& line : GroupLines(image, medium, circuit, group)) {
        if (line.field == field) return line;
    }
    ADD_FAILURE() << "no line for " << SettingName(field);
    return {};
}

struct RuleCase {
    const char* name;
    std::function<void(ParameterImage&)> setup;
    CircuitGroup group;
    int circuit;
    FieldRef field;
    float entered;
    std::vector<std::pair<FieldRef, float>> expected;
};

TEST(CircuitRules, AcceptedValuesPullTheirNeighboursAlong) {
    using G = CircuitGroup;
    const FieldRef tMin{Record::T_User, "Min", 0};
    const FieldRef tMax{Record::T_User, "Max", 0};
    const FieldRef pMin{Record::P_User, "Min", 0};
    const FieldRef pMax{Record::P_User, "Max", 0};
    const FieldRef desdp{Record::Des_User, "Desdp", 0};
    const FieldRef desdp2{Record::Des_User, "Desdp2", 0};
    const FieldRef desdp3{Record::Des_User, "Desdp3", 0};
    const FieldRef desdp4{Record::Des_User, "Desdp4", 0};
    const FieldRef fMin{Record::Flow_User, "Min", 0};
    const FieldRef fMax{Record::Flow_User, "Max", 0};
    const FieldRef schleich{Record::Flow_User, "Schleich", 0};
    auto orifice = [](std::uint8_t systemKind) {
        return [systemKind](ParameterImage& im) {
            im.Flow_User[0].Kind = 1;
            im.System.Kind = systemKind;
            im.System.Anzahl = 4;
            im.Des_User[0] = {0, 0, 0, 10, 0, 50, 20, 40};
        };
    };
    auto analog = [](std::uint8_t kind) {
        return [kind](ParameterImage& im) {
            im.Flow_User[0].Kind = kind;
            im.Flow_User[0].Min = 20;
            im.Flow_User[0].Max = 100;
            im.Flow_User[0].Schleich = 30;
        };
    };
    const std::vector<RuleCase> cases = {
        {"temperature Min above Max raises Max",
         [](auto& im) { im.T_User[0] = {0, 0, 1, 0, 0, 50}; },
         G::Temperature,
         0,
         tMin,
         80,
         {{tMin, 80}, {tMax, 80}}},
        {"temperature Max below Min lowers Min",
         [](auto& im) { im.T_User[0] = {0, 0, 1, 0, 10, 50}; },
         G::Temperature,
         0,
         tMax,
         -5,
         {{tMin, -5}, {tMax, -5}}},
        {"temperature Min within range leaves Max",
         [](auto& im) { im.T_User[0] = {0, 0, 1, 0, 10, 50}; },
         G::Temperature,
         0,
         tMin,
         20,
         {{tMin, 20}, {tMax, 50}}},
        {"pressure kind 1 pulls along",
         [](auto& im) {
             im.P_User[0].Kind = 1;
             im.P_User[0].Min = 100;
             im.P_User[0].Max = 500;
         },
         G::Pressure,
         0,
         pMax,
         50,
         {{pMin, 50}, {pMax, 50}}},
        {"pressure kind 2 does not",
         [](auto& im) {
             im.P_User[0].Kind = 2;
             im.P_User[0].Min = 100;
             im.P_User[0].Max = 500;
         },
         G::Pressure,
         0,
         pMax,
         50,
         {{pMin, 100}, {pMax, 50}}},
        {"Desdp with system kind 1 lowers the larger copies",
         orifice(1),
         G::Flow,
         0,
         desdp,
         30,
         {{desdp, 30}, {desdp2, 30}, {desdp3, 20}, {desdp4, 30}}},
        {"Desdp with system kind 2 sets every copy",
         orifice(2),
         G::Flow,
         0,
         desdp,
         30,
         {{desdp, 30}, {desdp2, 30}, {desdp3, 30}, {desdp4, 30}}},
        {"Desdp with another system kind leaves the copies",
         orifice(0),
         G::Flow,
         0,
         desdp,
         30,
         {{desdp, 30}, {desdp2, 50}, {desdp3, 20}, {desdp4, 40}}},
        {"Desdp of circuit 2 leaves circuit 1's copies",
         [&](auto& im) {
             orifice(2)(im);
             im.Flow_User[1].Kind = 1;
         },
         G::Flow,
         1,
         {Record::Des_User, "Desdp", 1},
         30,
         {{{Record::Des_User, "Desdp", 1}, 30}, {desdp2, 50}, {desdp3, 20}, {desdp4, 40}}},
        {"mass flow Max below Schleich takes Schleich down",
         analog(3),
         G::Flow,
         0,
         fMax,
         25,
         {{fMin, 20}, {fMax, 25}, {schleich, 25}}},
        {"volume flow Max below Min takes both down",
         analog(4),
         G::Flow,
         0,
         fMax,
         10,
         {{fMin, 10}, {fMax, 10}, {schleich, 10}}},
        {"volume flow Min above Max raises Max",
         analog(4),
         G::Flow,
         0,
         fMin,
         150,
         {{fMin, 150}, {fMax, 150}, {schleich, 30}}},
        {"Schleich above Max is cut to Max",
         analog(3),
         G::Flow,
         0,
         schleich,
         200,
         {{fMin, 20}, {fMax, 100}, {schleich, 100}}},
        {"MaxFreq keeps the whole-number part",
         [](auto& im) { im.Flow_User[0].Kind = 5; },
         G::Flow,
         0,
         {Record::Flow_User, "MaxFreq", 0},
         12.7f,
         {{{Record::Flow_User, "MaxFreq", 0}, 12}}},
    };
    EditRig rig;
    rig.goOffline();
    const auto served = rig.device.framesServed();
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        ParameterImage& im = rig.image;
        im = ParameterImage{};
        c.setup(im);
        const CircuitLine line = LineOf(im, medium::Gas, c.circuit, c.group, c.field);
        const GroupSet changed = ApplyLineValue(*rig.link, im, c.circuit, c.group, line, c.entered);
        EXPECT_EQ(changed, GroupSet{c.group});
        for (const auto& [field, value] : c.expected) {
            EXPECT_EQ(GetField(im, field), value) << SettingName(field);
        }
    }
    // Offline nothing is sent, and no progress bar shows.
    EXPECT_EQ(rig.device.framesServed(), served);
    EXPECT_TRUE(rig.log.empty()) << rig.log.front();
}

TEST(CircuitRules, TheNaturalGasInputSetClearsReadyOnlyWhenItChanges) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    im.Med_User[0] = {0, 'x', 1, 6};
    im.Med_User[1] = {0, 'x', 1, 7};
    im.EG_User = {11.2f, 2.0f, 0.0f, 0.81f};
    const FieldRef co2{Record::EG_User, "CO2", 0};
    const CircuitLine line = LineOf(im, medium::Gas, 0, CircuitGroup::Medium, co2);

    // The same value again: Ready stays, the status is computed all the same.
    GroupSet changed = ApplyLineValue(*rig.link, im, 0, CircuitGroup::Medium, line, 2.0f);
    EXPECT_EQ(changed, (GroupSet{CircuitGroup::Medium, CircuitGroup::Flow}));
    EXPECT_EQ(im.Med_User[0].Ready, 1);
    const auto status = static_cast<std::uint8_t>(SGERG_Check(im.EG_User));
    EXPECT_EQ(im.Med_User[0].Dummy2, status);
    EXPECT_EQ(im.Med_User[1].Dummy2, status);  // both circuits

    // 2 -> 2.5 clears Ready of the circuit edited, not of the other one.
    ApplyLineValue(*rig.link, im, 0, CircuitGroup::Medium, line, 2.5f);
    EXPECT_EQ(im.EG_User.CO2, 2.5f);
    EXPECT_EQ(im.Med_User[0].Ready, 0);
    EXPECT_EQ(im.Med_User[1].Ready, 1);

    // An input set that fails the check shows its status on both circuits.
    im.Med_User[1].Kind = 6;
    const CircuitLine rho =
        LineOf(im, medium::Gas, 1, CircuitGroup::Medium, {Record::EG_User, "Rho", 0});
    ApplyLineValue(*rig.link, im, 1, CircuitGroup::Medium, rho, 0.71f);
    EXPECT_EQ(im.Med_User[1].Ready, 0);
    EXPECT_NE(im.Med_User[0].Dummy2, '0');
    EXPECT_EQ(im.Med_User[0].Dummy2, im.Med_User[1].Dummy2);
    const auto lines =
        GroupListTexts(im, medium::Gas, 0, CircuitGroup::Medium, rig.blocks, rig.format);
    EXPECT_EQ(lines.back().rfind("ISO                 A4", 0), 0u) << lines.back();

    // Another medium kind runs no check.
    im.Med_User[0] = {0, 'x', 1, 7};
    ApplyWithoutValue(*rig.link, im, 0, CircuitGroup::Medium);
    EXPECT_EQ(im.Med_User[0].Dummy2, 'x');
    EXPECT_EQ(rig.device.framesServed(cmd::Write), 0u);
}

TEST(CircuitRules, TheFourthChoiceTakesTheValueFromTheOtherCircuit) {
    EditRig rig;
    rig.goOffline();
    ParameterImage& im = rig.image;
    using G = CircuitGroup;
    for (G group : {G::Temperature, G::Pressure}) {
        SCOPED_TRACE(static_cast<int>(group));
        im.T_User = {T_UserRec{0, 0, 1, 0}, T_UserRec{0, 0, 1, 0}};
        im.P_User = {P_UserRec{0, 0, 1, 0}, P_UserRec{0, 0, 1, 0}};
        auto eq = [&](int c) {
            return group == G::Temperature ? im.T_User[static_cast<std::size_t>(c)].Eq
                                           : im.P_User[static_cast<std::size_t>(c)].Eq;
        };
        auto kind = [&](int c) {
            return group == G::Temperature ? im.T_User[static_cast<std::size_t>(c)].Kind
                                           : im.P_User[static_cast<std::size_t>(c)].Kind;
        };

        EXPECT_EQ(ApplyChoice(*rig.link, im, 1, group, 3), GroupSet{group});
        EXPECT_EQ(eq(1), 2);
        EXPECT_EQ(eq(0), 1);  // circuit 1 is the source now
        EXPECT_EQ(kind(1), 1);
        EXPECT_TRUE(GroupLines(im, medium::Gas, 1, group).empty());
        EXPECT_EQ(GroupChoice(im, 1, group), 3);

        // A kind of its own again: Eq 0 here, while the source keeps Eq 1.
        ApplyChoice(*rig.link, im, 1, group, 0);
        EXPECT_EQ(eq(1), 0);
        EXPECT_EQ(kind(1), 0);
        ApplyChoice(*rig.link, im, 0, group, 2);
        EXPECT_EQ(eq(0), 1);
        EXPECT_EQ(kind(0), 2);
    }
    // Flow, medium and pulse output take the index as their kind.
    ApplyChoice(*rig.link, im, 1, G::Flow, 5);
    ApplyChoice(*rig.link, im, 1, G::Medium, 8);
    ApplyChoice(*rig.link, im, 1, G::Pulse, 2);
    EXPECT_EQ(im.Flow_User[1].Kind, 5);
    EXPECT_EQ(im.Med_User[1].Kind, 8);
    EXPECT_EQ(im.Imp_User[1].Kind, 2);
    // No choice at all changes nothing.
    const ParameterImage before = im;
    EXPECT_TRUE(ApplyChoice(*rig.link, im, 0, G::Flow, -1).empty());
    EXPECT_TRUE(ApplyChoice(*rig.link, im, 0, G::Reference, 1).empty());
    EXPECT_EQ(im, before);
    EXPECT_TRUE(rig.log.empty());
}

TEST(CircuitRules, FieldsByTheirParameterFileNames) {
    struct Section {
        const char* text;
        std::optional<std::pair<Record, int>> ref;
    };
    for (const Section& s : std::vector<Section>{{"T_User0", std::pair{Record::T_User, 0}},
                                                 {"flow_user1", std::pair{Record::Flow_User, 1}},
                                                 {"EG_USER", std::pair{Record::EG_User, 0}},
                                                 {"Des_User1", std::pair{Record::Des_User, 1}},
                                                 {"T_User2", std::nullopt},
                                                 {"T_User", std::nullopt},
                                                 {"EG_User0", std::nullopt},
                                                 {"Alm_User0", std::nullopt},
                                                 {"", std::nullopt}}) {
        SCOPED_TRACE(s.text);
        const auto got = ParseSection(s.text);
        ASSERT_EQ(got.has_value(), s.ref.has_value());
        if (got) {
            EXPECT_EQ(got->record, s.ref->first);
            EXPECT_EQ(got->circuit, s.ref->second);
        }
    }
    EXPECT_EQ(CanonicalKey(Record::Flow_User, "maxfreq"), "MaxFreq");
    EXPECT_EQ(CanonicalKey(Record::Med_User, "satt_tol"), "Satt_Tol");
    EXPECT_EQ(CanonicalKey(Record::T_User, "Kind"), std::nullopt);  // a choice byte
    EXPECT_EQ(CanonicalKey(Record::Imp_User, "Min"), std::nullopt);
    EXPECT_EQ(SettingName({Record::EG_User, "Ho", 1}), "EG_User Ho");
    EXPECT_EQ(SettingName({Record::Bez_User, "p0", 1}), "Bez_User1 p0");

    // MaxFreq is a word: whole numbers within 0..65535.
    ParameterImage im;
    const FieldRef freq{Record::Flow_User, "MaxFreq", 1};
    for (const auto& [in, stored] :
         std::vector<std::pair<float, float>>{{12.7f, 12}, {70000, 65535}, {-3, 0}, {9999, 9999}}) {
        SetField(im, freq, in);
        EXPECT_EQ(GetField(im, freq), stored) << in;
    }
    // A key the record does not have reads as 0 and is not stored.
    SetField(im, {Record::T_User, "Nope", 0}, 5);
    EXPECT_EQ(im, [] {
        ParameterImage expected;
        expected.Flow_User[1].MaxFreq = 9999;
        return expected;
    }());
    EXPECT_EQ(GetField(im, {Record::T_User, "Nope", 0}), 0);
}

}  // namespace
}  // namespace parvion::edit
