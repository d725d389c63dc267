// The system, trend recording and correction pages against the simulator:
// the switch of the system definition frame by frame and in the device's
// memory afterwards, and the smaller write-backs of the three pages.

#include <gtest/gtest.h>

#include "core/edit/correction.h"
#include "core/edit/system_page.h"
#include "core/edit/trend_recording.h"
#include "edit_rig.h"

namespace parvion::edit {
namespace {

using test::EditRig;
using test::FieldValues;
using test::Joined;

std::string Reads(std::initializer_list<const char*> blocks) {
    std::string out;
    for (const char* b : blocks) out += std::string(out.empty() ? "" : ", ") + "R " + b + ", step";
    return out;
}
std::string Writes(std::initializer_list<const char*> blocks) {
    std::string out;
    for (const char* b : blocks) {
        out += std::string(out.empty() ? "" : ", ") + "W " + b + ", step, wait 50";
    }
    return out;
}

// A device with two circuits in use whose records name circuit 2, the
// difference and the sum everywhere a single-circuit definition forbids it.
constexpr const char* kTwoCircuits =
    "System Kind=0 Anzahl=0 T_User0 Kind=1 Eq=1 T_User1 Kind=1 Eq=1 "
    "P_User0 Kind=2 Eq=3 P_User1 Kind=1 Eq=1 Flow_User0 Kind=4 Flow_User1 Kind=3 "
    "Des_User0 Desdp=25 Desdp2=60 Desdp3=10 Desdp4=5 Imp_User1 Kind=2 Trend_User Param=1 "
    "Dis_User First=11 Aus_User0 Param=9 Aus_User1 Param=20 Aus_User2 Param=29 "
    "Aus_User3 Param=3 Alm_User0 Param=12 Alm_User1 Param=5";

TEST(SystemDefinition, SwitchToOneCircuitRewritesWhatDependsOnCircuit2) {
    EditRig rig;
    rig.store(kTwoCircuits);
    EXPECT_EQ(ChangeSystemDefinition(*rig.link, rig.image, 2), SystemChange::Switched);

    const std::string expected =
        "start 33, " +
        Reads({"T_User0", "T_User1", "P_User0", "P_User1", "Flow_User0", "Flow_User1", "Des_User0",
               "Imp_User1", "Trend_User", "Dis_User", "Aus_User0", "Aus_User1", "Aus_User2",
               "Aus_User3", "Alm_User0", "Alm_User1"}) +
        ", " +
        Writes({"Aus_User0", "Aus_User1", "Aus_User2", "Aus_User3", "T_User0", "P_User0",
                "Flow_User0", "T_User1", "P_User1", "Flow_User1", "Des_User0", "Imp_User1",
                "Trend_User", "Dis_User", "Alm_User0", "Alm_User1", "System"}) +
        ", hide";
    EXPECT_EQ(Joined(rig.log), expected);

    // What the device holds now: circuit 1 takes over the sources of circuit
    // 2, difference and sum; the preferred value keeps its quantity.
    const char* const written =
        "System Kind=2 Anzahl=2 T_User0 Eq=0 P_User0 Eq=0 Flow_User0 Kind=1 "
        "Des_User0 Desdp=25 Desdp2=25 Desdp3=25 Desdp4=25 Imp_User1 Kind=0 Trend_User Param=0 "
        "Dis_User First=3 Aus_User0 Param=1 Aus_User1 Param=4 Aus_User2 Param=5 "
        "Aus_User3 Param=3 Alm_User0 Param=0 Alm_User1 Param=5 ";
    // Circuit 2's inputs are off in the image and on the device alike.
    const std::string unused = "T_User1 Kind=0 Eq=0 P_User1 Kind=0 Eq=0 Flow_User1 Kind=0";
    EXPECT_EQ(FieldValues(rig.image, unused), unused);
    rig.expectDevice(written + unused);
}

TEST(SystemDefinition, WhatEachChangeSends) {
    struct Case {
        const char* setup;
        std::uint8_t kindMask;
        bool online;
        int choice;
        SystemChange result;
        std::uint8_t kindAfter;
        std::string log;
    };
    const Case cases[] = {
        {"System Kind=1", 0x07, true, 3, SystemChange::SystemOnly, 4,
         Writes({"System"}) + ", hide"},
        {"System Kind=0", 0x07, true, 0, SystemChange::Stored, 0, ""},
        // A definition the device does not allow: nothing changes.
        {"System Kind=0", 0x03, true, 3, SystemChange::Refused, 0, ""},
        {"System Kind=4", 0x01, true, 2, SystemChange::Refused, 4, ""},
        // Offline only the Kind is stored, whatever the mask.
        {"System Kind=0", 0x00, false, 2, SystemChange::Stored, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.setup) + " -> choice " + std::to_string(c.choice));
        EditRig rig;
        rig.store(c.setup);
        rig.image.System.KindMask = c.kindMask;
        const ParameterImage before = rig.image;
        if (!c.online) rig.goOffline();
        EXPECT_EQ(ChangeSystemDefinition(*rig.link, rig.image, c.choice), c.result);
        EXPECT_EQ(rig.image.System.Kind, c.kindAfter);
        EXPECT_EQ(Joined(rig.log), c.log);
        ParameterImage expected = before;
        expected.System = rig.image.System;
        EXPECT_EQ(rig.image, expected) << "only System may change";
        rig.expectDevice(c.log.empty() ? "" : "System Kind=4");
    }
}

TEST(SystemDefinition, DeviceThatStopsAnsweringEndsTheSwitch) {
    EditRig rig;
    rig.store(kTwoCircuits);
    rig.device.injectFault(sim::Fault::None, 5);
    rig.device.injectFault(sim::Fault::DropLine);
    EXPECT_EQ(ChangeSystemDefinition(*rig.link, rig.image, 2), SystemChange::NotSent);
    EXPECT_FALSE(rig.session.Online);
    // The reads that failed left their records; nothing was mapped or
    // written, the definition stays, and the user is told why.
    EXPECT_EQ(rig.image.System.Kind, 0);
    EXPECT_EQ(rig.device.framesServed(cmd::Write), 0u);
    EXPECT_EQ(FieldValues(rig.image, "Aus_User0 Param=9"), "Aus_User0 Param=9");
    EXPECT_EQ(rig.log.back(), "not sent port-closed");

    // A device that answers every read but one: nothing is written either.
    EditRig again;
    again.store(kTwoCircuits);
    again.device.injectFault(sim::Fault::None, 9);
    again.device.injectFault(sim::Fault::BadChecksum, 4);
    EXPECT_EQ(ChangeSystemDefinition(*again.link, again.image, 2), SystemChange::NotSent);
    EXPECT_TRUE(again.session.Online);
    EXPECT_EQ(again.device.framesServed(cmd::Write), 0u);
    EXPECT_EQ(again.image.System.Kind, 0);
}

TEST(SystemDefinition, SingleCircuitMappings) {
    struct Case {
        std::uint8_t kind;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        // Output sources: circuit 2, difference and sum to the circuit 1
        // quantity; codes of circuit 1 stay.
        {1, "Aus_User0 Param=17 Aus_User1 Param=10 Aus_User2 Param=11 Aus_User3 Param=28",
         "Aus_User0 Param=1 Aus_User1 Param=2 Aus_User2 Param=3 Aus_User3 Param=4"},
        {1, "Aus_User0 Param=18 Aus_User1 Param=19 Aus_User2 Param=21 Aus_User3 Param=0",
         "Aus_User0 Param=2 Aus_User1 Param=3 Aus_User2 Param=5 Aus_User3 Param=0"},
        {1, "Alm_User0 Param=7 Alm_User1 Param=8", "Alm_User0 Param=7 Alm_User1 Param=0"},
        {1, "Dis_User First=9", "Dis_User First=1"},
        {1, "Dis_User First=23", "Dis_User First=7"},
        {1, "Dis_User First=30", "Dis_User First=6"},
        {1, "Dis_User First=6 System Anzahl=3", "Dis_User First=6 System Anzahl=3"},
        {1, "Flow_User0 Kind=2", "Flow_User0 Kind=2"},
        // Measuring-range switching: each design differential pressure at
        // least the one before it.
        {1, "Des_User0 Desdp=25 Desdp2=60 Desdp3=10 Desdp4=5",
         "Des_User0 Desdp=25 Desdp2=60 Desdp3=60 Desdp4=60"},
        {1, "Des_User0 Desdp=25 Desdp2=10 Desdp3=30 Desdp4=80",
         "Des_User0 Desdp=25 Desdp2=25 Desdp3=30 Desdp4=80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        ParameterImage image;
        test::SetFields(image, c.before);
        MapToSingleCircuit(image, c.kind);
        EXPECT_EQ(FieldValues(image, c.after), c.after);
    }
}

TEST(SystemPage, LimitSchemesAndMeasuringUnits) {
    EditRig rig;
    ApplyLimitScheme(*rig.link, rig.image, 1);
    EXPECT_EQ(Joined(rig.log), "start 2, W Grenzwerte, step, wait 50, R Grenzwerte, step, hide");
    rig.expectDevice("Grenzwerte U_Max=1.4125 U_Min=1.375 L_Max=0.24 L_Min=0.225");
    // The refill tells the schemes apart by U_Max alone.
    for (const auto& [uMax, scheme] :
         {std::pair{1.4125f, 1}, {1.3125f, 0}, {1.375f, 1}, {1.374f, 0}, {0.0f, 0}}) {
        EXPECT_EQ(LimitSchemeOf(GrenzwerteRec{uMax, 0, 0, 0}), scheme) << uMax;
    }

    rig.mark();
    SetMeasuringUnits(*rig.link, rig.image, 2);
    EXPECT_EQ(Joined(rig.log), "start 2, W System, step, wait 50, R System, step, hide");
    rig.expectDevice("System Anzahl=4");
    for (const auto& [anzahl, choice] : {std::pair{2, 0}, {4, 2}}) {
        EXPECT_EQ(MeasuringUnitsChoice(SystemRec{0, static_cast<std::uint8_t>(anzahl)}), choice);
    }
    EXPECT_FALSE(MeasuringUnitsChoice(SystemRec{0, 5}));
    EXPECT_FALSE(MeasuringUnitsChoice(SystemRec{0, 1}));
}

TEST(SystemPage, PresetsAreWrittenOnlyWhenTheyChange) {
    EditRig rig;
    rig.store("Vorgaben Vorgabe3=250");
    EXPECT_FALSE(SetPreset(*rig.link, rig.image, 2, 250));
    EXPECT_EQ(Joined(rig.log), "");
    EXPECT_TRUE(SetPreset(*rig.link, rig.image, 2, 300));
    EXPECT_EQ(Joined(rig.log), "W Vorgabe3, wait 50");
    EXPECT_TRUE(PresetsInUse(rig.image));

    rig.log.clear();
    ClearPresets(*rig.link, rig.image);
    EXPECT_EQ(rig.device.framesServed(cmd::Write), 9u);
    EXPECT_FALSE(PresetsInUse(rig.image));
    rig.image.Vorgaben[7] = -1;
    EXPECT_FALSE(PresetsInUse(rig.image)) << "presets at or below 0 are not in use";

    // The dialog's limits: temperatures in kelvin, flows by variant.
    EXPECT_EQ(PresetLimitsOf(4, medium::Gas).quantity, quantity::TemperatureDifference);
    EXPECT_EQ(PresetLimitsOf(2, medium::Gas).max, 1e7f);
    EXPECT_EQ(PresetLimitsOf(6, medium::Energy).max, 1e8f);
    EXPECT_EQ(PresetLimitsOf(7, medium::Energy).quantity, quantity::MassFlow);
}

TEST(SystemPage, FillReadsSystemLimitsAndPresets) {
    EditRig rig;
    rig.store("Grenzwerte U_Max=1.4125");
    rig.device.poke(block::Vorgaben(7).address, codec::EncodeVorgabe(5));
    rig.image = ParameterImage{};
    ReadSystemPage(*rig.link, rig.image);
    EXPECT_EQ(Joined(rig.log),
              "start 3, R System, step, R Grenzwerte, step, R Vorgabe1, R Vorgabe2, R Vorgabe3, "
              "R Vorgabe4, R Vorgabe5, R Vorgabe6, R Vorgabe7, R Vorgabe8, step, wait 100, hide");
    EXPECT_EQ(rig.image.Vorgaben[7], 5);
    EXPECT_EQ(LimitSchemeOf(rig.image.Grenzwerte), 1);
}

TEST(TrendRecording, IntervalsAndSources) {
    using K = IntervalShown::Kind;
    for (const auto& [time, shown] : {std::pair<int, IntervalShown>{1, {K::Select, 0}},
                                      {10, {K::Select, 6}},
                                      {60, {K::Select, 11}},
                                      {0, {K::Clear, -1}},
                                      {100, {K::Clear, -1}},
                                      {7, {K::Keep, -1}},
                                      {255, {K::Keep, -1}}}) {
        EXPECT_EQ(IntervalChoiceOf(static_cast<std::uint8_t>(time)), shown) << time;
    }

    EditRig rig;
    SetTrendInterval(*rig.link, rig.image, 8);
    EXPECT_EQ(Joined(rig.log), "start 2, W Trend_User, step, wait 50, R Trend_User, step, hide");
    rig.expectDevice("Trend_User Time=15");

    // Without circuit 2 only circuit 1 can be recorded.
    rig.image.System.Kind = 1;
    EXPECT_EQ(SetTrendSource(*rig.link, rig.image, 1), 0);
    rig.image.System.Kind = 0;
    EXPECT_EQ(SetTrendSource(*rig.link, rig.image, 1), 1);
    rig.expectDevice("Trend_User Time=15 Param=1");
}

TEST(Correction, FactorsAreWrittenWithoutReadBack) {
    EditRig rig;
    SetCorrectionFactor(*rig.link, rig.image, 1, 7, 1.25f);
    EXPECT_EQ(Joined(rig.log), "W FlowKorr_2, wait 50");
    rig.expectDevice("FlowKorr_2 Stelle7=1.25");

    rig.log.clear();
    ReadCorrectionPage(*rig.link, rig.image);
    EXPECT_EQ(Joined(rig.log), "start 2, R FlowKorr_1, step, R FlowKorr_2, step, hide");
    rig.goOffline();
    rig.log.clear();
    SetCorrectionFactor(*rig.link, rig.image, 0, 0, 2);
    EXPECT_EQ(Joined(rig.log), "");
    EXPECT_EQ(rig.image.FlowKorr[0].Stelle[0], 2);
}

}  // namespace
}  // namespace parvion::edit
